#include "families/fraction_equations/fraction_equations.h"

#include <numeric>

namespace quillora {

namespace {

// Numerator 1 to 15 then denominator 2 to 15, as drawn.
Fraction draw_pair(Frame& f)
{
    const int num = f.draw(15, 1);
    const int den = f.draw(14, 2);
    return { num, den };
}

// A fraction in lowest terms that is not a whole number; pairs that fail are drawn again.
Fraction reduced_fraction(Frame& f)
{
    for (;;) {
        Fraction q = draw_pair(f);
        if (q.num == q.den)
            continue;
        reduce(q.num, q.den);
        if (q.den != 1)
            return q;
    }
}

struct FractionPair {
    Fraction first;
    Fraction second;
};

// Two such fractions; if either fails, all four values are drawn again.
FractionPair reduced_fractions(Frame& f)
{
    for (;;) {
        FractionPair p;
        p.first = draw_pair(f);
        p.second = draw_pair(f);
        if (p.first.num == p.first.den || p.second.num == p.second.den)
            continue;
        reduce(p.first.num, p.first.den);
        reduce(p.second.num, p.second.den);
        if (p.first.den != 1 && p.second.den != 1)
            return p;
    }
}

Text blanks(std::size_t n)
{
    return Text(n, u' ');
}

// The value right-aligned in two characters (every value here is 1 to 15).
Text field(int v)
{
    Text out = blanks(v < 10 ? 1 : 0);
    out += number_text(v);
    return out;
}

// Numerator or denominator line: the first field, then the second one after a fixed gap.
void field_line(Frame& f, int first, std::size_t gap, int second)
{
    f.append(field(first), blanks(gap), field(second), u"\n");
}

// +1 for " + ", -1 for " - ".
int sign_value(TextView sign)
{
    return sign == u" + " ? 1 : -1;
}

// FB1 to FB4 record Ax + B = Cx + D as four fractions, numerator then denominator:
// A, B, C, D at 0, 2, 4, 6. x = (D - B) / (A - C), over one denominator.
Maths linear_solution(const ProblemNumbers& v)
{
    const long long an = v[0], ad = v[1], bn = v[2], bd = v[3], cn = v[4], cd = v[5], dn = v[6],
                    dd = v[7];
    return solution((dn * bd - bn * dd) * ad * cd, (an * cd - cn * ad) * dd * bd);
}

// |n|/d as written: the number alone over 1.
Maths magnitude(int n, int d)
{
    const Maths top = Maths::number(n < 0 ? -n : n);
    return d == 1 ? top : Maths::fraction(top, Maths::number(d));
}

// (an/ad)x + bn/bd, zero terms left out, 0 when both are (an/ad is never a whole number here).
Maths side(int an, int ad, int bn, int bd)
{
    Maths out = Maths::row();
    if (an != 0) {
        if (an < 0)
            out += Maths::symbol(Maths::Kind::Sign);
        out += magnitude(an, ad);
        out += Maths::variable();
    }
    if (bn != 0 || out.children.empty()) {
        if (!out.children.empty())
            out += Maths::symbol(bn < 0 ? Maths::Kind::Minus : Maths::Kind::Plus);
        else if (bn < 0)
            out += Maths::symbol(Maths::Kind::Sign);
        out += magnitude(bn, bd);
    }
    return out;
}

Maths linear_equation(const ProblemNumbers& v)
{
    Maths out = side(v[0], v[1], v[2], v[3]);
    out += Maths::symbol(Maths::Kind::Equals);
    out += side(v[4], v[5], v[6], v[7]);
    return out;
}

// FB5 records a, b, c, d, e, f, g, h of a/b (cx + d) = e/f (gx + h), so that
// x = (beh - adf) / (acf - beg).
Maths fb5_solution(const ProblemNumbers& v)
{
    const long long a = v[0], b = v[1], c = v[2], d = v[3], e = v[4], f = v[5], g = v[6], h = v[7];
    return solution(b * e * h - a * d * f, a * c * f - b * e * g);
}

Maths fb5_equation(const ProblemNumbers& v)
{
    Maths out = Maths::row();
    for (const std::size_t i : { 0, 4 }) {
        if (i > 0)
            out += Maths::symbol(Maths::Kind::Equals);
        out += magnitude(v[i], v[i + 1]);
        out += Maths::group(polynomial(0, v[i + 2], v[i + 3]));
    }
    return out;
}

// (a/b)x = c
void FB1(Frame& f)
{
    const Text indent = blanks(f.problem_line().size());
    const Fraction q = reduced_fraction(f);
    const int c = f.draw(201, -100);
    f.append(field(q.num), u"\n");
    f.append(indent, FractionBar, u"x = ", c, u"\n");
    f.append(indent, field(q.den), u"\n");
    f.commit({ q.num, q.den, 0, 1, 0, 1, c, 1 });
}

// (a/b)x ± c = d
void FB2(Frame& f)
{
    const Text indent = blanks(f.problem_line().size());
    const Fraction q = reduced_fraction(f);
    const int c = f.draw(100, 1);
    const int d = f.draw(201, -100);
    f.append(field(q.num), u"\n");
    const TextView sign = f.sign();
    f.append(indent, FractionBar, u"x", sign, c, u" = ", d, u"\n");
    f.append(indent, field(q.den), u"\n");
    f.commit({ q.num, q.den, sign_value(sign) * c, 1, 0, 1, d, 1 });
}

// (a/b)x ± c/d = e
void FB3(Frame& f)
{
    // The gap equals "x" and the sign between the two bars.
    constexpr std::size_t Gap = 4;
    const Text indent = blanks(f.problem_line().size());
    const auto [ab, cd] = reduced_fractions(f);
    const int e = f.draw(201, -100);
    field_line(f, ab.num, Gap, cd.num);
    const TextView sign = f.sign();
    f.append(indent, FractionBar, u"x", sign, FractionBar, u" = ", e, u"\n");
    f.append(indent);
    field_line(f, ab.den, Gap, cd.den);
    f.commit({ ab.num, ab.den, sign_value(sign) * cd.num, cd.den, 0, 1, e, 1 });
}

// (a/b)x ± c = (d/e)x ± f
void FB4(Frame& f)
{
    // The gap equals "x", the sign, c and the equals string, for c below 100.
    constexpr std::size_t Gap = 9;
    const Text indent = blanks(f.problem_line().size());
    const auto [ab, de] = reduced_fractions(f);
    const int c = f.draw(100, 1);
    const int last = f.draw(100, 1);
    field_line(f, ab.num, Gap, de.num);
    const TextView left_sign = f.sign();
    f.append(indent, FractionBar, u"x", left_sign, c, c < 10 ? u"  = " : u" = ");
    const TextView right_sign = f.sign();
    f.append(FractionBar, u"x", right_sign, last, u"\n");
    f.append(indent);
    field_line(f, ab.den, Gap, de.den);
    f.commit({ ab.num, ab.den, sign_value(left_sign) * c, 1, de.num, de.den,
        sign_value(right_sign) * last, 1 });
}

// (a/b)(cx ± d) = (e/f)(gx ± h)
void FB5(Frame& f)
{
    // The left part is padded to this width so that the right bar starts 16 after the left one.
    constexpr std::size_t LeftWidth = 13;
    constexpr std::size_t Gap = 14;
    const Text indent = blanks(f.problem_line().size());
    const auto [ab, ef] = reduced_fractions(f);
    int c = 0;
    int g = 0;
    do {
        c = f.draw(31, -15);
        g = f.draw(31, -15);
    } while (c == 0 || g == 0);
    const int d = f.draw(100, 1);
    const int h = f.draw(100, 1);

    field_line(f, ab.num, Gap, ef.num);
    f.append(indent);
    const std::size_t left = f.problem_line().size();
    const TextView left_sign = f.sign();
    f.append(FractionBar, u"(", XTerm { c }, left_sign, d, u")");
    const std::size_t written = f.problem_line().size() - left;
    if (written < LeftWidth)
        f.append(blanks(LeftWidth - written));
    const TextView right_sign = f.sign();
    f.append(u" = ", FractionBar, u"(", XTerm { g }, right_sign, h, u")\n");
    f.append(indent);
    field_line(f, ab.den, Gap, ef.den);
    f.commit({ ab.num, ab.den, c, sign_value(left_sign) * d, ef.num, ef.den, g,
        sign_value(right_sign) * h });
}

constexpr Form Forms[] = {
    { "FB1", "a/b x = c", "Solve for x.", FB1, false, linear_solution, linear_equation, {},
        "{a/b}x = c" },
    { "FB2", "a/b x + c = d", "Solve for x.", FB2, false, linear_solution, linear_equation, {},
        "{a/b}x + c = d" },
    { "FB3", "a/b x + c/d = e", "Solve for x.", FB3, false, linear_solution, linear_equation, {},
        "{a/b}x + {c/d} = e" },
    { "FB4", "a/b x + c = d/e x + f", "Solve for x.", FB4, false, linear_solution, linear_equation,
        {}, "{a/b}x + c = {d/e}x + f" },
    { "FB5", "a/b (cx + d) = e/f (gx + h)", "Solve for x.", FB5, false, fb5_solution, fb5_equation,
        {}, "{a/b}(cx + d) = {e/f}(gx + h)" },
};

} // namespace

const Family fraction_equations_family {
    .name = "fraction-equations",
    .menu_name = "Fraction Equations",
    .forms_caption = "Fraction Equations",
    .title = u"Solving Linear Equations",
    .instruction = "Solve for x.",
    .font_size = 10.0,
    .forms = Forms,
    .task = Task::Solve,
    .count = 10,
    .columns = 1,
    // one problem per row, three line feeds after each
    .layout = { .column_width = 0, .line_feeds = 3 },
};

} // namespace quillora
