#include "families/equations/equations.h"

#include <array>
#include <cstdint>
#include <tuple>

namespace quillora {

namespace {

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

// The range of one draw: n values from m.
struct Range {
    int n, m;
};

// Draws one value from each range, in order, and all of them again until they are usable and,
// unless "Fraction Answers OK" is ticked, give a whole-number solution.
template <std::size_t N, typename Usable, typename Whole>
std::array<int, N> draw_until(
    Frame& f, const std::array<Range, N>& ranges, Usable usable, Whole whole)
{
    const bool fractions_ok = f.options().fraction_answers_ok;
    for (;;) {
        std::array<int, N> v;
        for (std::size_t i = 0; i < N; ++i)
            v[i] = f.draw(ranges[i].n, ranges[i].m);
        if (std::apply(usable, v) && (fractions_ok || std::apply(whole, v)))
            return v;
    }
}

// A factor before an opening parenthesis: "-(" for -1, otherwise the number and "(".
void factor(Frame& f, int v)
{
    if (v == -1)
        f.append(u"-(");
    else
        f.append(v, u"(");
}

// EQ1, EQ2, EQ3 and EQ6 record a, b, c, d of ax + b = cx + d.
Maths linear_solution(const ProblemNumbers& v)
{
    return solution(v[3] - v[1], v[0] - v[2]);
}

Maths linear_equation(const ProblemNumbers& v)
{
    Maths out = polynomial(0, v[0], v[1]);
    out += Maths::symbol(Maths::Kind::Equals);
    out += polynomial(0, v[2], v[3]);
    return out;
}

// k(bx + c), a factor -1 written as a sign.
Maths times_group(int k, int b, int c)
{
    Maths out = Maths::row();
    out += k == -1 ? Maths::symbol(Maths::Kind::Sign) : signed_number(k);
    out += Maths::group(polynomial(0, b, c));
    return out;
}

// EQ4 records a, b, c, d of a(bx + c) = d.
Maths eq4_solution(const ProblemNumbers& v)
{
    const long long a = v[0], b = v[1], c = v[2], d = v[3];
    return solution(d - a * c, a * b);
}

Maths eq4_equation(const ProblemNumbers& v)
{
    Maths out = times_group(v[0], v[1], v[2]);
    out += Maths::symbol(Maths::Kind::Equals);
    out += signed_number(v[3]);
    return out;
}

// EQ5 records a, b, c, d, e, f of a(bx + c) = d(ex + f).
Maths eq5_solution(const ProblemNumbers& v)
{
    const long long a = v[0], b = v[1], c = v[2], d = v[3], e = v[4], f = v[5];
    return solution(d * f - a * c, a * b - d * e);
}

Maths eq5_equation(const ProblemNumbers& v)
{
    Maths out = times_group(v[0], v[1], v[2]);
    out += Maths::symbol(Maths::Kind::Equals);
    out += times_group(v[3], v[4], v[5]);
    return out;
}

// x + a = b
void EQ1(Frame& f)
{
    // one-step equations always have a whole solution
    const auto [a, b] = draw_until<2>(
        f, { { { 101, -50 }, { 101, -50 } } }, [](int a, int) { return a != 0; },
        [](int, int) { return true; });
    f.append(u"x", SignedTerm { a }, u" = ", b);
    f.commit({ 1, a, 0, b });
}

// ax + b = c
void EQ2(Frame& f)
{
    const auto [a, b, c] = draw_until<3>(
        f, { { { 41, -20 }, { 201, -100 }, { 201, -100 } } },
        [](int a, int b, int) { return a != 0 && b != 0 && a != 1; },
        [](int a, int b, int c) { return divides(a, c - b); });
    f.append(XTerm { a }, SignedTerm { b }, u" = ", c);
    f.commit({ a, b, 0, c });
}

// ax + b = cx + d
void EQ3(Frame& f)
{
    const auto [a, b, c, d] = draw_until<4>(
        f, { { { 41, -20 }, { 41, -20 }, { 201, -100 }, { 201, -100 } } },
        [](int a, int b, int c, int d) { return a != 0 && c != 0 && (b != 0 || d != 0); },
        [](int a, int b, int c, int d) { return a != c && divides(a - c, d - b); });
    f.append(XTerm { a }, SignedTerm { b }, u" = ", XTerm { c }, SignedTerm { d });
    f.commit({ a, b, c, d });
}

// a(bx + c) = d
void EQ4(Frame& f)
{
    const auto [a, b, c, d] = draw_until<4>(
        f, { { { 21, -10 }, { 101, -50 }, { 101, -50 }, { 201, -100 } } },
        [](int a, int b, int c, int) { return a != 0 && b != 0 && c != 0 && a != 1; },
        [](int a, int b, int c, int d) { return divides(a * b, d - a * c); });
    factor(f, a);
    f.append(XTerm { b }, SignedTerm { c }, u") = ", d);
    f.commit({ a, b, c, d });
}

// a(bx + c) = d(ex + f)
void EQ5(Frame& f)
{
    // g is the constant f of a(bx + c) = d(ex + f). Both tests are evaluated without a jump,
    // leaving few branches per attempt: rejections are too frequent to predict one by one.
    const auto [a, b, c, d, e, g] = draw_until<6>(
        f, { { { 21, -10 }, { 101, -50 }, { 101, -50 }, { 21, -10 }, { 101, -50 }, { 101, -50 } } },
        [](int a, int b, int c, int d, int e, int g) {
            return (a != 0) & (b != 0) & (c != 0) & (d != 0) & (e != 0) & (g != 0) & (a != 1)
                & (d != 1);
        },
        [](int a, int b, int c, int d, int e, int g) {
            const int x_coefficient = a * b - d * e;
            // (divides(0, n) is defined, its table entry being 0, and the first test masks it)
            return (x_coefficient != 0) & divides(x_coefficient, d * g - a * c);
        });
    factor(f, a);
    f.append(XTerm { b }, SignedTerm { c }, u") = ");
    factor(f, d);
    f.append(XTerm { e }, SignedTerm { g }, u")");
    f.commit({ a, b, c, d, e, g });
}

// ax = b
void EQ6(Frame& f)
{
    const auto [a, b] = draw_until<2>(
        f, { { { 41, -20 }, { 401, -200 } } }, [](int a, int) { return a != 0 && a != 1; },
        [](int a, int b) { return divides(a, b); });
    f.append(XTerm { a }, u" = ", b);
    f.commit({ a, 0, 0, b });
}

constexpr Form Forms[] = {
    { "EQ1", "x + a = b", "Solve for x.", EQ1, false, linear_solution, linear_equation },
    { "EQ2", "ax + b = c", "Solve for x.", EQ2, true, linear_solution, linear_equation },
    { "EQ3", "ax + b = cx + d", "Solve for x.", EQ3, true, linear_solution, linear_equation },
    { "EQ4", "a(bx + c) = d", "Solve for x.", EQ4, true, eq4_solution, eq4_equation },
    { "EQ5", "a(bx + c) = d(ex + f)", "Solve for x.", EQ5, true, eq5_solution, eq5_equation },
    { "EQ6", "ax = b", "Solve for x.", EQ6, true, linear_solution, linear_equation },
};

} // namespace

const Family equations_family {
    .name = "equations",
    .menu_name = "Equations",
    .forms_caption = "Equations",
    .title = u"Solving Linear Equations",
    .instruction = "Solve for x.",
    .font_size = 12.0,
    .forms = Forms,
    .task = Task::Solve,
};

} // namespace quillora
