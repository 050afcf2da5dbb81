#pragma once

#include "engine/family.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillora {

/// Every family that can be made, in the dialog's order.
std::span<const Family* const> families();

/// The family with this command-line name, or nullptr.
const Family* find_family(std::string_view name);

/// The selection that a form name stands for ("mixed", "none" or a form), or none if unknown.
std::optional<FormSelection> parse_form(const Family& family, std::string_view form);

/// The name parse_form reads as the selection: "mixed", "none" or the form's code.
std::string_view form_name(const Family& family, FormSelection selection);

/// The valid form names for messages, e.g. "Bin1..Bin8, mixed, none".
std::string form_choices(const Family& family);

/// The family names for messages, e.g. "binomials".
std::string family_choices();

} // namespace quillora
