#include "families/fraction_equations/fraction_equations.h"
#include "scripted.h"
#include "tests/invariants/fraction_equations_invariants.h"

#include <gtest/gtest.h>

#include <set>

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

// Draws for a numerator (1 to 15), a denominator (2 to 15), a value from -100 to 100, a
// constant from 1 to 100, a coefficient from -15 to 15, and a sign.
float num(int v)
{
    return pick(v, 15);
}
float den(int v)
{
    return r_for(v, 14, 2);
}
float wide(int v)
{
    return r_for(v, 201, -100);
}
float constant(int v)
{
    return pick(v, 100);
}
float coef(int v)
{
    return r_for(v, 31, -15);
}
const float plus = coin(0);
const float minus = coin(1);

const std::string B = "\u2014\u2014";

std::string problem(Generator generator, std::vector<float> draws, int i = 1)
{
    return one_problem(fraction_equations_family(), generator, std::move(draws), i);
}

std::string lines(const std::string& a, const std::string& b, const std::string& c)
{
    return a + "\n" + b + "\n" + c + "\n";
}

} // namespace

TEST(FractionEquations, OneFractionForms)
{
    EXPECT_EQ(problem(FB1, { num(5), den(8), wide(-36) }, 3),
        lines("3.)     5", "       " + B + "x = -36", "        8"));
    EXPECT_EQ(problem(FB2, { num(12), den(7), constant(35), wide(9), minus }, 10),
        lines("10.)   12", "       " + B + "x - 35 = 9", "        7"));
    EXPECT_EQ(problem(FB2, { num(15), den(2), constant(100), wide(0), plus }),
        lines("1.)    15", "       " + B + "x + 100 = 0", "        2"));
}

TEST(FractionEquations, ReducedFractionDrawRedrawsEqualAndWholePairs)
{
    // 4/4 is redrawn before reduction, 14/7 after it; 6/8 is shown as 3/4
    EXPECT_EQ(problem(FB1, { num(4), den(4), num(14), den(7), num(6), den(8), wide(100) }),
        lines("1.)     3", "       " + B + "x = 100", "        4"));
    EXPECT_EQ(problem(FB1, { num(10), den(15), wide(-100) }),
        lines("1.)     2", "       " + B + "x = -100", "        3"));
}

TEST(FractionEquations, TwoFractionsSideBySide)
{
    EXPECT_EQ(problem(FB3, { num(2), den(3), num(1), den(4), wide(-7), plus }, 4),
        lines("4.)     2     1", "       " + B + "x + " + B + " = -7", "        3     4"));
    EXPECT_EQ(problem(FB3, { num(13), den(10), num(11), den(14), wide(0), minus }),
        lines("1.)    13    11", "       " + B + "x - " + B + " = 0", "       10    14"));

    EXPECT_EQ(
        problem(FB4, { num(3), den(5), num(7), den(2), constant(7), constant(12), minus, plus }, 5),
        lines("5.)     3          7", "       " + B + "x - 7  = " + B + "x + 12",
            "        5          2"));
    EXPECT_EQ(problem(FB4,
                  { num(3), den(5), num(11), den(3), constant(45), constant(12), minus, plus }, 5),
        lines("5.)     3         11", "       " + B + "x - 45 = " + B + "x + 12",
            "        5          3"));
    // c = 100 pushes the second bar one column past the second fraction's fields
    EXPECT_EQ(problem(FB4,
                  { num(1), den(12), num(15), den(14), constant(100), constant(1), plus, minus }),
        lines("1.)     1         15", "       " + B + "x + 100 = " + B + "x - 1",
            "       12         14"));
}

TEST(FractionEquations, DoubleFractionDrawRedrawsAllFour)
{
    // a second 6/3, then a second 5/5, then a first 9/9: each time all four are drawn again
    const std::vector<float> rejected = { num(2), den(3), num(6), den(3), num(2), den(3), num(5),
        den(5), num(9), den(9), num(1), den(4) };
    std::vector<float> draws = rejected;
    draws.insert(draws.end(), { num(2), den(3), num(1), den(4), wide(-7), plus });
    EXPECT_EQ(problem(FB3, draws, 4),
        lines("4.)     2     1", "       " + B + "x + " + B + " = -7", "        3     4"));
    draws = rejected;
    draws.insert(
        draws.end(), { num(6), den(10), num(14), den(4), constant(7), constant(12), minus, plus });
    EXPECT_EQ(problem(FB4, draws, 5),
        lines("5.)     3          7", "       " + B + "x - 7  = " + B + "x + 12",
            "        5          2"));
}

TEST(FractionEquations, FractionsTimesBinomials)
{
    EXPECT_EQ(problem(FB5,
                  { num(2), den(3), num(3), den(2), coef(4), coef(-1), constant(5), constant(12),
                      plus, minus },
                  6),
        lines("6.)     2               3", "       " + B + "(4x + 5)    = " + B + "(-x - 12)",
            "        3               2"));
    EXPECT_EQ(problem(FB5,
                  { num(1), den(6), num(5), den(9), coef(1), coef(-7), constant(3), constant(40),
                      plus, minus },
                  2),
        lines("2.)     1               5", "       " + B + "(x + 3)     = " + B + "(-7x - 40)",
            "        6               9"));
}

TEST(FractionEquations, FractionsTimesBinomialsRedrawsAndWidths)
{
    // a zero c or g redraws both coefficients but not the fractions; the 14-character left part
    // keeps all its characters
    EXPECT_EQ(problem(FB5,
                  { num(12), den(5), num(7), den(10), coef(0), coef(3), coef(5), coef(0), coef(-15),
                      coef(15), constant(100), constant(100), minus, plus }),
        lines("1.)    12               7", "       " + B + "(-15x - 100) = " + B + "(15x + 100)",
            "        5              10"));
    // a left part of exactly 13 characters gets no blanks
    EXPECT_EQ(problem(FB5,
                  { num(1), den(2), num(1), den(3), coef(-12), coef(-1), constant(99), constant(1),
                      plus, plus }),
        lines("1.)     1               1", "       " + B + "(-12x + 99) = " + B + "(-x + 1)",
            "        2               3"));
}

TEST(FractionEquations, WorksheetFrame)
{
    // every problem of FB2 with the same draws: the title, then one problem per row
    std::vector<float> draws;
    std::string expected = "Solving Linear Equations\n\n\n\n";
    for (int i = 1; i <= 10; ++i) {
        draws.insert(draws.end(), { num(1), den(2), constant(4), wide(-17), plus });
        expected += std::to_string(i) + (i < 10 ? ".)    " : ".)   ") + " 1\n       " + B
            + "x + 4 = -17\n        2\n\n\n\n";
    }
    ScriptedSource source(draws);
    const RunResult sheet = fraction_busters({ .selection = FormSelection::form(2) }, source);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(to_utf8(sheet.text), expected);
    EXPECT_EQ(sheet.font_size, 10.0);

    // with no form selected each problem adds only its three line feeds
    const RunResult none = fraction_busters({}, source);
    EXPECT_EQ(none.text, u"Solving Linear Equations\n\n\n\n" + Text(30, u'\n'));
    EXPECT_EQ(none.font_size, 10.0);
}

TEST(FractionEquations, MixedDrawsTheFormBeforeTheProblem)
{
    std::vector<float> draws;
    for (int i = 1; i <= 10; ++i) {
        if (i % 2)
            draws.insert(draws.end(), { pick(1, 5), num(5), den(8), wide(-36) });
        else
            draws.insert(
                draws.end(), { pick(3, 5), num(2), den(3), num(1), den(4), wide(-7), plus });
    }
    ScriptedSource source(draws);
    const auto sheet = split_lines(
        to_utf8(fraction_busters({ .selection = FormSelection::mixed() }, source).text));
    EXPECT_EQ(source.remaining(), 0u);
    ASSERT_EQ(sheet.size(), 65u);
    EXPECT_EQ(sheet[4], "1.)     5");
    EXPECT_EQ(sheet[10], "2.)     2     1");
    EXPECT_EQ(sheet[58], "10.)    2     1");
    EXPECT_EQ(sheet[59], "       " + B + "x + " + B + " = -7");
}

TEST(FractionEquations, EveryFormKeepsItsShapeRangesAndColumnsOverManySeeds)
{
    for (int form = 1; form <= 5; ++form) {
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Mt19937Source source(seed * 7919 + static_cast<std::uint32_t>(form));
            const ProblemOptions options { .selection = FormSelection::form(form) };
            Report report;
            EXPECT_EQ(
                check_fraction_equations_sheet(fraction_busters(options, source), options, report),
                10);
            ASSERT_EQ(report.violations, std::vector<std::string> {}) << "seed " << seed;
        }
    }
}

TEST(FractionEquations, MixedUsesEveryFormAndOnlyThem)
{
    std::set<int> seen;
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        Mt19937Source source(seed);
        Report report;
        const auto found = fraction_equation_problems(
            fraction_busters({ .selection = FormSelection::mixed() }, source), report);
        ASSERT_TRUE(report.ok()) << report.violations.front();
        ASSERT_EQ(found.size(), 10u);
        for (const auto& p : found) {
            int matched = 0;
            for (int form = 1; form <= 5; ++form) {
                if (fraction_equation_violation(form, p).empty()) {
                    seen.insert(form);
                    ++matched;
                }
            }
            ASSERT_EQ(matched, 1) << p.top << "\n" << p.middle << "\n" << p.bottom;
        }
    }
    EXPECT_EQ(seen.size(), 5u);
}
