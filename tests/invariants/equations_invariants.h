#pragma once

#include "tests/invariants/report.h"

#include <optional>
#include <string>
#include <vector>

namespace quillora::invariants {

/// An equation read back from its text: its form and the form's letters in order.
struct Equation {
    int form = 0;
    std::vector<int> v;
};

/// The equation as (x coefficient) x = (right side): p x = q with p, q exact.
struct Linear {
    long p, q;
};

/// Reads p (without prefix) as an equation of the form; nullopt when its shape or writing is
/// wrong (an explicit coefficient 1, a written zero, a leading zero, ...).
std::optional<Equation> parse_equation(int form, const std::string& p);

Linear linear(const Equation& e);

/// Why a parsed equation breaks its form's ranges or rules with the box clear or ticked, or "".
std::string equation_broken_rule(const Equation& e, bool ticked);

/// Checks a worksheet's title and two-column layout; returns its 30 problem lines (prefix
/// included).
std::vector<std::string> equation_problem_lines(const std::string& text, Report& report);

/// Layout, line widths, and every problem keeping its form's rules (for "mixed", some form's).
int check_equations_sheet(const RunResult& result, const ProblemOptions& options, Report& report);

} // namespace quillora::invariants
