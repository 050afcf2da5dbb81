#include "families/factoring/factoring.h"
#include "scripted.h"

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

using Draws = std::vector<float>;

// Draws by what they stand for.
const auto s12 = [](int v) { return r_for(v, 25, -12); };
const auto n15 = [](int v) { return pick(v, 15); };
const auto d8 = [](int v) { return pick(v, 8); };
const auto k14 = [](int v) { return r_for(v, 14, 2); };
const auto k9 = [](int v) { return Draws { r_for(v, 9, 2) }; };
const float Plus = pick(1, 2), Minus = pick(2, 2);
Draws pqmn(int p, int q, int m, int n)
{
    return { s12(p), r_for(q, 13, -6), pick(m, 10), pick(n, 10) };
}

} // namespace

TEST(Factoring, WorkedExamplesRedrawsAndWrittenForms)
{
    expect_examples(factoring_family(),
        {
            // worked example rows, each problem alone (the row layout is in the golden sheets)
            { GCF, { s12(3), s12(-5), d8(4) }, "1.)    12x\u00B2 - 20x" },
            { GCF, { s12(-1), s12(6), d8(7) }, "2.)    -7x\u00B2 + 42x", 2 },
            { GCF, { s12(1), s12(-7), d8(1) }, "9.)    1x\u00B2 - 7x", 9 },
            { GCF, { s12(2), s12(3), d8(5) }, "10.)   10x\u00B2 + 15x", 10 },
            { DOTS, { n15(4), n15(6) }, "15.)   4x\u00B2 - 9", 15 },
            { DOTS, { n15(3), n15(12) }, "16.)   x\u00B2 - 16", 16 },
            { PST, { n15(2), n15(5), Minus }, "17.)   4x\u00B2 - 20x + 25", 17 },
            { PST, { n15(5), n15(10), Plus }, "18.)   x\u00B2 + 4x + 4", 18 },
            { EGF, { s12(3), s12(-8) }, "5.)    x\u00B2 - 5x - 24", 5 },
            { EGF, { s12(-6), s12(6) }, "6.)    x\u00B2 - 36", 6 },
            { HGF, pqmn(-5, 2, 3, 4), "7.)    12x\u00B2 - 7x - 10", 7 },
            { HGF, pqmn(6, 4, 2, 3), "8.)    1x\u00B2 + 4x + 4", 8 },
            { HGF, pqmn(-3, 3, 2, 2), "13.)   4x\u00B2 - 9", 13 },
            { HGF, pqmn(-1, 2, 2, 1), "14.)   2x\u00B2 - 2", 14 },
            { EGFGCF, { s12(2), s12(-5), k14(3) }, "19.)   3x\u00B2 - 9x - 30", 19 },
            { EGFGCF, { s12(-12), s12(-12), k14(15) }, "20.)   15x\u00B2 - 360x + 2160", 20 },
            { HGFGCF, pqmn(-5, 2, 3, 4) + k9(2), "21.)   24x\u00B2 - 14x - 20", 21 },
            { HGFGCF, pqmn(6, 4, 2, 3) + k9(5), "22.)   5x\u00B2 + 20x + 20", 22 },
            // GCF: a zero in a or c redraws all three; a and c are not reduced
            { GCF, { s12(0), s12(5), d8(3), s12(4), s12(6), d8(2) }, "1.)    8x² + 12x" },
            { GCF, { s12(5), s12(0), d8(3), s12(-1), s12(3), d8(1) }, "1.)    -1x² + 3x" },
            { GCF, { s12(-12), s12(-12), d8(8) }, "1.)    -96x² - 96x" },
            // DOTS and PST: pairs reduced, equal pairs redrawn, the PST sign drawn after the pair
            { DOTS, { n15(6), n15(9) }, "1.)    4x² - 9" },
            { DOTS, { n15(9), n15(3) }, "1.)    9x² - 1" },
            { DOTS, { n15(15), n15(14) }, "1.)    225x² - 196" },
            { DOTS, { n15(7), n15(7), n15(1), n15(1), n15(1), n15(2) }, "1.)    x² - 4" },
            { PST, { n15(3), n15(1), Minus }, "1.)    9x² - 6x + 1" },
            { PST, { n15(14), n15(15), Plus }, "1.)    196x² + 420x + 225" },
            { PST, { n15(2), n15(2), n15(2), n15(5), Minus }, "1.)    4x² - 20x + 25" },
            // EGF: no leading 1, a middle of magnitude 1 keeps its digit, a zero middle is left out
            { EGF, { s12(3), s12(-2) }, "1.)    x² + 1x - 6" },
            { EGF, { s12(-3), s12(2) }, "1.)    x² - 1x - 6" },
            { EGF, { s12(4), s12(4) }, "1.)    x² + 8x + 16" },
            { EGF, { s12(0), s12(4), s12(5), s12(0), s12(-12), s12(12) }, "1.)    x² - 144" },
            // HGF: q = 0, p = 0 and m = 1 each redraw all four, n = 1 is kept; the divisor is
            // the greatest common one unless the middle is 0
            { HGF, pqmn(3, 0, 2, 2) + pqmn(0, 2, 2, 2) + pqmn(3, 2, 1, 5) + pqmn(-1, 1, 2, 1),
                "1.)    2x² - 1x - 1" },
            { HGF, pqmn(-12, -6, 10, 10), "1.)    25x² - 45x + 18" },
            { HGF, pqmn(-4, 4, 2, 2), "1.)    4x² - 16" },
            // k is drawn once, after the accepted draws, and multiplies before the division
            { EGFGCF, { s12(6), s12(-6), k14(4) }, "1.)    4x² - 144" },
            { EGFGCF, { s12(0), s12(3), s12(2), s12(-5), k14(3) }, "1.)    3x² - 9x - 30" },
            { HGFGCF, pqmn(-3, 3, 2, 2) + k9(3), "1.)    12x² - 27" },
            { HGFGCF, pqmn(5, 3, 1, 2) + pqmn(-11, -3, 10, 10) + k9(10),
                "29.)   1000x² - 1400x + 330", 29 },
        });
}
