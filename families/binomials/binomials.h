#pragma once

#include "engine/family.h"

namespace quillora {

/// The binomial family: 30 products of two binomials in x, at 12 points.
extern const Family binomials_family;

} // namespace quillora
