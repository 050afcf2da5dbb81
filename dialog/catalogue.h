#pragma once

#include "dialog/frame.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// One problem family as the command-line tool and the dialog name it.
struct FamilyEntry {
    /// Command-line name, e.g. "binomials".
    std::string_view name;
    /// Form names in the family's order (place 1 first).
    std::vector<std::string_view> forms;
    /// Place of the form used when none is named, or none when a form is required. A family with
    /// a default always has a form selected, so it offers no "none".
    std::optional<int> default_form;
    /// Whether the "Fraction Answers OK" box applies.
    bool takes_fraction_answers = false;
    RunResult (*run)(const ProblemOptions&, RandomSource&);
    /// The point size a run gives the worksheet window before it draws, or none when the family
    /// keeps the window's size; always the size its RunResult carries.
    std::optional<double> font_size;
};

/// Every family that can be made, in the dialog's order.
std::span<const FamilyEntry> families();

/// The family with this command-line name, or nullptr.
const FamilyEntry* find_family(std::string_view name);

/// The selection that a form name stands for ("mixed", "none" or a form), or none if unknown.
std::optional<FormSelection> parse_form(const FamilyEntry& family, std::string_view form);

/// The valid form names for messages, e.g. "Bin1..Bin8, mixed, none".
std::string form_choices(const FamilyEntry& family);

/// The family names for messages, e.g. "binomials".
std::string family_choices();

} // namespace quillora
