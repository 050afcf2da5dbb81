#include "families/binomials/binomials.h"

#include <numeric>

namespace quillora {

namespace {

struct Four {
    int a, b, c, d;
};

// a, b, c, d from 1 to 12, drawn again until a and c are not both 1.
Four draw_four(Frame& f)
{
    Four v {};
    do {
        v.a = f.draw(12, 1);
        v.b = f.draw(12, 1);
        v.c = f.draw(12, 1);
        v.d = f.draw(12, 1);
    } while (v.a == 1 && v.c == 1);
    return v;
}

// Every form records p, q, r, s of (px + q)(rx + s).
void commit_product(Frame& f, int p, int q, int r, int s)
{
    f.commit({ p, q, r, s });
}

// The product multiplied out: prx² + (ps + qr)x + qs.
Maths expanded(const ProblemNumbers& v)
{
    const long long p = v[0], q = v[1], r = v[2], s = v[3];
    return polynomial(p * r, p * s + q * r, q * s);
}

// (px + q)(rx + s).
Maths product(const ProblemNumbers& v)
{
    return Maths::row(
        { Maths::group(polynomial(0, v[0], v[1])), Maths::group(polynomial(0, v[2], v[3])) });
}

// (px + q)², which Bin8 writes for the product of two equal binomials.
Maths square(const ProblemNumbers& v)
{
    return Maths::power(Maths::group(polynomial(0, v[0], v[1])), Maths::number(2));
}

// Bin4 and Bin5: both binomials reduced, both with the same sign literal; sign is -1 for " - ".
void reduced_pair(Frame& f, TextView open_x, TextView x_sign, int sign)
{
    Four v = draw_four(f);
    reduce(v.a, v.b);
    reduce(v.c, v.d);
    if (v.a == 1)
        f.append(open_x, v.b, u")(");
    else
        f.append(u"(", v.a, x_sign, v.b, u")(");
    if (v.c == 1)
        f.append(x_sign, v.d, u")");
    else
        f.append(v.c, x_sign, v.d, u")");
    commit_product(f, v.a, sign * v.b, v.c, sign * v.d);
}

// Bin6 and Bin7: (ax - b)(cx + d) when s is 1, else (ax + b)(cx - d); a coefficient 1 unwritten.
void opposite_signs(Frame& f, const Four& v, int s)
{
    f.append(u"(", XTerm { v.a }, s == 1 ? u" - " : u" + ", v.b, u")(", XTerm { v.c },
        s == 1 ? u" + " : u" - ", v.d, u")");
    if (s == 1)
        commit_product(f, v.a, -v.b, v.c, v.d);
    else
        commit_product(f, v.a, v.b, v.c, -v.d);
}

// Bin1 and Bin2: a and b from 1 to 15, both binomials with the same sign (-1 for " - ").
void unit_pair(Frame& f, TextView first, TextView second, int sign)
{
    const int a = f.draw(15, 1);
    const int b = f.draw(15, 1);
    f.append(first, a, second, b, u")");
    commit_product(f, 1, sign * a, 1, sign * b);
}

// (x + a)(x + b)
void Bin1(Frame& f)
{
    unit_pair(f, u"(x + ", u")(x + ", 1);
}

// (x - a)(x - b)
void Bin2(Frame& f)
{
    unit_pair(f, u"(x - ", u")(x - ", -1);
}

// (x + a)(x - b) or (x - a)(x + b)
void Bin3(Frame& f)
{
    const int a = f.draw(15, 1);
    const int b = f.draw(15, 1);
    const int s = f.draw(2, 0);
    if (s == 1) {
        f.append(u"(x + ", a, u")(x - ", b, u")");
        commit_product(f, 1, a, 1, -b);
    } else {
        f.append(u"(x - ", a, u")(x + ", b, u")");
        commit_product(f, 1, -a, 1, b);
    }
}

// (ax + b)(cx + d), each binomial in lowest terms
void Bin4(Frame& f)
{
    reduced_pair(f, u"(x + ", u"x + ", 1);
}

// (ax - b)(cx - d), each binomial in lowest terms
void Bin5(Frame& f)
{
    reduced_pair(f, u"(x - ", u"x - ", -1);
}

// (ax - b)(cx + d) or (ax + b)(cx - d), unreduced
void Bin6(Frame& f)
{
    const Four v = draw_four(f);
    opposite_signs(f, v, f.draw(2, 0));
}

// conjugate pair (ax - b)(ax + b) or (ax + b)(ax - b)
void Bin7(Frame& f)
{
    int a = f.draw(15, 1);
    int b = f.draw(15, 1);
    const int s = f.draw(2, 0);
    reduce(a, b);
    opposite_signs(f, { a, b, a, b }, s);
}

// square of a binomial, (ax + b)² or (ax - b)²
void Bin8(Frame& f)
{
    int a = f.draw(15, 1);
    int b = f.draw(15, 1);
    const int s = f.draw(2, 0);
    reduce(a, b);
    if (a == 1)
        f.append(u"(x");
    else
        f.append(u"(", a, u"x");
    f.append(s == 0 ? u" + " : u" - ", b, u")", u"\u00B2");
    const int q = s == 0 ? b : -b;
    commit_product(f, a, q, a, q);
}

constexpr Form Forms[] = {
    { "Bin1", "(x + a)(x + b)", "Expand and simplify.", Bin1, false, expanded, product,
        "(x+a)(x+b)" },
    { "Bin2", "(x - a)(x - b)", "Expand and simplify.", Bin2, false, expanded, product,
        "(x-a)(x-b)" },
    { "Bin3", "(x + a)(x - b)", "Expand and simplify.", Bin3, false, expanded, product,
        "(x-a)(x+b)" },
    { "Bin4", "(ax + b)(cx + d)", "Expand and simplify.", Bin4, false, expanded, product,
        "(ax+b)(cx+d)" },
    { "Bin5", "(ax - b)(cx - d)", "Expand and simplify.", Bin5, false, expanded, product,
        "(ax-b)(cx-d)" },
    { "Bin6", "(ax - b)(cx + d)", "Expand and simplify.", Bin6, false, expanded, product,
        "(ax-b)(cx+d)" },
    { "Bin7", "(ax + b)(ax - b)", "Expand and simplify.", Bin7, false, expanded, product, "DOTS" },
    { "Bin8", "(ax + b)²", "Expand and simplify.", Bin8, false, expanded, square, "PST" },
};

} // namespace

const Family binomials_family {
    .name = "binomials",
    .menu_name = "Multiplying Binomials",
    .forms_caption = "Binomials",
    .title = u"Multiplying Binomials",
    .instruction = "Expand and simplify.",
    .font_size = 12.0,
    .forms = Forms,
    .task = Task::Expand,
    .prefix_blanks = 2,
};

} // namespace quillora
