#pragma once

#include "engine/family.h"

namespace quillora {

/// The fraction-equation family: 10 linear equations with stacked fractions, at 10 points; each
/// problem is three lines: numerators, bars, denominators.
extern const Family fraction_equations_family;

} // namespace quillora
