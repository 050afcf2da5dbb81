#include "tests/invariants/invariants.h"

#include <algorithm>
#include <numeric>
#include <regex>

namespace quillora::invariants {

namespace {

// One problem with its bars shown as '#', so that every character is one byte.
struct FractionProblem {
    std::string top, middle, bottom;
};

std::string with_hash_bars(std::string line)
{
    for (std::size_t at; (at = line.find("\u2014")) != std::string::npos;)
        line.replace(at, 3, "#");
    return line;
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

std::string violation(int form, const FractionProblem& p)
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
        return "line 2 shape";
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

} // namespace

// Font size 10, the title, then per problem its prefix or indent on three lines and three line
// feeds; every problem valid for its form (for "mixed", for exactly one form).
int check_fraction_equations_sheet(
    const RunResult& result, const ProblemOptions& options, Report& report)
{
    if (result.font_size != 10.0)
        report.fail("fraction equations: font size");
    const auto lines = split_lines(to_utf8(result.text));
    if (lines.size() != 65u) {
        report.fail("fraction equations: " + std::to_string(lines.size()) + " lines, not 65");
        return 0;
    }
    if (lines[0] + "|" + lines[1] + lines[2] + lines[3] + lines[64] != "Solving Linear Equations|")
        report.fail("fraction equations: title lines or text after the last problem");
    for (int i = 1; i <= 10; ++i) {
        const auto at = static_cast<std::size_t>(4 + 6 * (i - 1));
        const std::string prefix = std::to_string(i) + (i < 10 ? ".)    " : ".)   ");
        const std::string shown = "fraction equations " + std::to_string(i) + ":\n" + lines[at]
            + "\n" + lines[at + 1] + "\n" + lines[at + 2];
        if (lines[at].rfind(prefix, 0) != 0u || lines[at + 1].rfind("       ", 0) != 0u
            || lines[at + 2].rfind("       ", 0) != 0u)
            report.fail(shown + ": no prefix or indent");
        if (!(lines[at + 3] + lines[at + 4] + lines[at + 5]).empty())
            report.fail(shown + ": text between problems");
        auto cut
            = [](const std::string& s) { return s.substr(std::min<std::size_t>(7, s.size())); };
        const FractionProblem p { cut(lines[at]), cut(with_hash_bars(lines[at + 1])),
            cut(lines[at + 2]) };
        check_problem(
            options.selection.place(), 5, true, [&](int form) { return violation(form, p); }, shown,
            report);
    }
    return 10;
}

} // namespace quillora::invariants
