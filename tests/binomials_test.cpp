#include "families/binomials/binomials.h"
#include "scripted.h"

using namespace quillora;
using namespace quillora::test;

namespace {

const auto n15 = [](int v) { return pick(v, 15); };
const auto n12 = [](int v) { return pick(v, 12); };

} // namespace

TEST(Binomials, WorkedExamples)
{
    expect_examples(binomials_family(),
        {
            { Bin1, { n15(3), n15(12) }, "1.)  (x + 3)(x + 12)" },
            { Bin1, { n15(1), n15(1) }, "1.)  (x + 1)(x + 1)" },
            { Bin2, { n15(7), n15(1) }, "1.)  (x - 7)(x - 1)" },
            { Bin2, { n15(15), n15(15) }, "10.) (x - 15)(x - 15)", 10 },
            { Bin3, { n15(4), n15(9), coin(1) }, "1.)  (x + 4)(x - 9)" },
            { Bin3, { n15(4), n15(9), coin(0) }, "1.)  (x - 4)(x + 9)" },
            { Bin4, { n12(6), n12(4), n12(1), n12(5) }, "1.)  (3x + 2)(x + 5)" },
            { Bin4, { n12(4), n12(9), n12(10), n12(3) }, "1.)  (4x + 9)(10x + 3)" },
            // reduction may still make both leading coefficients 1
            { Bin4, { n12(2), n12(4), n12(1), n12(7) }, "1.)  (x + 2)(x + 7)" },
            { Bin5, { n12(6), n12(4), n12(1), n12(5) }, "1.)  (3x - 2)(x - 5)" },
            { Bin5, { n12(12), n12(8), n12(9), n12(6) }, "1.)  (3x - 2)(3x - 2)" },
            // a = 1 and c = 1 as drawn redraw all four; Bin6 draws its sign after an accepted set
            { Bin4, { n12(1), n12(5), n12(1), n12(7), n12(1), n12(3), n12(2), n12(5) },
                "1.)  (x + 3)(2x + 5)" },
            { Bin5, { n12(1), n12(1), n12(1), n12(1), n12(4), n12(2), n12(1), n12(3) },
                "1.)  (2x - 1)(x - 3)" },
            { Bin6, { n12(1), n12(2), n12(1), n12(3), n12(1), n12(5), n12(2), n12(7), coin(0) },
                "1.)  (x + 5)(2x - 7)" },
            { Bin6, { n12(4), n12(6), n12(3), n12(9), coin(1) }, "1.)  (4x - 6)(3x + 9)" },
            { Bin6, { n12(1), n12(5), n12(2), n12(7), coin(0) }, "1.)  (x + 5)(2x - 7)" },
            { Bin6, { n12(12), n12(12), n12(12), n12(12), coin(1) }, "10.) (12x - 12)(12x + 12)",
                10 },
            { Bin6, { n12(12), n12(12), n12(12), n12(12), coin(0) }, "10.) (12x + 12)(12x - 12)",
                10 },
            { Bin7, { n15(6), n15(4), coin(1) }, "1.)  (3x - 2)(3x + 2)" },
            { Bin7, { n15(5), n15(5), coin(0) }, "1.)  (x + 1)(x - 1)" },
            { Bin7, { n15(9), n15(9), coin(1) }, "1.)  (x - 1)(x + 1)" },
            { Bin8, { n15(3), n15(12), coin(1) }, "1.)  (x - 4)\u00B2" },
            { Bin8, { n15(2), n15(5), coin(0) }, "1.)  (2x + 5)\u00B2" },
            { Bin8, { n15(7), n15(7), coin(0) }, "1.)  (x + 1)\u00B2" },
            { Bin8, { n15(14), n15(14), coin(1) }, "1.)  (x - 1)\u00B2" },
        });
}
