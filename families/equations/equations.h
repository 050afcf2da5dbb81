#pragma once

#include "engine/family.h"

namespace quillora {

/// The linear-equation family: 30 one-variable linear equations, at 12 points; the
/// generators but EQ1 honour ProblemOptions::fraction_answers_ok.
extern const Family equations_family;

// Generators, in the family's order.
void EQ1(Frame& f); ///< x + a = b
void EQ2(Frame& f); ///< ax + b = c
void EQ3(Frame& f); ///< ax + b = cx + d
void EQ4(Frame& f); ///< a(bx + c) = d
void EQ5(Frame& f); ///< a(bx + c) = d(ex + f)
void EQ6(Frame& f); ///< ax = b

} // namespace quillora
