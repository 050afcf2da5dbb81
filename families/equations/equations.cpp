#include "families/equations/equations.h"

#include <array>
#include <cstdint>

namespace quillora {

namespace {

constexpr std::array<Generator, 6> Forms = { EQ1, EQ2, EQ3, EQ4, EQ5, EQ6 };

// ceil(2^64 / d) for every divisor the forms can make (|a * b - d * e| <= 1000 in EQ5).
constexpr int LargestTabledDivisor = 1000;
constexpr auto Inverses = [] {
    std::array<std::uint64_t, LargestTabledDivisor + 1> table {};
    for (std::uint64_t d = 1; d <= LargestTabledDivisor; ++d)
        table[d] = ~std::uint64_t { 0 } / d + 1;
    return table;
}();

// Whether n is an exact multiple of a non-zero divisor. The redraw loops test this on almost
// every attempt, so a multiply by the divisor's inverse replaces the division: |n| is a
// multiple of d exactly when |n| * ceil(2^64 / d), taken mod 2^64, is below ceil(2^64 / d)
// (exact for |n| < 2^32; for d = 1 the table holds 0 and the comparison is always true).
bool divides(int divisor, int n)
{
    const std::uint32_t d = divisor < 0 ? 0u - static_cast<std::uint32_t>(divisor)
                                        : static_cast<std::uint32_t>(divisor);
    const std::uint32_t m
        = n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
    if (d > LargestTabledDivisor)
        return m % d == 0;
    return m * Inverses[d] <= Inverses[d] - 1;
}

// "x" for 1, "-x" for -1, otherwise the coefficient followed by "x".
void x_term(Frame& f, int v)
{
    if (v == -1)
        f.append(u"-");
    else if (v != 1)
        f.append(v);
    f.append(u"x");
}

// " + k" or " - |k|" after an x term; nothing for 0.
void constant(Frame& f, int k)
{
    if (k > 0)
        f.append(u" + ", k);
    else if (k < 0)
        f.append(u" - ", -k);
}

// A factor before an opening parenthesis: "-(" for -1, otherwise the number and "(".
void factor(Frame& f, int v)
{
    if (v == -1)
        f.append(u"-(");
    else
        f.append(v, u"(");
}

} // namespace

void EQ1(Frame& f)
{
    int a = 0;
    int b = 0;
    do {
        a = f.draw(101, -50);
        b = f.draw(101, -50);
    } while (a == 0);
    f.append(u"x");
    constant(f, a);
    f.append(u" = ", b);
    f.commit();
}

void EQ2(Frame& f)
{
    const bool fractions_ok = f.options().fraction_answers_ok;
    int a = 0;
    int b = 0;
    int c = 0;
    for (;;) {
        a = f.draw(41, -20);
        b = f.draw(201, -100);
        c = f.draw(201, -100);
        if (a == 0 || b == 0 || a == 1)
            continue;
        if (fractions_ok || divides(a, c - b))
            break;
    }
    x_term(f, a);
    constant(f, b);
    f.append(u" = ", c);
    f.commit();
}

void EQ3(Frame& f)
{
    const bool fractions_ok = f.options().fraction_answers_ok;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    for (;;) {
        a = f.draw(41, -20);
        b = f.draw(41, -20);
        c = f.draw(201, -100);
        d = f.draw(201, -100);
        if (a == 0 || c == 0 || (b == 0 && d == 0))
            continue;
        if (fractions_ok || (a != c && divides(a - c, d - b)))
            break;
    }
    x_term(f, a);
    constant(f, b);
    f.append(u" = ");
    x_term(f, c);
    constant(f, d);
    f.commit();
}

void EQ4(Frame& f)
{
    const bool fractions_ok = f.options().fraction_answers_ok;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    for (;;) {
        a = f.draw(21, -10);
        b = f.draw(101, -50);
        c = f.draw(101, -50);
        d = f.draw(201, -100);
        if (a == 0 || b == 0 || c == 0 || a == 1)
            continue;
        if (fractions_ok || divides(a * b, d - a * c))
            break;
    }
    factor(f, a);
    x_term(f, b);
    constant(f, c);
    f.append(u") = ", d);
    f.commit();
}

void EQ5(Frame& f)
{
    const bool fractions_ok = f.options().fraction_answers_ok;
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    int e = 0;
    int g = 0; // the constant f of a(bx + c) = d(ex + f)
    for (;;) {
        a = f.draw(21, -10);
        b = f.draw(101, -50);
        c = f.draw(101, -50);
        d = f.draw(21, -10);
        e = f.draw(101, -50);
        g = f.draw(101, -50);
        // Every test is evaluated without a jump, leaving one branch per attempt, which is
        // taken about once in forty: the rejections are too frequent to predict one by one.
        const bool usable
            = (a != 0) & (b != 0) & (c != 0) & (d != 0) & (e != 0) & (g != 0) & (a != 1) & (d != 1);
        const int x_coefficient = a * b - d * e;
        // (divides(0, n) is defined, its table entry being 0, and the first test masks it)
        const bool whole = (x_coefficient != 0) & divides(x_coefficient, d * g - a * c);
        if (usable & (fractions_ok | whole))
            break;
    }
    factor(f, a);
    x_term(f, b);
    constant(f, c);
    f.append(u") = ");
    factor(f, d);
    x_term(f, e);
    constant(f, g);
    f.append(u")");
    f.commit();
}

void EQ6(Frame& f)
{
    const bool fractions_ok = f.options().fraction_answers_ok;
    int a = 0;
    int b = 0;
    for (;;) {
        a = f.draw(41, -20);
        b = f.draw(401, -200);
        if (a == 0 || a == 1)
            continue;
        if (fractions_ok || divides(a, b))
            break;
    }
    x_term(f, a);
    f.append(u" = ", b);
    f.commit();
}

const FamilyFrame& equations_family()
{
    static const FamilyFrame family {
        .font_size = 12.0,
        .title = u"Solving Linear Equations",
        .title_line_feeds = 4,
        .count = 30,
        .literal_below_10 = u".)    ",
        .literal_from_10 = u".)   ",
        .forms = Forms,
        .layout = { .column_width = 40, .line_feeds = 3 },
    };
    return family;
}

RunResult equations(const ProblemOptions& options, RandomSource& random)
{
    return run_frame(equations_family(), options, random);
}

} // namespace quillora
