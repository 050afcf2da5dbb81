#pragma once

#include "dialog/frame.h"

namespace quillora {

/// The fraction-equation family: 10 linear equations with stacked fractions, at 10 points.
const FamilyFrame& fraction_equations_family();

/// Driver: builds a fraction-equation worksheet for the selected form (FB1..FB5 by place, or
/// mixed).
RunResult fraction_busters(const ProblemOptions& options, RandomSource& random);

// Generators, in the family's order. Each writes three lines: numerators, bars, denominators.
void FB1(Frame& f); ///< (a/b)x = c
void FB2(Frame& f); ///< (a/b)x ± c = d
void FB3(Frame& f); ///< (a/b)x ± c/d = e
void FB4(Frame& f); ///< (a/b)x ± c = (d/e)x ± f
void FB5(Frame& f); ///< (a/b)(cx ± d) = (e/f)(gx ± h)

} // namespace quillora
