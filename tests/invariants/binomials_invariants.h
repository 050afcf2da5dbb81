#pragma once

#include "tests/invariants/report.h"

#include <string>
#include <vector>

namespace quillora::invariants {

/// Checks a binomial worksheet's title and two-column layout and returns its 30 problems,
/// without number prefixes.
std::vector<std::string> binomial_problems(const std::string& text, Report& report);

/// Why p is not a valid problem of the form (1-based place), or "" when it is.
std::string binomial_violation(int form, const std::string& p);

/// Layout, and every problem valid for its form (for "mixed", valid for some form).
int check_binomials_sheet(const RunResult& result, const ProblemOptions& options, Report& report);

} // namespace quillora::invariants
