#include "tests/invariants/fraction_equations_invariants.h"

#include <algorithm>
#include <numeric>
#include <regex>

namespace quillora::invariants {

namespace {

std::string with_hash_bars(const std::string& line)
{
    const std::string bar = "\u2014";
    std::string out;
    for (std::size_t at = 0; at < line.size();) {
        if (line.compare(at, bar.size(), bar) == 0) {
            out += '#';
            at += bar.size();
        } else {
            out += line[at++];
        }
    }
    return out;
}

// Reads a two-character field: one blank and a digit 1 to 9, or 10 to 15.
int field_value(const std::string& s)
{
    static const std::regex field(R"( [1-9]|1[0-5])");
    return std::regex_match(s, field) ? std::stoi(s) : -1;
}

// Why the fraction whose fields start at column `at` of lines 1 and 3 is wrong, or "".
std::string bad_fraction(const FractionProblem& p, std::size_t at, bool last)
{
    if (p.top.size() < at + 2 || p.bottom.size() < at + 2)
        return "short field line";
    const int a = field_value(p.top.substr(at, 2)), b = field_value(p.bottom.substr(at, 2));
    if (last && (p.top.size() != at + 2 || p.bottom.size() != at + 2))
        return "text after the last field";
    if (a < 1 || b < 2)
        return "field";
    return std::gcd(a, b) == 1 ? "" : "not in lowest terms";
}

bool in(const std::string& s, int low, int high)
{
    const int v = std::stoi(s);
    return v >= low && v <= high && std::to_string(v) == s;
}

// x term of FB5: "x", "-x" or a coefficient other than 0 and 1 from -15 to 15.
bool good_x_term(const std::string& t)
{
    if (t == "x" || t == "-x")
        return true;
    const std::string k = t.substr(0, t.size() - 1);
    return !k.empty() && k != "-" && in(k, -15, 15) && k != "0" && k != "1" && k != "-1";
}

} // namespace

std::vector<FractionProblem> fraction_equation_problems(const RunResult& result, Report& report)
{
    std::vector<FractionProblem> found;
    if (result.font_size != 10.0)
        report.fail("fraction equations: font size");
    const auto lines = split_lines(to_utf8(result.text));
    if (lines.size() != 65u) {
        report.fail("fraction equations: " + std::to_string(lines.size()) + " lines, not 65");
        return found;
    }
    report.expect_eq(lines[0] + "|" + lines[1] + lines[2] + lines[3],
        std::string("Solving Linear Equations|"), "fraction equations: title lines");
    const std::string indent(7, ' ');
    for (int i = 1; i <= 10; ++i) {
        const auto at = static_cast<std::size_t>(4 + 6 * (i - 1));
        const std::string prefix = std::to_string(i) + (i < 10 ? ".)    " : ".)   ");
        FractionProblem p { lines[at], with_hash_bars(lines[at + 1]), lines[at + 2] };
        if (p.top.rfind(prefix, 0) != 0u)
            report.fail("fraction equations: no prefix " + prefix + " in: " + p.top);
        if (p.middle.rfind(indent, 0) != 0u || p.bottom.rfind(indent, 0) != 0u)
            report.fail("fraction equations: no indent in problem " + std::to_string(i));
        report.expect_eq(lines[at + 3] + lines[at + 4] + lines[at + 5], std::string(),
            "fraction equations: text between problems after " + std::to_string(i));
        auto cut
            = [](const std::string& s) { return s.substr(std::min<std::size_t>(7, s.size())); };
        found.push_back({ cut(p.top), cut(p.middle), cut(p.bottom) });
    }
    return found;
}

std::string fraction_equation_violation(int form, const FractionProblem& p)
{
    static const std::regex line2[] = {
        std::regex(R"(##x = (-?\d+))"),
        std::regex(R"(##x [+-] (\d+) = (-?\d+))"),
        std::regex(R"(##x [+-] ## = (-?\d+))"),
        std::regex(R"(##x [+-] (\d+)( +)= ##x [+-] (\d+))"),
        std::regex(R"(##\((-?\d*x) [+-] (\d+)\)( *) = ##\((-?\d*x) [+-] (\d+)\))"),
    };
    std::smatch m;
    if (!std::regex_match(p.middle, m, line2[form - 1]))
        return "line 2 shape: " + p.middle;
    std::string why = bad_fraction(p, 0, form <= 2);
    switch (form) {
    case 1:
        return !why.empty() ? why : in(m[1], -100, 100) ? "" : "c range";
    case 2:
        return !why.empty() ? why : in(m[1], 1, 100) && in(m[2], -100, 100) ? "" : "range";
    case 3:
        if (why.empty())
            why = bad_fraction(p, 6, true);
        return !why.empty() ? why : in(m[1], -100, 100) ? "" : "e range";
    case 4: {
        // the second bar stands over the second fields, except after c = 100
        const auto bar = p.middle.find("##", 2);
        if (why.empty())
            why = bad_fraction(p, 11, true);
        if (!in(m[1], 1, 100) || !in(m[3], 1, 100))
            return "range";
        if (m[2] != (m[1].length() == 1 ? "  " : " "))
            return "equals string";
        return !why.empty() ? why : bar == (m[1] == "100" ? 12u : 11u) ? "" : "second bar column";
    }
    default: {
        const auto left = static_cast<std::size_t>(m.position(3));
        const auto bar = p.middle.find("##", 2);
        if (why.empty())
            why = bad_fraction(p, 16, true);
        if (!good_x_term(m[1]) || !good_x_term(m[4]) || !in(m[2], 1, 100) || !in(m[5], 1, 100))
            return "range";
        if (left <= 13 ? left + m[3].length() != 13 : m[3].length() != 0 || left != 14)
            return "left part width";
        return !why.empty() ? why : bar == std::max<std::size_t>(left, 13) + 3 ? "" : "bar column";
    }
    }
}

int check_fraction_equations_sheet(
    const RunResult& result, const ProblemOptions& options, Report& report)
{
    const auto found = fraction_equation_problems(result, report);
    if (found.size() != 10u)
        report.fail("fraction equations: " + std::to_string(found.size()) + " problems, not 10");
    const int place = options.selection.place();
    for (const auto& p : found) {
        const std::string shown = ":\n" + p.top + "\n" + p.middle + "\n" + p.bottom;
        if (place != 0) {
            const std::string why = fraction_equation_violation(place, p);
            if (!why.empty())
                report.fail("FB" + std::to_string(place) + ": " + why + shown);
            continue;
        }
        int matched = 0;
        for (int form = 1; form <= 5; ++form)
            matched += fraction_equation_violation(form, p).empty();
        if (matched != 1)
            report.fail(
                "fraction equations mixed: " + std::to_string(matched) + " forms write" + shown);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
