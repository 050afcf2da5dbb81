#pragma once

#include "tests/invariants/report.h"

#include <compare>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quillora::invariants {

/// The factoring forms by place, and their names.
enum FactoringPlace {
    FactoringEGF = 1,
    FactoringHGF,
    FactoringEGFGCF,
    FactoringHGFGCF,
    FactoringGCF,
    FactoringDOTS,
    FactoringPST
};
inline constexpr const char* FactoringNames[]
    = { "", "EGF", "HGF", "EGFGCF", "HGFGCF", "GCF", "DOTS", "PST" };

/// A written polynomial read back: coefficients of x², x and 1 (0 where no term is written) and
/// whether the leading coefficient was written.
struct Poly {
    int a = 0, b = 0, c = 0;
    bool lead_written = false;
    friend auto operator<=>(const Poly&, const Poly&) = default;
};

/// "[-]Ax² [± Bx] [± C]" with every written number non-zero and without leading zeros.
std::optional<Poly> parse_polynomial(const std::string& s);

/// Every polynomial a form can write: all of its possible drawn factors multiplied out.
const std::set<Poly>& attainable_polynomials(int place);

/// Checks a worksheet's title and two-column layout and returns its 30 problems as UTF-8,
/// without number prefixes; every problem line must stay under 40 characters.
std::vector<std::string> factoring_problems(const Text& text, Report& report);

/// Layout, and every problem a product its form can write (for "mixed", some form), with a
/// positive leading coefficient outside GCF and an even middle of at least 4 in PST.
int check_factoring_sheet(const RunResult& result, const ProblemOptions& options, Report& report);

} // namespace quillora::invariants
