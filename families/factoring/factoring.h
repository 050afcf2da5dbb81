#pragma once

#include "engine/family.h"

namespace quillora {

/// The factoring family: 30 polynomials in x to factor, at 12 points.
extern const Family factoring_family;

// Generators, in the family's order.
void EGF(Frame& f); ///< x² + (a + b)x + ab
void HGF(Frame& f); ///< (mx + q)(nx + p) multiplied out, reduced by its common divisor
void EGFGCF(Frame& f); ///< k times an EGF trinomial, k from 2 to 15
void HGFGCF(Frame& f); ///< k times a reduced HGF trinomial, k from 2 to 10
void GCF(Frame& f); ///< dx(ax + c) multiplied out
void DOTS(Frame& f); ///< difference of two squares a²x² - b²
void PST(Frame& f); ///< perfect-square trinomial a²x² ± 2abx + b²

} // namespace quillora
