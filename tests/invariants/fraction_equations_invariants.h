#pragma once

#include "tests/invariants/report.h"

#include <string>
#include <vector>

namespace quillora::invariants {

/// One fraction-equation problem with its bars shown as '#', so that every character is one byte.
struct FractionProblem {
    std::string top, middle, bottom;
};

/// Checks the frame of a worksheet (font size, title, prefixes, indents, blank lines) and returns
/// its problems, without prefix and indent.
std::vector<FractionProblem> fraction_equation_problems(const RunResult& result, Report& report);

/// Why p is not a valid problem of the form, or "" when it is.
std::string fraction_equation_violation(int form, const FractionProblem& p);

/// The frame, and every problem valid for its form (for "mixed", for exactly one form).
int check_fraction_equations_sheet(
    const RunResult& result, const ProblemOptions& options, Report& report);

} // namespace quillora::invariants
