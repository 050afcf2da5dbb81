#include "families/binomials/binomials.h"

#include <numeric>

namespace quillora {

namespace {

// Divides p and q (both positive) by their greatest common divisor.
void reduce(int& p, int& q)
{
    const int g = std::gcd(p, q);
    p /= g;
    q /= g;
}

// "x" for a coefficient of 1, otherwise the coefficient followed by "x".
void x_term(Frame& f, int a)
{
    if (a != 1)
        f.append(a);
    f.append(u"x");
}

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

// Bin4 and Bin5: both binomials reduced, both with the same sign literal.
void reduced_pair(Frame& f, TextView open_x, TextView x_sign)
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
    f.commit();
}

// Bin6 and Bin7: (ax - b)(cx + d) when s is 1, else (ax + b)(cx - d); a coefficient 1 unwritten.
void opposite_signs(Frame& f, const Four& v, int s)
{
    f.append(u"(");
    x_term(f, v.a);
    f.append(s == 1 ? u" - " : u" + ", v.b, u")(");
    x_term(f, v.c);
    f.append(s == 1 ? u" + " : u" - ", v.d, u")");
    f.commit();
}

// Bin1 and Bin2: a and b from 1 to 15, both binomials with the same sign.
void unit_pair(Frame& f, TextView first, TextView second)
{
    const int a = f.draw(15, 1);
    const int b = f.draw(15, 1);
    f.append(first, a, second, b, u")");
    f.commit();
}

} // namespace

void Bin1(Frame& f)
{
    unit_pair(f, u"(x + ", u")(x + ");
}

void Bin2(Frame& f)
{
    unit_pair(f, u"(x - ", u")(x - ");
}

void Bin3(Frame& f)
{
    const int a = f.draw(15, 1);
    const int b = f.draw(15, 1);
    const int s = f.draw(2, 0);
    if (s == 1)
        f.append(u"(x + ", a, u")(x - ", b, u")");
    else
        f.append(u"(x - ", a, u")(x + ", b, u")");
    f.commit();
}

void Bin4(Frame& f)
{
    reduced_pair(f, u"(x + ", u"x + ");
}

void Bin5(Frame& f)
{
    reduced_pair(f, u"(x - ", u"x - ");
}

void Bin6(Frame& f)
{
    const Four v = draw_four(f);
    opposite_signs(f, v, f.draw(2, 0));
}

void Bin7(Frame& f)
{
    int a = f.draw(15, 1);
    int b = f.draw(15, 1);
    const int s = f.draw(2, 0);
    reduce(a, b);
    opposite_signs(f, { a, b, a, b }, s);
}

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
    f.commit();
}

constexpr Form Forms[] = {
    { "Bin1", "(x + a)(x + b)", Bin1 },
    { "Bin2", "(x - a)(x - b)", Bin2 },
    { "Bin3", "(x + a)(x - b)", Bin3 },
    { "Bin4", "(ax + b)(cx + d)", Bin4 },
    { "Bin5", "(ax - b)(cx - d)", Bin5 },
    { "Bin6", "(ax - b)(cx + d)", Bin6 },
    { "Bin7", "(ax + b)(ax - b)", Bin7 },
    { "Bin8", "(ax + b)²", Bin8 },
};

const Family binomials_family {
    .name = "binomials",
    .title = u"Multiplying Binomials",
    .font_size = 12.0,
    .forms = Forms,
    .literal_below_10 = u".)  ",
    .literal_from_10 = u".) ",
};

} // namespace quillora
