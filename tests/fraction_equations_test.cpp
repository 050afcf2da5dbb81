#include "families/fraction_equations/fraction_equations.h"
#include "scripted.h"

using namespace quillora;
using namespace quillora::test;

namespace {

// Draws for a numerator (1 to 15), a denominator (2 to 15), a value from -100 to 100, a
// constant from 1 to 100, a coefficient from -15 to 15, and the signs + and -.
const auto n = [](int v) { return pick(v, 15); };
const auto d = [](int v) { return r_for(v, 14, 2); };
const auto w = [](int v) { return r_for(v, 201, -100); };
const auto k = [](int v) { return pick(v, 100); };
const auto c = [](int v) { return r_for(v, 31, -15); };
const float P = coin(0), M = coin(1);

// A problem's three lines from "first|second|third": the last two indented 7 blanks, each
// '#' a bar of two em dashes.
std::string fe(const std::string& rows)
{
    std::string out;
    for (const char ch : rows)
        out += ch == '|' ? "\n       " : ch == '#' ? "\u2014\u2014" : std::string(1, ch);
    return out + "\n";
}

// A second 6/3, then a second 5/5, then a first 9/9: each time all four are drawn again.
const std::vector<float> rejected
    = { n(2), d(3), n(6), d(3), n(2), d(3), n(5), d(5), n(9), d(9), n(1), d(4) };

} // namespace

TEST(FractionEquations, WorkedExamples)
{
    expect_examples(fraction_equations_family(),
        {
            { FB1, { n(5), d(8), w(-36) }, fe("3.)     5|#x = -36| 8"), 3 },
            { FB2, { n(12), d(7), k(35), w(9), M }, fe("10.)   12|#x - 35 = 9| 7"), 10 },
            { FB2, { n(15), d(2), k(100), w(0), P }, fe("1.)    15|#x + 100 = 0| 2") },
            // 4/4 is redrawn before reduction, 14/7 after it; 6/8 is shown as 3/4
            { FB1, { n(4), d(4), n(14), d(7), n(6), d(8), w(100) }, fe("1.)     3|#x = 100| 4") },
            { FB1, { n(10), d(15), w(-100) }, fe("1.)     2|#x = -100| 3") },
            { FB3, { n(2), d(3), n(1), d(4), w(-7), P }, fe("4.)     2     1|#x + # = -7| 3     4"),
                4 },
            { FB3, rejected + std::vector { n(2), d(3), n(1), d(4), w(-7), P },
                fe("4.)     2     1|#x + # = -7| 3     4"), 4 },
            { FB3, { n(13), d(10), n(11), d(14), w(0), M },
                fe("1.)    13    11|#x - # = 0|10    14") },
            { FB4, { n(3), d(5), n(7), d(2), k(7), k(12), M, P },
                fe("5.)     3          7|#x - 7  = #x + 12| 5          2"), 5 },
            { FB4, rejected + std::vector { n(6), d(10), n(14), d(4), k(7), k(12), M, P },
                fe("5.)     3          7|#x - 7  = #x + 12| 5          2"), 5 },
            { FB4, { n(3), d(5), n(11), d(3), k(45), k(12), M, P },
                fe("5.)     3         11|#x - 45 = #x + 12| 5          3"), 5 },
            // c = 100 pushes the second bar one column past the second fraction's fields
            { FB4, { n(1), d(12), n(15), d(14), k(100), k(1), P, M },
                fe("1.)     1         15|#x + 100 = #x - 1|12         14") },
            { FB5, { n(2), d(3), n(3), d(2), c(4), c(-1), k(5), k(12), P, M },
                fe("6.)     2               3|#(4x + 5)    = #(-x - 12)| 3               2"), 6 },
            { FB5, { n(1), d(6), n(5), d(9), c(1), c(-7), k(3), k(40), P, M },
                fe("2.)     1               5|#(x + 3)     = #(-7x - 40)| 6               9"), 2 },
            // a zero c or g redraws both coefficients but not the fractions; a 14-character
            // left part keeps all its characters
            { FB5,
                { n(12), d(5), n(7), d(10), c(0), c(3), c(5), c(0), c(-15), c(15), k(100), k(100),
                    M, P },
                fe("1.)    12               7|#(-15x - 100) = #(15x + 100)| 5              10") },
            // a left part of exactly 13 characters gets no blanks
            { FB5, { n(1), d(2), n(1), d(3), c(-12), c(-1), k(99), k(1), P, P },
                fe("1.)     1               1|#(-12x + 99) = #(-x + 1)| 2               3") },
        });
}
