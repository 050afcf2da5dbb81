#include "tests/invariants/binomials_invariants.h"

#include <algorithm>
#include <numeric>
#include <regex>

namespace quillora::invariants {

std::vector<std::string> binomial_problems(const std::string& text, Report& report)
{
    std::vector<std::string> found;
    const auto lines = split_lines(text);
    if (lines.size() != 50u) {
        report.fail("binomials: " + std::to_string(lines.size()) + " lines, not 50");
        return found;
    }
    report.expect_eq(lines[0] + "|" + lines[1] + lines[2] + lines[3],
        std::string("Multiplying Binomials|"), "binomials: title lines");
    for (int row = 0; row < 15; ++row) {
        const std::string& line = lines[4 + 3 * row];
        report.expect_eq(lines[5 + 3 * row] + lines[6 + 3 * row], std::string(),
            "binomials: text between rows: " + line);
        const int left = 2 * row + 1;
        const std::string p1 = std::to_string(left) + (left < 10 ? ".)  " : ".) ");
        const std::string p2 = std::to_string(left + 1) + (left + 1 < 10 ? ".)  " : ".) ");
        // the right problem starts at byte 40 plus the bytes that the ² adds on the left
        const auto second = line.find(p2, 20);
        if (line.rfind(p1, 0) != 0u)
            report.fail("binomials: no prefix " + p1 + " in: " + line);
        if (second == std::string::npos) {
            report.fail("binomials: no problem " + std::to_string(left + 1) + " in: " + line);
            continue;
        }
        std::string left_part = line.substr(0, second);
        const auto squares
            = static_cast<std::size_t>(left_part.find("\u00B2") != std::string::npos);
        if (second != 40u + squares)
            report.fail("binomials: right problem not at column 41: " + line);
        const auto end = left_part.find_last_not_of(' ');
        left_part.resize(end + 1);
        found.push_back(left_part.substr(std::min<std::size_t>(5, left_part.size())));
        found.push_back(line.substr(second + 5));
    }
    return found;
}

std::string binomial_violation(int form, const std::string& p)
{
    static const std::regex unit(R"(\(x ([+-]) (\d+)\)\(x ([+-]) (\d+)\))");
    static const std::regex pair(R"(\((\d*)x ([+-]) (\d+)\)\((\d*)x ([+-]) (\d+)\))");
    static const std::regex square("\\((\\d*)x ([+-]) (\\d+)\\)\u00B2");
    // a coefficient group is empty for a bare x and never "1"
    auto coefficient = [](const std::string& group) {
        return group.empty() ? 1 : group == "1" ? 0 : std::stoi(group);
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

int check_binomials_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    if (result.font_size != 12.0)
        report.fail("binomials: font size");
    const auto found = binomial_problems(to_utf8(result.text), report);
    if (found.size() != 30u)
        report.fail("binomials: " + std::to_string(found.size()) + " problems, not 30");
    const int place = options.selection.place();
    for (const auto& p : found) {
        if (place != 0) {
            const std::string why = binomial_violation(place, p);
            if (!why.empty())
                report.fail("Bin" + std::to_string(place) + ": " + why + ": " + p);
            continue;
        }
        bool matched = false;
        for (int form = 1; form <= 8 && !matched; ++form)
            matched = binomial_violation(form, p).empty();
        if (!matched)
            report.fail("binomials mixed: no form writes " + p);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
