#pragma once

#include "engine/family.h"

namespace quillora {

/// The binomial family: 30 products of two binomials in x, at 12 points.
extern const Family binomials_family;

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
