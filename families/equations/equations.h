#pragma once

#include "engine/family.h"

namespace quillora {

/// The linear-equation family: 30 one-variable linear equations, at 12 points; the
/// generators but EQ1 honour ProblemOptions::fraction_answers_ok.
extern const Family equations_family;

} // namespace quillora
