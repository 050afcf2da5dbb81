#pragma once

#include "engine/family.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillora {

/// How a typed answer was marked.
enum class Verdict : unsigned char { Right, Wrong, Unreadable };

/// A verdict and, where one is plain, a short reason a pupil can act on: "not in lowest terms",
/// "not factored completely", "not an answer to this problem", "too long".
struct Mark {
    Verdict verdict = Verdict::Unreadable;
    std::string_view reason;
};

/// Marks a typed answer to a problem of the task against the key's answer as the keys write it
/// ("x = -3/4", "6(5x - 3)(5x + 4)"). Values are compared exactly, not as text: an expansion
/// is right when it equals the product with like terms collected; a factoring when it equals
/// the problem and is factored completely over the integers, in any order; a solution when it
/// is the value (as x = value, value = x or the value alone; a fraction in lowest terms, a
/// whole or mixed number or an exact decimal) or the key's words; a value when it is the
/// fraction in lowest terms, a whole or a mixed number, or the key's "17/6 = 2 5/6". An
/// unreduced fraction is wrong in every family: the keys always reduce.
Mark mark_answer(Task task, TextView key, TextView typed);

/// What to type for a problem of the task, in a pupil's words, with an example.
std::string_view answer_hint(Task task);

/// Marks typed answers to the sheet of the family for the options and seed: typed[i] answers
/// problem i + 1. One mark per typed answer, for the problems the sheet has.
std::vector<Mark> mark_sheet(const Family& family, const ProblemOptions& options,
    std::uint32_t seed, const std::vector<Text>& typed);

} // namespace quillora
