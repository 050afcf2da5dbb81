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
