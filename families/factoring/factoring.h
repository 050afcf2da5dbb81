#pragma once

#include "engine/family.h"

namespace quillora {

/// The factoring family: 30 polynomials in x to factor, at 12 points.
extern const Family factoring_family;

} // namespace quillora
