#include "families/factoring/factoring.h"

#include <cstdlib>
#include <numeric>

namespace quillora {

namespace {

constexpr TextView Squared = u"x\u00B2";

// A later term: " + " or " - " and the magnitude, then the suffix; nothing for a value of 0.
void signed_term(Frame& f, int value, TextView suffix)
{
    if (value < 0)
        f.append(u" - ", -value, suffix);
    else if (value > 0)
        f.append(u" + ", value, suffix);
}

struct Pair {
    int a, b;
};

// a and b from -12 to 12, both drawn again until neither is 0.
Pair draw_nonzero_pair(Frame& f)
{
    Pair v {};
    do {
        v.a = f.draw(25, -12);
        v.b = f.draw(25, -12);
    } while (v.a == 0 || v.b == 0);
    return v;
}

// Two different whole numbers from 1 to 15, divided by their greatest common divisor.
Pair draw_coprime_pair(Frame& f)
{
    Pair v {};
    do {
        v.a = f.draw(15, 1);
        v.b = f.draw(15, 1);
    } while (v.a == v.b);
    const int g = std::gcd(v.a, v.b);
    v.a /= g;
    v.b /= g;
    return v;
}

// Ax² + Bx + C from (mx + q)(nx + p), and the divisor g the written coefficients are divided by.
struct Trinomial {
    int A, B, C, g;
};

// Draws p, q, m, n (again until q, p are non-zero and m is not 1) and multiplies out. The
// divisor search runs up to the smallest coefficient magnitude, so it finds the greatest common
// divisor when B is non-zero and leaves g at 1 when B is 0.
Trinomial draw_binomial_product(Frame& f)
{
    int p = 0, q = 0, m = 0, n = 0;
    do {
        p = f.draw(25, -12);
        q = f.draw(13, -6);
        m = f.draw(10, 1);
        n = f.draw(10, 1);
    } while (q == 0 || p == 0 || m == 1);

    Trinomial t { m * n, m * p + q * n, q * p, 1 };
    const int a = std::abs(t.A), b = std::abs(t.B), c = std::abs(t.C);
    int w = a < b ? a : b;
    if (c < w)
        w = c;
    for (int k = 1; k <= w; ++k) {
        if (a % k == 0 && b % k == 0 && c % k == 0)
            t.g = k;
    }
    return t;
}

// The leading term of DOTS and PST: a bare x² when a is 1.
void square_leading_term(Frame& f, int a)
{
    if (a != 1)
        f.append(a * a);
    f.append(Squared);
}

// k times the reduced trinomial; the product is formed before the exact division by g.
void write_binomial_product(Frame& f, const Trinomial& t, int k)
{
    f.append(t.A * k / t.g, Squared);
    signed_term(f, t.B * k / t.g, u"x");
    signed_term(f, t.C * k / t.g, u"");
    f.commit();
}

} // namespace

void EGF(Frame& f)
{
    const Pair v = draw_nonzero_pair(f);
    f.append(Squared);
    signed_term(f, v.a + v.b, u"x");
    signed_term(f, v.a * v.b, u"");
    f.commit();
}

void HGF(Frame& f)
{
    write_binomial_product(f, draw_binomial_product(f), 1);
}

void EGFGCF(Frame& f)
{
    const Pair v = draw_nonzero_pair(f);
    const int k = f.draw(14, 2);
    f.append(k, Squared);
    signed_term(f, k * (v.a + v.b), u"x");
    signed_term(f, k * (v.a * v.b), u"");
    f.commit();
}

void HGFGCF(Frame& f)
{
    const Trinomial t = draw_binomial_product(f);
    write_binomial_product(f, t, f.draw(9, 2));
}

void GCF(Frame& f)
{
    int a = 0, c = 0, d = 0;
    do {
        a = f.draw(25, -12);
        c = f.draw(25, -12);
        d = f.draw(8, 1);
    } while (a == 0 || c == 0);
    f.append(d * a, Squared);
    signed_term(f, d * c, u"x");
    f.commit();
}

void DOTS(Frame& f)
{
    const Pair v = draw_coprime_pair(f);
    square_leading_term(f, v.a);
    f.append(u" - ", v.b * v.b);
    f.commit();
}

void PST(Frame& f)
{
    const Pair v = draw_coprime_pair(f);
    square_leading_term(f, v.a);
    const TextView middle_sign = f.sign();
    f.append(middle_sign, 2 * v.a * v.b, u"x", u" + ", v.b * v.b);
    f.commit();
}

constexpr Form Forms[] = {
    { "EGF", "x² + bx + c", EGF },
    { "HGF", "ax² + bx + c, a not 1", HGF },
    { "EGFGCF", "k(x² + bx + c), a common factor first", EGFGCF },
    { "HGFGCF", "k(ax² + bx + c), a common factor first", HGFGCF },
    { "GCF", "ax² + bx, a common monomial factor", GCF },
    { "DOTS", "difference of two squares", DOTS },
    { "PST", "perfect-square trinomial", PST },
};

const Family factoring_family {
    .name = "factoring",
    .title = u"Factoring",
    .font_size = 12.0,
    .forms = Forms,
    .literal_below_10 = u".)    ",
    .literal_from_10 = u".)   ",
};

} // namespace quillora
