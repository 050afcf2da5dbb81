#include "families/binomials/binomials.h"
#include "scripted.h"
#include "tests/invariants/binomials_invariants.h"

#include <gtest/gtest.h>

#include <set>

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

float n15(int v)
{
    return pick(v, 15);
}
float n12(int v)
{
    return pick(v, 12);
}

std::string problem(Generator generator, std::vector<float> draws, int i = 1)
{
    return one_problem(binomials_family(), generator, std::move(draws), i);
}

} // namespace

TEST(Binomials, UnitCoefficientForms)
{
    EXPECT_EQ(problem(Bin1, { n15(3), n15(12) }), "1.)  (x + 3)(x + 12)");
    EXPECT_EQ(problem(Bin1, { n15(1), n15(1) }), "1.)  (x + 1)(x + 1)");
    EXPECT_EQ(problem(Bin2, { n15(7), n15(1) }), "1.)  (x - 7)(x - 1)");
    EXPECT_EQ(problem(Bin2, { n15(15), n15(15) }, 10), "10.) (x - 15)(x - 15)");
    EXPECT_EQ(problem(Bin3, { n15(4), n15(9), coin(1) }), "1.)  (x + 4)(x - 9)");
    EXPECT_EQ(problem(Bin3, { n15(4), n15(9), coin(0) }), "1.)  (x - 4)(x + 9)");
}

TEST(Binomials, ReducedForms)
{
    EXPECT_EQ(problem(Bin4, { n12(6), n12(4), n12(1), n12(5) }), "1.)  (3x + 2)(x + 5)");
    EXPECT_EQ(problem(Bin4, { n12(4), n12(9), n12(10), n12(3) }), "1.)  (4x + 9)(10x + 3)");
    // reduction may still make both leading coefficients 1
    EXPECT_EQ(problem(Bin4, { n12(2), n12(4), n12(1), n12(7) }), "1.)  (x + 2)(x + 7)");
    EXPECT_EQ(problem(Bin5, { n12(6), n12(4), n12(1), n12(5) }), "1.)  (3x - 2)(x - 5)");
    EXPECT_EQ(problem(Bin5, { n12(12), n12(8), n12(9), n12(6) }), "1.)  (3x - 2)(3x - 2)");
}

TEST(Binomials, BothLeadingCoefficientsOneAsDrawnRedrawsAllFour)
{
    // a = 1 and c = 1 are rejected before reduction; the next four draws are used.
    EXPECT_EQ(problem(Bin4, { n12(1), n12(5), n12(1), n12(7), n12(1), n12(3), n12(2), n12(5) }),
        "1.)  (x + 3)(2x + 5)");
    EXPECT_EQ(problem(Bin5, { n12(1), n12(1), n12(1), n12(1), n12(4), n12(2), n12(1), n12(3) }),
        "1.)  (2x - 1)(x - 3)");
    // Bin6 redraws too, and makes its sign draw only after an accepted set
    EXPECT_EQ(
        problem(Bin6, { n12(1), n12(2), n12(1), n12(3), n12(1), n12(5), n12(2), n12(7), coin(0) }),
        "1.)  (x + 5)(2x - 7)");
}

TEST(Binomials, UnreducedMixedSigns)
{
    EXPECT_EQ(problem(Bin6, { n12(4), n12(6), n12(3), n12(9), coin(1) }), "1.)  (4x - 6)(3x + 9)");
    EXPECT_EQ(problem(Bin6, { n12(1), n12(5), n12(2), n12(7), coin(0) }), "1.)  (x + 5)(2x - 7)");
    EXPECT_EQ(problem(Bin6, { n12(12), n12(12), n12(12), n12(12), coin(1) }, 10),
        "10.) (12x - 12)(12x + 12)");
    EXPECT_EQ(problem(Bin6, { n12(12), n12(12), n12(12), n12(12), coin(0) }, 10),
        "10.) (12x + 12)(12x - 12)");
}

TEST(Binomials, ConjugatePairsAndSquares)
{
    EXPECT_EQ(problem(Bin7, { n15(6), n15(4), coin(1) }), "1.)  (3x - 2)(3x + 2)");
    EXPECT_EQ(problem(Bin7, { n15(5), n15(5), coin(0) }), "1.)  (x + 1)(x - 1)");
    EXPECT_EQ(problem(Bin7, { n15(9), n15(9), coin(1) }), "1.)  (x - 1)(x + 1)");
    EXPECT_EQ(problem(Bin8, { n15(3), n15(12), coin(1) }), "1.)  (x - 4)\u00B2");
    EXPECT_EQ(problem(Bin8, { n15(2), n15(5), coin(0) }), "1.)  (2x + 5)\u00B2");
    EXPECT_EQ(problem(Bin8, { n15(7), n15(7), coin(0) }), "1.)  (x + 1)\u00B2");
    EXPECT_EQ(problem(Bin8, { n15(14), n15(14), coin(1) }), "1.)  (x - 1)\u00B2");
}

TEST(Binomials, MixedWorksheetFirstRowsAndColumns)
{
    // problem 1 Bin1 (3, 12), problem 2 Bin2 (5, 9), problems 9 and 10 Bin6 with 12s,
    // every other problem Bin1 (1, 1).
    std::vector<float> draws;
    for (int i = 1; i <= 30; ++i) {
        if (i == 1)
            draws.insert(draws.end(), { pick(1, 8), n15(3), n15(12) });
        else if (i == 2)
            draws.insert(draws.end(), { pick(2, 8), n15(5), n15(9) });
        else if (i == 9 || i == 10)
            draws.insert(
                draws.end(), { pick(6, 8), n12(12), n12(12), n12(12), n12(12), coin(i == 9) });
        else
            draws.insert(draws.end(), { pick(1, 8), n15(1), n15(1) });
    }
    ScriptedSource source(draws);
    const RunResult result = multiply_binomials({ .selection = FormSelection::mixed() }, source);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(result.font_size, 12.0);

    const auto lines = split_lines(to_utf8(result.text));
    ASSERT_EQ(lines.size(), 4u + 15 * 3 + 1);
    EXPECT_EQ(lines[0], "Multiplying Binomials");
    EXPECT_EQ(lines[1] + lines[2] + lines[3], "");
    EXPECT_EQ(lines[4], "1.)  (x + 3)(x + 12)" + std::string(20, ' ') + "2.)  (x - 5)(x - 9)");
    EXPECT_EQ(lines[4 + 4 * 3],
        "9.)  (12x - 12)(12x + 12)" + std::string(15, ' ') + "10.) (12x + 12)(12x - 12)");
    EXPECT_EQ(lines.back(), "");
}

TEST(Binomials, EveryFormKeepsItsShapeRangesAndLayoutOverManySeeds)
{
    for (int form = 1; form <= 8; ++form) {
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Mt19937Source source(seed * 7919 + static_cast<std::uint32_t>(form));
            const ProblemOptions options { .selection = FormSelection::form(form) };
            Report report;
            EXPECT_EQ(
                check_binomials_sheet(multiply_binomials(options, source), options, report), 30);
            ASSERT_EQ(report.violations, std::vector<std::string> {}) << "seed " << seed;
        }
    }
}

TEST(Binomials, MixedUsesEveryFormAndOnlyThem)
{
    std::set<int> seen;
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        Mt19937Source source(seed);
        Report report;
        const auto found = binomial_problems(
            to_utf8(multiply_binomials({ .selection = FormSelection::mixed() }, source).text),
            report);
        ASSERT_TRUE(report.ok()) << report.violations.front();
        ASSERT_EQ(found.size(), 30u);
        for (const auto& p : found) {
            bool matched = false;
            for (int form = 1; form <= 8; ++form) {
                if (binomial_violation(form, p).empty()) {
                    seen.insert(form);
                    matched = true;
                }
            }
            ASSERT_TRUE(matched) << p;
        }
    }
    EXPECT_EQ(seen.size(), 8u);
}

TEST(Binomials, SameSeedSameSheetOtherSeedOtherSheet)
{
    auto sheet = [](std::uint32_t seed) {
        Mt19937Source source(seed);
        return multiply_binomials({ .selection = FormSelection::mixed() }, source).text;
    };
    EXPECT_EQ(sheet(2026), sheet(2026));
    std::set<Text> sheets;
    for (std::uint32_t seed = 0; seed < 50; ++seed)
        sheets.insert(sheet(seed));
    EXPECT_EQ(sheets.size(), 50u);
}
