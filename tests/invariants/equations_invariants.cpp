#include "tests/invariants/equations_invariants.h"

#include <algorithm>
#include <regex>

namespace quillora::invariants {

namespace {

// Coefficient text before "x" or "(": "" is 1, "-" is -1; an explicit "1", "-1" or "0" is a
// writing fault and gives nullopt, as does a leading zero.
std::optional<int> coefficient(const std::string& s)
{
    if (s.empty())
        return 1;
    if (s == "-")
        return -1;
    const std::string digits = s[0] == '-' ? s.substr(1) : s;
    if (digits == "1" || digits[0] == '0')
        return std::nullopt;
    return std::stoi(s);
}

// A plain number: no leading zeros, no "-0".
std::optional<int> number(const std::string& s)
{
    static const std::regex plain("-?(0|[1-9][0-9]*)");
    if (!std::regex_match(s, plain) || s == "-0")
        return std::nullopt;
    return std::stoi(s);
}

// " + k" / " - k" as a signed value; 0 when absent; nullopt for a written zero or bad digits.
std::optional<int> signed_constant(const std::string& sign, const std::string& digits)
{
    if (sign.empty())
        return 0;
    const auto k = number(digits);
    if (!k || *k <= 0)
        return std::nullopt;
    return sign == "-" ? -*k : *k;
}

} // namespace

std::optional<Equation> parse_equation(int form, const std::string& p)
{
    static const std::string X = R"((-?\d*)x)";
    static const std::string C = R"((?: ([+-]) (\d+))?)";
    static const std::string N = R"((-?\d+))";
    static const std::string F = R"((-?\d*)\()";
    static const std::regex shapes[] = {
        std::regex("x" + C + " = " + N),
        std::regex(X + C + " = " + N),
        std::regex(X + C + " = " + X + C),
        std::regex(F + X + C + "\\) = " + N),
        std::regex(F + X + C + "\\) = " + F + X + C + "\\)"),
        std::regex(X + " = " + N),
    };
    // which groups are x coefficients (c), constants (k, two groups) or lone numbers (n)
    static const std::string kinds[] = { "kn", "ckn", "ckck", "cckn", "cckcck", "cn" };
    std::smatch m;
    if (!std::regex_match(p, m, shapes[form - 1]))
        return std::nullopt;
    Equation out { form, {} };
    std::size_t g = 1;
    for (const char kind : kinds[form - 1]) {
        std::optional<int> v;
        if (kind == 'c') {
            v = coefficient(m[g++]);
        } else if (kind == 'n') {
            v = number(m[g++]);
        } else {
            v = signed_constant(m[g], m[g + 1]);
            g += 2;
        }
        if (!v)
            return std::nullopt;
        out.v.push_back(*v);
    }
    return out;
}

Linear linear(const Equation& e)
{
    const auto& v = e.v;
    switch (e.form) {
    case 1:
        return { 1, v[1] - v[0] };
    case 2:
        return { v[0], v[2] - v[1] };
    case 3:
        return { v[0] - v[2], v[3] - v[1] };
    case 4:
        return { long { v[0] } * v[1], v[3] - long { v[0] } * v[2] };
    case 5:
        return { long { v[0] } * v[1] - long { v[3] } * v[4],
            long { v[3] } * v[5] - long { v[0] } * v[2] };
    default:
        return { v[0], v[1] };
    }
}

std::string equation_broken_rule(const Equation& e, bool ticked)
{
    struct Letter {
        int width;
        bool nonzero = false;
        bool not_one = false;
    };
    static const std::vector<Letter> letters[] = {
        { { 50, true }, { 50 } },
        { { 20, true, true }, { 100, true }, { 100 } },
        { { 20, true }, { 20 }, { 100, true }, { 100 } },
        { { 10, true, true }, { 50, true }, { 50, true }, { 100 } },
        { { 10, true, true }, { 50, true }, { 50, true }, { 10, true, true }, { 50, true },
            { 50, true } },
        { { 20, true, true }, { 200 } },
    };
    const auto& rules = letters[e.form - 1];
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const int v = e.v[i];
        if (v < -rules[i].width || v > rules[i].width)
            return "range";
        if ((rules[i].nonzero && v == 0) || (rules[i].not_one && v == 1))
            return "a rejected 0 or 1";
    }
    if (e.form == 3 && e.v[1] == 0 && e.v[3] == 0)
        return "no constant on either side";
    const Linear l = linear(e);
    if (!ticked && l.p == 0)
        return "x terms cancel";
    if (!ticked && l.q % l.p != 0)
        return "solution not whole";
    return "";
}

std::vector<std::string> equation_problem_lines(const std::string& text, Report& report)
{
    std::vector<std::string> found;
    const auto lines = split_lines(text);
    if (lines.size() != 50u) {
        report.fail("equations: " + std::to_string(lines.size()) + " lines, not 50");
        return found;
    }
    report.expect_eq(lines[0] + "|" + lines[1] + lines[2] + lines[3],
        std::string("Solving Linear Equations|"), "equations: title lines");
    for (int row = 0; row < 15; ++row) {
        const std::string& line = lines[4 + 3 * row];
        report.expect_eq(lines[5 + 3 * row] + lines[6 + 3 * row], std::string(),
            "equations: text between rows: " + line);
        const int left = 2 * row + 1;
        const std::string p1 = std::to_string(left) + (left < 10 ? ".)    " : ".)   ");
        const std::string p2 = std::to_string(left + 1) + (left + 1 < 10 ? ".)    " : ".)   ");
        if (line.rfind(p1, 0) != 0u)
            report.fail("equations: no prefix " + p1 + " in: " + line);
        if (line.size() < 40 || line.compare(40, p2.size(), p2) != 0) {
            report.fail(
                "equations: problem " + std::to_string(left + 1) + " not at column 41: " + line);
            continue;
        }
        std::string left_part = line.substr(0, 40);
        left_part.resize(left_part.find_last_not_of(' ') + 1);
        found.push_back(left_part);
        found.push_back(line.substr(40));
    }
    return found;
}

int check_equations_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    if (result.font_size != 12.0)
        report.fail("equations: font size");
    const bool ticked = options.fraction_answers_ok;
    const auto lines = equation_problem_lines(to_utf8(result.text), report);
    if (lines.size() != 30u)
        report.fail("equations: " + std::to_string(lines.size()) + " problems, not 30");
    const int place = options.selection.place();
    const std::string box = ticked ? " ticked: " : ": ";
    for (const auto& line : lines) {
        if (line.size() >= 40u)
            report.fail("equations: problem line of 40 or more characters: " + line);
        const std::string p = line.substr(std::min<std::size_t>(7, line.size()));
        if (place != 0) {
            const auto e = parse_equation(place, p);
            const std::string why = e ? equation_broken_rule(*e, ticked) : "badly written";
            if (!why.empty())
                report.fail("EQ" + std::to_string(place) + box + why + ": " + line);
            continue;
        }
        bool matched = false;
        for (int form = 1; form <= 6 && !matched; ++form) {
            const auto e = parse_equation(form, p);
            matched = e && equation_broken_rule(*e, ticked).empty();
        }
        if (!matched)
            report.fail("equations mixed" + box + "no form writes " + line);
    }
    return static_cast<int>(lines.size());
}

} // namespace quillora::invariants
