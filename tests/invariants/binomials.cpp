#include "tests/invariants/invariants.h"

#include <numeric>
#include <regex>

namespace quillora::invariants {

namespace {

// Why p is not a valid problem of the form, or "" when it is.
std::string binomial_violation(int form, const std::string& p)
{
    static const std::regex unit(R"(\(x ([+-]) (\d+)\)\(x ([+-]) (\d+)\))");
    static const std::regex pair(R"(\((\d*)x ([+-]) (\d+)\)\((\d*)x ([+-]) (\d+)\))");
    static const std::regex square("\\((\\d*)x ([+-]) (\\d+)\\)\u00B2");
    // a coefficient group is empty for a bare x and never "1"
    auto coefficient = [](const std::string& g) {
        return g.empty() ? 1 : g == "1" ? 0 : std::stoi(g);
    };
    auto in = [](int v, int top) { return v >= 1 && v <= top; };
    std::smatch m;
    if (form <= 3) {
        if (!std::regex_match(p, m, unit))
            return "shape";
        if (!in(std::stoi(m[2]), 15) || !in(std::stoi(m[4]), 15))
            return "range";
        const bool same = m[1] == m[3];
        if (form == 3)
            return same ? "signs" : "";
        return same && m[1] == (form == 1 ? "+" : "-") ? "" : "signs";
    }
    if (form == 8) {
        if (!std::regex_match(p, m, square))
            return "shape";
        const int a = coefficient(m[1]), b = std::stoi(m[3]);
        if (!in(a, 15) || !in(b, 15))
            return "range";
        return std::gcd(a, b) == 1 ? "" : "not reduced";
    }
    if (!std::regex_match(p, m, pair))
        return "shape";
    const int a = coefficient(m[1]), b = std::stoi(m[3]), c = coefficient(m[4]),
              d = std::stoi(m[6]);
    const int top = form == 7 ? 15 : 12;
    if (!in(a, top) || !in(b, top) || !in(c, top) || !in(d, top))
        return "range";
    switch (form) {
    case 4:
    case 5: {
        const std::string s = form == 4 ? "+" : "-";
        if (m[2] != s || m[5] != s)
            return "signs";
        return std::gcd(a, b) == 1 && std::gcd(c, d) == 1 ? "" : "not reduced";
    }
    case 6:
        if (a == 1 && c == 1)
            return "two bare x terms";
        return m[2] != m[5] ? "" : "signs";
    default:
        if (a != c || b != d)
            return "not a conjugate pair";
        if (m[2] == m[5])
            return "signs";
        return std::gcd(a, b) == 1 ? "" : "not reduced";
    }
}

} // namespace

int check_binomials_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    const auto found = two_column_problems(result, u"Multiplying Binomials", 5, report);
    for (const auto& p : found) {
        check_problem(
            options.selection.place(), 8, false,
            [&](int form) { return binomial_violation(form, p); }, "binomials: " + p, report);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
