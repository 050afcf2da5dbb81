#include "families/equations/equations.h"
#include "scripted.h"
#include "tests/invariants/equations_invariants.h"

#include <gtest/gtest.h>

#include <set>

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

// Draws for the family's ranges: -50..50, -20..20, -100..100, -10..10, -200..200.
const auto w50 = [](int v) { return r_for(v, 101, -50); };
const auto w20 = [](int v) { return r_for(v, 41, -20); };
const auto w100 = [](int v) { return r_for(v, 201, -100); };
const auto w10 = [](int v) { return r_for(v, 21, -10); };
const auto w200 = [](int v) { return r_for(v, 401, -200); };

const ProblemOptions Ticked { .fraction_answers_ok = true };

std::string problem(Generator generator, std::vector<float> draws, ProblemOptions options = {})
{
    return one_problem(equations_family(), generator, std::move(draws), 1, options);
}

} // namespace

TEST(Equations, OneStepAddition)
{
    EXPECT_EQ(problem(EQ1, { w50(-7), w50(23) }), "1.)    x - 7 = 23");
    EXPECT_EQ(problem(EQ1, { w50(15), w50(-4) }), "1.)    x + 15 = -4");
    EXPECT_EQ(problem(EQ1, { w50(3), w50(0) }), "1.)    x + 3 = 0");
    // a = 0 redraws both; the box changes nothing
    EXPECT_EQ(problem(EQ1, { w50(0), w50(9), w50(-50), w50(50) }, Ticked), "1.)    x - 50 = 50");
}

TEST(Equations, TwoStep)
{
    EXPECT_EQ(problem(EQ2, { w20(-4), w100(12), w100(-40) }), "1.)    -4x + 12 = -40");
    EXPECT_EQ(problem(EQ2, { w20(-1), w100(35), w100(0) }), "1.)    -x + 35 = 0");
    EXPECT_EQ(problem(EQ2, { w20(7), w100(-3), w100(5) }, Ticked), "1.)    7x - 3 = 5");
    // a = 0, b = 0, a = 1 and (clear box only) a fractional solution each redraw all three
    EXPECT_EQ(problem(EQ2,
                  { w20(0), w100(5), w100(5), w20(3), w100(0), w100(6), w20(1), w100(4), w100(9),
                      w20(7), w100(-3), w100(5), w20(2), w100(-3), w100(5) }),
        "1.)    2x - 3 = 5");
}

TEST(Equations, XOnBothSides)
{
    EXPECT_EQ(problem(EQ3, { w20(3), w20(-7), w100(-12), w100(53) }), "1.)    3x - 7 = -12x + 53");
    EXPECT_EQ(problem(EQ3, { w20(5), w20(0), w100(2), w100(-18) }), "1.)    5x = 2x - 18");
    EXPECT_EQ(problem(EQ3, { w20(-1), w20(9), w100(2), w100(0) }), "1.)    -x + 9 = 2x");
    EXPECT_EQ(problem(EQ3, { w20(1), w20(4), w100(-1), w100(10) }), "1.)    x + 4 = -x + 10");
    // b range is the narrow one and c the wide one
    EXPECT_EQ(problem(EQ3, { w20(-20), w20(-20), w100(100), w100(-100) }, Ticked),
        "1.)    -20x - 20 = 100x - 100");
}

TEST(Equations, XOnBothSidesRedraws)
{
    const std::vector<float> zero_a = { w20(0), w20(1), w100(2), w100(3) };
    const std::vector<float> zero_c = { w20(2), w20(1), w100(0), w100(3) };
    const std::vector<float> no_constants = { w20(2), w20(0), w100(3), w100(0) };
    const std::vector<float> same_x = { w20(2), w20(3), w100(2), w100(5) };
    const std::vector<float> fractional = { w20(4), w20(1), w100(2), w100(4) };
    const std::vector<float> good = { w20(5), w20(0), w100(2), w100(-18) };
    std::vector<float> clear_draws;
    for (const auto* part : { &zero_a, &zero_c, &no_constants, &same_x, &fractional, &good })
        clear_draws.insert(clear_draws.end(), part->begin(), part->end());
    EXPECT_EQ(problem(EQ3, clear_draws), "1.)    5x = 2x - 18");

    // ticked: equal coefficients and fractional solutions stand, zeros are still redrawn
    std::vector<float> ticked = zero_c;
    ticked.insert(ticked.end(), same_x.begin(), same_x.end());
    EXPECT_EQ(problem(EQ3, ticked, Ticked), "1.)    2x + 3 = 2x + 5");
    EXPECT_EQ(problem(EQ3, fractional, Ticked), "1.)    4x + 1 = 2x + 4");
}

TEST(Equations, Parentheses)
{
    EXPECT_EQ(problem(EQ4, { w10(3), w50(2), w50(-5), w100(21) }), "1.)    3(2x - 5) = 21");
    EXPECT_EQ(problem(EQ4, { w10(-1), w50(-1), w50(7), w100(4) }), "1.)    -(-x + 7) = 4");
    EXPECT_EQ(problem(EQ4, { w10(-4), w50(1), w50(9), w100(-8) }), "1.)    -4(x + 9) = -8");
    // a = 1, c = 0 and (clear only) 2(3x + 1) = 7 are redrawn
    const std::vector<float> redraws = { w10(1), w50(2), w50(3), w100(4), w10(2), w50(2), w50(0),
        w100(4), w10(2), w50(3), w50(1), w100(7), w10(2), w50(3), w50(1), w100(8) };
    EXPECT_EQ(problem(EQ4, redraws), "1.)    2(3x + 1) = 8");
    EXPECT_EQ(problem(EQ4, { w10(2), w50(3), w50(1), w100(7) }, Ticked), "1.)    2(3x + 1) = 7");
}

TEST(Equations, ParenthesesOnBothSides)
{
    EXPECT_EQ(problem(EQ5, { w10(2), w50(3), w50(-4), w10(-5), w50(1), w50(6) }),
        "1.)    2(3x - 4) = -5(x + 6)");
    EXPECT_EQ(problem(EQ5, { w10(-1), w50(4), w50(2), w10(3), w50(-1), w50(-6) }),
        "1.)    -(4x + 2) = 3(-x - 6)");
    // d = 1, f = 0, then cancelling x terms 2(3x + 1) = 3(2x + 5) (kept only when ticked)
    const std::vector<float> unit_d = { w10(2), w50(3), w50(1), w10(1), w50(2), w50(5) };
    const std::vector<float> zero_f = { w10(2), w50(3), w50(1), w10(3), w50(2), w50(0) };
    const std::vector<float> cancelling = { w10(2), w50(3), w50(1), w10(3), w50(2), w50(5) };
    const std::vector<float> good = { w10(2), w50(3), w50(-4), w10(-5), w50(1), w50(6) };
    std::vector<float> draws;
    for (const auto* part : { &unit_d, &zero_f, &cancelling, &good })
        draws.insert(draws.end(), part->begin(), part->end());
    EXPECT_EQ(problem(EQ5, draws), "1.)    2(3x - 4) = -5(x + 6)");
    draws.resize(18);
    EXPECT_EQ(problem(EQ5, draws, Ticked), "1.)    2(3x + 1) = 3(2x + 5)");
    // the longest equation: 31 characters, 38 with the prefix
    const std::string longest
        = problem(EQ5, { w10(-10), w50(-50), w50(-50), w10(-10), w50(-50), w50(-50) }, Ticked);
    EXPECT_EQ(longest, "1.)    -10(-50x - 50) = -10(-50x - 50)");
    EXPECT_EQ(longest.size(), 38u);
}

TEST(Equations, OneStepProduct)
{
    EXPECT_EQ(problem(EQ6, { w20(-6), w200(42) }), "1.)    -6x = 42");
    EXPECT_EQ(problem(EQ6, { w20(-1), w200(0) }), "1.)    -x = 0");
    EXPECT_EQ(problem(EQ6, { w20(7), w200(-30) }, Ticked), "1.)    7x = -30");
    EXPECT_EQ(
        problem(EQ6, { w20(0), w200(5), w20(1), w200(5), w20(7), w200(-30), w20(5), w200(0) }),
        "1.)    5x = 0");
}

TEST(Equations, WorkedExampleRowsAndPrefixes)
{
    std::vector<float> draws = { w50(-7), w50(23), w50(15), w50(-4) };
    for (int i = 3; i <= 30; ++i)
        draws.insert(draws.end(), { w50(i == 10 ? -50 : 1), w50(i == 9 ? -50 : 2) });
    ScriptedSource source(draws);
    const RunResult result = equations({ .selection = FormSelection::form(1) }, source);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(result.font_size, 12.0);

    const auto lines = split_lines(to_utf8(result.text));
    ASSERT_EQ(lines.size(), 4u + 15 * 3 + 1);
    EXPECT_EQ(lines[0], "Solving Linear Equations");
    EXPECT_EQ(lines[1] + lines[2] + lines[3], "");
    EXPECT_EQ(lines[4], "1.)    x - 7 = 23" + std::string(23, ' ') + "2.)    x + 15 = -4");
    EXPECT_EQ(lines[4 + 4 * 3], "9.)    x + 1 = -50" + std::string(22, ' ') + "10.)   x - 50 = 2");
    EXPECT_EQ(lines[4 + 14 * 3], "29.)   x + 1 = 2" + std::string(24, ' ') + "30.)   x + 1 = 2");
    EXPECT_EQ(lines.back(), "");
}

TEST(Equations, NoFormGivesTheBlankLayout)
{
    for (const bool ticked : { false, true }) {
        ScriptedSource source({});
        const RunResult result = equations({ .fraction_answers_ok = ticked }, source);
        Text expected = u"Solving Linear Equations\n\n\n\n";
        for (int row = 0; row < 15; ++row)
            expected += Text(33, u' ') + u"\n\n\n";
        EXPECT_EQ(result.text, expected);
        EXPECT_EQ(result.font_size, 12.0);
    }
}

TEST(Equations, MixedDrawsTheFormFirst)
{
    std::vector<float> draws;
    for (int i = 1; i <= 15; ++i) {
        draws.insert(draws.end(), { pick(6, 6), w20(-6), w200(42) });
        draws.insert(draws.end(), { pick(4, 6), w10(3), w50(2), w50(-5), w100(21) });
    }
    ScriptedSource source(draws);
    const auto text = to_utf8(equations({ .selection = FormSelection::mixed() }, source).text);
    EXPECT_EQ(source.remaining(), 0u);
    const auto lines = split_lines(text);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[4], "1.)    -6x = 42" + std::string(25, ' ') + "2.)    3(2x - 5) = 21");
}

namespace {

struct Tally {
    int fractional = 0;
    int cancelling = 0;
};

// Makes 200 worksheets of the selection and checks every problem; counts what the box allows.
Tally check_sheets(int form, bool ticked)
{
    Tally tally;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        Mt19937Source source(seed * 7919 + static_cast<std::uint32_t>(form) * 31 + ticked);
        const ProblemOptions options { .selection = FormSelection::form(form),
            .fraction_answers_ok = ticked };
        const RunResult result = equations(options, source);
        Report report;
        EXPECT_EQ(check_equations_sheet(result, options, report), 30);
        if (!report.ok()) {
            ADD_FAILURE() << report.violations.front();
            return tally;
        }
        for (const auto& line : equation_problem_lines(to_utf8(result.text), report)) {
            const Linear l = linear(*parse_equation(form, line.substr(7)));
            tally.cancelling += l.p == 0;
            tally.fractional += l.p != 0 && l.q % l.p != 0;
        }
    }
    return tally;
}

} // namespace

TEST(Equations, BoxClearEveryFormKeepsItsRulesAndWholeSolutions)
{
    for (int form = 1; form <= 6; ++form) {
        const Tally tally = check_sheets(form, false);
        EXPECT_EQ(tally.fractional + tally.cancelling, 0) << "EQ" << form;
    }
}

TEST(Equations, BoxTickedAllowsFractionsAndCancellingXTerms)
{
    for (int form = 1; form <= 6; ++form) {
        const Tally tally = check_sheets(form, true);
        if (form == 1) {
            EXPECT_EQ(tally.fractional, 0);
        } else {
            EXPECT_GT(tally.fractional, 0) << "EQ" << form;
        }
        if (form == 3 || form == 5) {
            EXPECT_GT(tally.cancelling, 0) << "EQ" << form;
        }
    }
}

TEST(Equations, MixedUsesEveryFormAndOnlyThem)
{
    for (const bool ticked : { false, true }) {
        std::set<int> seen;
        for (std::uint32_t seed = 0; seed < 100; ++seed) {
            Mt19937Source source(seed);
            Report report;
            const auto lines = equation_problem_lines(
                to_utf8(equations(
                    { .selection = FormSelection::mixed(), .fraction_answers_ok = ticked }, source)
                            .text),
                report);
            ASSERT_TRUE(report.ok()) << report.violations.front();
            ASSERT_EQ(lines.size(), 30u);
            for (const auto& line : lines) {
                bool matched = false;
                for (int form = 1; form <= 6; ++form) {
                    const auto e = parse_equation(form, line.substr(7));
                    if (e && equation_broken_rule(*e, ticked).empty()) {
                        seen.insert(form);
                        matched = true;
                    }
                }
                ASSERT_TRUE(matched) << line;
            }
        }
        EXPECT_EQ(seen.size(), 6u);
    }
}

TEST(Equations, TheBoxLeavesEQ1Alone)
{
    Mt19937Source clear(77);
    Mt19937Source ticked(77);
    EXPECT_EQ(equations({ .selection = FormSelection::form(1) }, clear).text,
        equations({ .selection = FormSelection::form(1), .fraction_answers_ok = true }, ticked)
            .text);
}
