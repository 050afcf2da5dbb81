#include "families/binomials/binomials.h"

#include <algorithm>
#include <array>

namespace quillora {

namespace {

constexpr std::array<Generator, 8> Forms = { Bin1, Bin2, Bin3, Bin4, Bin5, Bin6, Bin7, Bin8 };

// Divides p and q by their greatest common divisor, found by trying every i up to the smaller.
void reduce(int& p, int& q)
{
    int g = 1;
    for (int i = 1; i <= std::min(p, q); ++i) {
        if (p % i == 0 && q % i == 0)
            g = i;
    }
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
    const int s = f.draw(2, 0);
    const TextView first = s == 1 ? u" - " : u" + ";
    const TextView second = s == 1 ? u" + " : u" - ";
    f.append(u"(");
    x_term(f, v.a);
    f.append(first, v.b, u")(");
    x_term(f, v.c);
    f.append(second, v.d, u")");
    f.commit();
}

void Bin7(Frame& f)
{
    int a = f.draw(15, 1);
    int b = f.draw(15, 1);
    const int s = f.draw(2, 0);
    reduce(a, b);
    const TextView first = s == 1 ? u" - " : u" + ";
    const TextView second = s == 1 ? u" + " : u" - ";
    f.append(u"(");
    x_term(f, a);
    f.append(first, b, u")(");
    x_term(f, a);
    f.append(second, b, u")");
    f.commit();
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

const FamilyFrame& binomials_family()
{
    static const FamilyFrame family {
        .font_size = 12.0,
        .title = u"Multiplying Binomials",
        .title_line_feeds = 4,
        .count = 30,
        .literal_below_10 = u".)  ",
        .literal_from_10 = u".) ",
        .forms = Forms,
        .layout = { .column_width = 40, .line_feeds = 3 },
    };
    return family;
}

RunResult multiply_binomials(const ProblemOptions& options, RandomSource& random)
{
    return run_frame(binomials_family(), options, random);
}

} // namespace quillora
