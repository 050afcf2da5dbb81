#include "families/equations/equations.h"
#include "scripted.h"

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

// Rejected EQ3 and EQ5 draws, and accepted ones.
const std::vector<float> zero_a = { w20(0), w20(1), w100(2), w100(3) };
const std::vector<float> zero_c = { w20(2), w20(1), w100(0), w100(3) };
const std::vector<float> no_constants = { w20(2), w20(0), w100(3), w100(0) };
const std::vector<float> same_x = { w20(2), w20(3), w100(2), w100(5) };
const std::vector<float> fractional = { w20(4), w20(1), w100(2), w100(4) };
const std::vector<float> good3 = { w20(5), w20(0), w100(2), w100(-18) };
const std::vector<float> unit_d = { w10(2), w50(3), w50(1), w10(1), w50(2), w50(5) };
const std::vector<float> zero_f = { w10(2), w50(3), w50(1), w10(3), w50(2), w50(0) };
const std::vector<float> cancelling = { w10(2), w50(3), w50(1), w10(3), w50(2), w50(5) };
const std::vector<float> good5 = { w10(2), w50(3), w50(-4), w10(-5), w50(1), w50(6) };

} // namespace

TEST(Equations, WorkedExamples)
{
    expect_examples(equations_family(),
        {
            { EQ1, { w50(-7), w50(23) }, "1.)    x - 7 = 23" },
            { EQ1, { w50(15), w50(-4) }, "1.)    x + 15 = -4" },
            { EQ1, { w50(3), w50(0) }, "1.)    x + 3 = 0" },
            // a = 0 redraws both; the box changes nothing
            { EQ1, { w50(0), w50(9), w50(-50), w50(50) }, "1.)    x - 50 = 50", 1, Ticked },
            { EQ2, { w20(-4), w100(12), w100(-40) }, "1.)    -4x + 12 = -40" },
            { EQ2, { w20(-1), w100(35), w100(0) }, "1.)    -x + 35 = 0" },
            { EQ2, { w20(7), w100(-3), w100(5) }, "1.)    7x - 3 = 5", 1, Ticked },
            // a = 0, b = 0, a = 1 and (clear box only) a fractional solution each redraw all three
            { EQ2,
                { w20(0), w100(5), w100(5), w20(3), w100(0), w100(6), w20(1), w100(4), w100(9),
                    w20(7), w100(-3), w100(5), w20(2), w100(-3), w100(5) },
                "1.)    2x - 3 = 5" },
            { EQ3, { w20(3), w20(-7), w100(-12), w100(53) }, "1.)    3x - 7 = -12x + 53" },
            { EQ3, good3, "1.)    5x = 2x - 18" },
            { EQ3, { w20(-1), w20(9), w100(2), w100(0) }, "1.)    -x + 9 = 2x" },
            { EQ3, { w20(1), w20(4), w100(-1), w100(10) }, "1.)    x + 4 = -x + 10" },
            // b range is the narrow one and c the wide one
            { EQ3, { w20(-20), w20(-20), w100(100), w100(-100) }, "1.)    -20x - 20 = 100x - 100",
                1, Ticked },
            { EQ3, zero_a + zero_c + no_constants + same_x + fractional + good3,
                "1.)    5x = 2x - 18" },
            // ticked: equal coefficients and fractional solutions stand, zeros are still redrawn
            { EQ3, zero_c + same_x, "1.)    2x + 3 = 2x + 5", 1, Ticked },
            { EQ3, fractional, "1.)    4x + 1 = 2x + 4", 1, Ticked },
            { EQ4, { w10(3), w50(2), w50(-5), w100(21) }, "1.)    3(2x - 5) = 21" },
            { EQ4, { w10(-1), w50(-1), w50(7), w100(4) }, "1.)    -(-x + 7) = 4" },
            { EQ4, { w10(-4), w50(1), w50(9), w100(-8) }, "1.)    -4(x + 9) = -8" },
            // a = 1, c = 0 and (clear only) 2(3x + 1) = 7 are redrawn
            { EQ4,
                { w10(1), w50(2), w50(3), w100(4), w10(2), w50(2), w50(0), w100(4), w10(2), w50(3),
                    w50(1), w100(7), w10(2), w50(3), w50(1), w100(8) },
                "1.)    2(3x + 1) = 8" },
            { EQ4, { w10(2), w50(3), w50(1), w100(7) }, "1.)    2(3x + 1) = 7", 1, Ticked },
            { EQ5, good5, "1.)    2(3x - 4) = -5(x + 6)" },
            { EQ5, { w10(-1), w50(4), w50(2), w10(3), w50(-1), w50(-6) },
                "1.)    -(4x + 2) = 3(-x - 6)" },
            // d = 1, f = 0, then cancelling x terms (kept only when ticked)
            { EQ5, unit_d + zero_f + cancelling + good5, "1.)    2(3x - 4) = -5(x + 6)" },
            { EQ5, unit_d + zero_f + cancelling, "1.)    2(3x + 1) = 3(2x + 5)", 1, Ticked },
            // the longest equation: 38 characters with the prefix
            { EQ5, { w10(-10), w50(-50), w50(-50), w10(-10), w50(-50), w50(-50) },
                "1.)    -10(-50x - 50) = -10(-50x - 50)", 1, Ticked },
            { EQ6, { w20(-6), w200(42) }, "1.)    -6x = 42" },
            { EQ6, { w20(-1), w200(0) }, "1.)    -x = 0" },
            { EQ6, { w20(7), w200(-30) }, "1.)    7x = -30", 1, Ticked },
            { EQ6, { w20(0), w200(5), w20(1), w200(5), w20(7), w200(-30), w20(5), w200(0) },
                "1.)    5x = 0" },
        });
}

TEST(Equations, WorkedExampleRowsPrefixesAndMixed)
{
    std::vector<float> draws = { w50(-7), w50(23), w50(15), w50(-4) };
    for (int i = 3; i <= 30; ++i)
        draws = draws + std::vector { w50(i == 10 ? -50 : 1), w50(i == 9 ? -50 : 2) };
    auto lines = scripted_lines(equations, FormSelection::form(1), draws);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "Solving Linear Equations");
    EXPECT_EQ(lines[4], "1.)    x - 7 = 23" + std::string(23, ' ') + "2.)    x + 15 = -4");
    EXPECT_EQ(lines[16], "9.)    x + 1 = -50" + std::string(22, ' ') + "10.)   x - 50 = 2");
    EXPECT_EQ(lines[46], "29.)   x + 1 = 2" + std::string(24, ' ') + "30.)   x + 1 = 2");

    // mixed draws the form first
    draws.clear();
    for (int i = 1; i <= 15; ++i)
        draws = draws
            + std::vector { pick(6, 6), w20(-6), w200(42), pick(4, 6), w10(3), w50(2), w50(-5),
                  w100(21) };
    lines = scripted_lines(equations, FormSelection::mixed(), draws);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[4], "1.)    -6x = 42" + std::string(25, ' ') + "2.)    3(2x - 5) = 21");
}

// The sheet checks enforce whole solutions with the box clear; ticked, fractions appear in every
// form but EQ1, and cancelling x terms in EQ3 and EQ5, and EQ1 is unchanged.
TEST(Equations, BoxTickedAllowsFractionsAndCancellingXTerms)
{
    for (int form = 1; form <= 6; ++form) {
        int fractional = 0, cancelling = 0;
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Mt19937Source source(seed * 7919 + static_cast<std::uint32_t>(form) * 31 + 1);
            Report report;
            const auto result = equations(
                { .selection = FormSelection::form(form), .fraction_answers_ok = true }, source);
            for (const auto& p :
                two_column_problems(result, u"Solving Linear Equations", 7, report)) {
                const auto e = parse_equation(form, p);
                ASSERT_TRUE(e) << p;
                const Linear l = linear(*e);
                cancelling += l.p == 0;
                fractional += l.p != 0 && l.q % l.p != 0;
            }
        }
        EXPECT_EQ(fractional > 0, form != 1) << "EQ" << form;
        EXPECT_EQ(cancelling > 0, form == 3 || form == 5) << "EQ" << form;
    }
    Mt19937Source clear(77), ticked(77);
    EXPECT_EQ(equations({ .selection = FormSelection::form(1) }, clear).text,
        equations({ .selection = FormSelection::form(1), .fraction_answers_ok = true }, ticked)
            .text);
}
