#pragma once

#include "engine/family.h"

namespace quillora {

/// The fraction-equation family: 10 linear equations with stacked fractions, at 10 points.
extern const Family fraction_equations_family;

// Generators, in the family's order. Each writes three lines: numerators, bars, denominators.
void FB1(Frame& f); ///< (a/b)x = c
void FB2(Frame& f); ///< (a/b)x ± c = d
void FB3(Frame& f); ///< (a/b)x ± c/d = e
void FB4(Frame& f); ///< (a/b)x ± c = (d/e)x ± f
void FB5(Frame& f); ///< (a/b)(cx ± d) = (e/f)(gx ± h)

} // namespace quillora
