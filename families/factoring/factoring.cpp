#include "families/factoring/factoring.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

namespace quillora {

namespace {

constexpr TextView Squared = u"x\u00B2";

// Every form records the written coefficients A, B, C of Ax² + Bx + C.
void commit_trinomial(Frame& f, int a, int b, int c)
{
    f.commit({ a, b, c });
}

// px + q with p > 0 and p, q coprime: the factor of ax² + bx + c (a > 0) with root -q/p.
std::pair<long long, long long> linear_factor(long long p, long long q)
{
    const long long g = std::gcd(p, q);
    return { p / g, q / g };
}

// Ax² + Bx + C factored completely over the integers: the common monomial factor first
// (negative when A is), then linear factors with coprime coefficients, in ascending order, a
// repeated one squared. A quadratic without integer roots stays whole.
Maths factored(const ProblemNumbers& v)
{
    long long a = v[0], b = v[1], c = v[2];
    if (a == 0 && b == 0)
        return signed_number(c);
    long long g = std::gcd(std::gcd(a, b), c);
    if (a < 0 || (a == 0 && b < 0))
        g = -g;
    a /= g;
    b /= g;
    c /= g;
    int x_power = 0;
    while (c == 0 && x_power < 2) { // x divides the rest: take it out
        c = b;
        b = a;
        a = 0;
        ++x_power;
    }
    Maths out = Maths::row();
    if (g == -1)
        out += Maths::symbol(Maths::Kind::Sign);
    else if (g != 1)
        out += signed_number(g);
    if (x_power == 1)
        out += Maths::variable();
    else if (x_power == 2)
        out += Maths::power(Maths::variable(), Maths::number(2));

    std::vector<std::pair<long long, long long>> factors;
    const long long discriminant = b * b - 4 * a * c;
    const long long root = discriminant >= 0 ? std::llround(std::sqrt(double(discriminant))) : -1;
    if (a == 0 && b != 0) {
        factors.push_back({ b, c });
    } else if (a != 0 && root >= 0 && root * root == discriminant) {
        factors.push_back(linear_factor(2 * a, b - root));
        factors.push_back(linear_factor(2 * a, b + root));
        std::sort(factors.begin(), factors.end());
    } else if (a != 0) {
        out += Maths::group(polynomial(a, b, c));
    }
    for (std::size_t i = 0; i < factors.size(); ++i) {
        Maths factor = Maths::group(polynomial(0, factors[i].first, factors[i].second));
        if (i + 1 < factors.size() && factors[i + 1] == factors[i]) {
            out += Maths::power(std::move(factor), Maths::number(2));
            ++i;
        } else {
            out += std::move(factor);
        }
    }
    return out;
}

// Ax² + Bx + C as a mathematician writes it: no coefficient 1, where the sheet writes "1x".
Maths trinomial(const ProblemNumbers& v)
{
    return polynomial(v[0], v[1], v[2]);
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
    reduce(v.a, v.b);
    return v;
}

// Ax² + Bx + C from (mx + q)(nx + p), and the divisor g the written coefficients are divided by.
struct Trinomial {
    int A, B, C, g;
};

// Draws p, q, m, n (again until q, p are non-zero and m is not 1) and multiplies out. The
// written coefficients are divided by their greatest common divisor, except when B is 0: then
// they stay as multiplied.
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
    if (t.B != 0)
        t.g = std::gcd(std::gcd(t.A, t.B), t.C);
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
    f.append(
        t.A * k / t.g, Squared, SignedTerm { t.B * k / t.g, u"x" }, SignedTerm { t.C * k / t.g });
    commit_trinomial(f, t.A * k / t.g, t.B * k / t.g, t.C * k / t.g);
}

// x² + (a + b)x + ab
void EGF(Frame& f)
{
    const Pair v = draw_nonzero_pair(f);
    f.append(Squared, SignedTerm { v.a + v.b, u"x" }, SignedTerm { v.a * v.b });
    commit_trinomial(f, 1, v.a + v.b, v.a * v.b);
}

// (mx + q)(nx + p) multiplied out, reduced by its common divisor
void HGF(Frame& f)
{
    write_binomial_product(f, draw_binomial_product(f), 1);
}

// k times an EGF trinomial, k from 2 to 15
void EGFGCF(Frame& f)
{
    const Pair v = draw_nonzero_pair(f);
    const int k = f.draw(14, 2);
    f.append(k, Squared, SignedTerm { k * (v.a + v.b), u"x" }, SignedTerm { k * (v.a * v.b) });
    commit_trinomial(f, k, k * (v.a + v.b), k * (v.a * v.b));
}

// k times a reduced HGF trinomial, k from 2 to 10
void HGFGCF(Frame& f)
{
    const Trinomial t = draw_binomial_product(f);
    write_binomial_product(f, t, f.draw(9, 2));
}

// dx(ax + c) multiplied out
void GCF(Frame& f)
{
    int a = 0, c = 0, d = 0;
    do {
        a = f.draw(25, -12);
        c = f.draw(25, -12);
        d = f.draw(8, 1);
    } while (a == 0 || c == 0);
    f.append(d * a, Squared, SignedTerm { d * c, u"x" });
    commit_trinomial(f, d * a, d * c, 0);
}

// difference of two squares a²x² - b²
void DOTS(Frame& f)
{
    const Pair v = draw_coprime_pair(f);
    square_leading_term(f, v.a);
    f.append(u" - ", v.b * v.b);
    commit_trinomial(f, v.a * v.a, 0, -v.b * v.b);
}

// perfect-square trinomial a²x² ± 2abx + b²
void PST(Frame& f)
{
    const Pair v = draw_coprime_pair(f);
    square_leading_term(f, v.a);
    const TextView middle_sign = f.sign();
    f.append(middle_sign, 2 * v.a * v.b, u"x", u" + ", v.b * v.b);
    const int middle = middle_sign == u" + " ? 2 * v.a * v.b : -2 * v.a * v.b;
    commit_trinomial(f, v.a * v.a, middle, v.b * v.b);
}

constexpr Form Forms[] = {
    { "EGF", "x² + bx + c", "Factor completely.", EGF, false, factored, trinomial, "EGF" },
    { "HGF", "ax² + bx + c, a not 1", "Factor completely.", HGF, false, factored, trinomial,
        "HGF" },
    { "EGFGCF", "k(x² + bx + c), a common factor first", "Factor completely.", EGFGCF, false,
        factored, trinomial, "EGF GCF" },
    { "HGFGCF", "k(ax² + bx + c), a common factor first", "Factor completely.", HGFGCF, false,
        factored, trinomial, "HGF GCF" },
    { "GCF", "ax² + bx, a common monomial factor", "Factor out the greatest common factor.", GCF,
        false, factored, trinomial, "GCF" },
    { "DOTS", "difference of two squares", "Factor completely.", DOTS, false, factored, trinomial,
        "DOTS" },
    { "PST", "perfect-square trinomial", "Factor completely.", PST, false, factored, trinomial,
        "PST" },
};

} // namespace

const Family factoring_family {
    .name = "factoring",
    .menu_name = "Factoring Polynomials",
    .forms_caption = "Factoring",
    .title = u"Factoring",
    .instruction = "Factor completely.",
    .font_size = 12.0,
    .forms = Forms,
    .task = Task::Factor,
};

} // namespace quillora
