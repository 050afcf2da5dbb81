#pragma once

#include "engine/family.h"

#include <optional>

namespace quillora {

/// The four operations of the fraction-arithmetic family.
enum class Operation { Addition, Subtraction, Multiplication, Division };

/// The fraction-arithmetic family: 32 stacked-fraction exercises, four across in eight rows, in
/// the window's own size. Its forms are the operations, in the enum's order; its driver is
/// fractions().
extern const Family fractions_family;

/// The operation a selection fixes for the whole worksheet, or none for "mixed" (drawn per
/// exercise). No selection, or a place outside the family, means the default, addition: the
/// operation frame always has one option selected.
std::optional<Operation> fixed_operation(FormSelection selection);

/// The operation for a "mixed" draw k from 1 to 4: addition, subtraction, division,
/// multiplication.
Operation mixed_operation(int k);

/// The three characters written between the two fraction bars: " + ", " - ", " • ", " ÷ ".
TextView operation_sign(Operation operation);

/// Driver: the worksheet of fractions_family (the only family it serves), and its problems when
/// asked for, each made by its operation's form.
Text fractions(const Family& family, const ProblemOptions& options, RandomSource& random,
    std::vector<Problem>* problems);

} // namespace quillora
