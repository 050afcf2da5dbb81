#include "tests/invariants/invariants.h"

#include <regex>

namespace quillora::invariants {

namespace {

// A number written plainly: no sign but '-', no leading zero, no "-0".
std::optional<int> number(const std::string& s)
{
    const bool plain = !s.empty() && s.find_first_not_of("-0123456789") == std::string::npos
        && std::to_string(std::stoi(s)) == s && s != "-0";
    return plain ? std::optional<int>(std::stoi(s)) : std::nullopt;
}

// Coefficient text before "x" or "(": "" is 1, "-" is -1; a written 1, -1 or 0 is a fault.
std::optional<int> coefficient(const std::string& s)
{
    if (s.empty() || s == "-")
        return s.empty() ? 1 : -1;
    const auto v = number(s);
    return v && *v != 0 && *v != 1 && *v != -1 ? v : std::nullopt;
}

// " + k" / " - k" as a signed value; 0 when absent; nullopt for a written zero or bad digits.
std::optional<int> signed_constant(const std::string& sign, const std::string& digits)
{
    const auto k = sign.empty() ? 0 : number(digits);
    if (!k || (!sign.empty() && *k <= 0))
        return std::nullopt;
    return sign == "-" ? -*k : *k;
}

// Why a parsed equation breaks its form's ranges or rules with the box clear or ticked, or "".
std::string broken_rule(const Equation& e, bool ticked)
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
    return !ticked && l.q % l.p != 0 ? "solution not whole" : "";
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
        const std::optional<int> v = kind == 'c' ? coefficient(m[g])
            : kind == 'n'                        ? number(m[g])
                                                 : signed_constant(m[g], m[g + 1]);
        g += kind == 'k' ? 2 : 1;
        if (!v)
            return std::nullopt;
        out.v.push_back(*v);
    }
    return out;
}

Linear linear(const Equation& e)
{
    // each form as A(Bx + C) = D(Ex + F), its letters by index into v (-1 stands for 0, -2 for 1)
    static const int letters[6][6]
        = { { -2, -2, 0, -2, -1, 1 }, { -2, 0, 1, -2, -1, 2 }, { -2, 0, 1, -2, 2, 3 },
              { 0, 1, 2, -2, -1, 3 }, { 0, 1, 2, 3, 4, 5 }, { -2, 0, -1, -2, -1, 1 } };
    long l[6];
    for (std::size_t i = 0; i < 6; ++i) {
        const int at = letters[e.form - 1][i];
        l[i] = at == -1 ? 0 : at == -2 ? 1 : e.v[std::size_t(at)];
    }
    return { l[0] * l[1] - l[3] * l[4], l[3] * l[5] - l[0] * l[2] };
}

int check_equations_sheet(const RunResult& result, const ProblemOptions& options, Report& report)
{
    const bool ticked = options.fraction_answers_ok;
    const auto found = two_column_problems(result, u"Solving Linear Equations", 7, report);
    for (const auto& p : found) {
        auto why = [&](int form) {
            const auto e = parse_equation(form, p);
            return e ? broken_rule(*e, ticked) : "badly written";
        };
        check_problem(options.selection.place(), 6, false, why,
            std::string("equations") + (ticked ? " ticked: " : ": ") + p, report);
    }
    return static_cast<int>(found.size());
}

} // namespace quillora::invariants
