#pragma once

#include "dialog/frame.h"

namespace quillora {

/// The binomial family: 30 products of two binomials in x, at 12 points.
const FamilyFrame& binomials_family();

/// Driver: builds a binomial worksheet for the selected form (Bin1..Bin8 by place, or mixed).
RunResult multiply_binomials(const ProblemOptions& options, RandomSource& random);

// Generators, in the family's order.
void Bin1(Frame& f); ///< (x + a)(x + b)
void Bin2(Frame& f); ///< (x - a)(x - b)
void Bin3(Frame& f); ///< (x + a)(x - b) or (x - a)(x + b)
void Bin4(Frame& f); ///< (ax + b)(cx + d), each binomial in lowest terms
void Bin5(Frame& f); ///< (ax - b)(cx - d), each binomial in lowest terms
void Bin6(Frame& f); ///< (ax - b)(cx + d) or (ax + b)(cx - d), unreduced
void Bin7(Frame& f); ///< conjugate pair (ax - b)(ax + b) or (ax + b)(ax - b)
void Bin8(Frame& f); ///< square of a binomial, (ax + b)² or (ax - b)²

} // namespace quillora
