#pragma once

#include "dialog/frame.h"

#include <array>
#include <optional>
#include <string_view>

namespace quillora {

/// The four operations of the fraction-arithmetic family.
enum class Operation { Addition, Subtraction, Multiplication, Division };

/// The form names in the family's order: a FormSelection's place p stands for the operation
/// named FractionForms[p - 1]. The command line and the dialog both look operations up here by
/// name ("addition" is Operation::Addition, and so on, in the enum's order).
inline constexpr std::array<std::string_view, 4> FractionForms
    = { "addition", "subtraction", "multiplication", "division" };

/// Place of the form selected when nothing else is: "addition".
inline constexpr int DefaultFractionForm = 1;

/// The operation a selection fixes for the whole worksheet, or none for "mixed" (drawn per
/// exercise). No selection, or a place outside the family, means the default, addition: the
/// operation frame always has one option selected.
std::optional<Operation> fixed_operation(FormSelection selection);

/// The operation for a "mixed" draw k from 1 to 4: addition, subtraction, division,
/// multiplication.
Operation mixed_operation(int k);

/// The three characters written between the two fraction bars: " + ", " - ", " • ", " ÷ ".
TextView operation_sign(Operation operation);

/// Driver: 32 stacked-fraction exercises, four across in eight rows. It sets no font size.
RunResult fractions(const ProblemOptions& options, RandomSource& random);

} // namespace quillora
