#pragma once

#include "tests/invariants/report.h"

#include <string_view>

namespace quillora::invariants {

/// The whole-sheet check of the family with this command-line name, or nullptr.
SheetCheck sheet_check(std::string_view family);

} // namespace quillora::invariants
