#include "families/factoring/factoring.h"
#include "scripted.h"

#include <algorithm>

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

enum Place { PEGF = 1, PHGF, PEGFGCF, PHGFGCF, PGCF, PDOTS, PPST };

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

// A valid set of draws for one problem of each form.
Draws filler(int place)
{
    const Draws all[] = { { s12(1), s12(1) }, pqmn(1, 1, 2, 1), { s12(1), s12(1), k14(2) },
        pqmn(1, 1, 2, 1) + k9(2), { s12(1), s12(1), d8(1) }, { n15(1), n15(2) },
        { n15(1), n15(2), Plus } };
    return all[place - 1];
}

// The lines of a whole worksheet; problem i gets draws(i).
template <typename F> std::vector<std::string> sheet_lines(FormSelection selection, F draws)
{
    Draws all;
    for (int i = 1; i <= 30; ++i)
        all = all + draws(i);
    return scripted_lines(factoring, selection, all);
}

// The row of problems i and i + 1 (i odd) on a worksheet of one form, the others filler.
std::string row(int place, int i, Draws left, Draws right)
{
    const auto lines = sheet_lines(FormSelection::form(place), [&](int j) {
        return j == i ? left : j == i + 1 ? right : filler(place);
    });
    return lines.size() == 50u ? lines[4 + 3 * static_cast<std::size_t>(i / 2)] : "";
}

} // namespace

TEST(Factoring, WorkedExampleRows)
{
    EXPECT_EQ(row(PGCF, 1, { s12(3), s12(-5), d8(4) }, { s12(-1), s12(6), d8(7) }),
        "1.)    12x² - 20x" + std::string(23, ' ') + "2.)    -7x² + 42x");
    EXPECT_EQ(row(PGCF, 9, { s12(1), s12(-7), d8(1) }, { s12(2), s12(3), d8(5) }),
        "9.)    1x² - 7x" + std::string(25, ' ') + "10.)   10x² + 15x");
    EXPECT_EQ(row(PDOTS, 15, { n15(4), n15(6) }, { n15(3), n15(12) }),
        "15.)   4x² - 9" + std::string(26, ' ') + "16.)   x² - 16");
    EXPECT_EQ(row(PPST, 17, { n15(2), n15(5), Minus }, { n15(5), n15(10), Plus }),
        "17.)   4x² - 20x + 25" + std::string(19, ' ') + "18.)   x² + 4x + 4");
    EXPECT_EQ(row(PEGF, 5, { s12(3), s12(-8) }, { s12(-6), s12(6) }),
        "5.)    x² - 5x - 24" + std::string(21, ' ') + "6.)    x² - 36");
    EXPECT_EQ(row(PHGF, 7, pqmn(-5, 2, 3, 4), pqmn(6, 4, 2, 3)),
        "7.)    12x² - 7x - 10" + std::string(19, ' ') + "8.)    1x² + 4x + 4");
    EXPECT_EQ(row(PHGF, 13, pqmn(-3, 3, 2, 2), pqmn(-1, 2, 2, 1)),
        "13.)   4x² - 9" + std::string(26, ' ') + "14.)   2x² - 2");
    EXPECT_EQ(row(PEGFGCF, 19, { s12(2), s12(-5), k14(3) }, { s12(-12), s12(-12), k14(15) }),
        "19.)   3x² - 9x - 30" + std::string(20, ' ') + "20.)   15x² - 360x + 2160");
    EXPECT_EQ(row(PHGFGCF, 21, pqmn(-5, 2, 3, 4) + k9(2), pqmn(6, 4, 2, 3) + k9(5)),
        "21.)   24x² - 14x - 20" + std::string(18, ' ') + "22.)   5x² + 20x + 20");
}

TEST(Factoring, RedrawsAndWrittenForms)
{
    expect_examples(factoring_family(),
        {
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

TEST(Factoring, MixedDrawsTheFormFirstInTheFamilyOrder)
{
    const auto lines = sheet_lines(FormSelection::mixed(), [](int i) {
        const int place = i <= 7 ? i : PGCF;
        return Draws { pick(place, 7) } + filler(place);
    });
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[4], "1.)    x² + 2x + 1" + std::string(22, ' ') + "2.)    2x² + 3x + 1");
    EXPECT_EQ(lines[7], "3.)    2x² + 4x + 2" + std::string(21, ' ') + "4.)    4x² + 6x + 2");
    EXPECT_EQ(lines[10], "5.)    1x² + 1x" + std::string(25, ' ') + "6.)    x² - 4");
    EXPECT_EQ(lines[13], "7.)    x² + 4x + 4" + std::string(22, ' ') + "8.)    1x² + 1x");
}

// The sheet checks keep every problem inside what its form can write; here the forms reach the
// extreme leading coefficients, the small forms write every polynomial, PST's sign is even.
TEST(Factoring, FormsReachAllTheyCanWrite)
{
    for (int place = PEGF; place <= PPST; ++place) {
        const auto& possible = attainable_polynomials(place);
        std::set<Poly> seen;
        int plus_middles = 0;
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Mt19937Source source(seed * 7919u + static_cast<std::uint32_t>(place));
            Report report;
            const RunResult result = factoring({ .selection = FormSelection::form(place) }, source);
            for (const auto& text : two_column_problems(result, u"Factoring", 7, report)) {
                const auto p = parse_polynomial(text);
                ASSERT_TRUE(p) << text;
                plus_middles += p->b > 0;
                seen.insert(*p);
            }
        }
        auto lead = [](const Poly& x, const Poly& y) { return x.a < y.a; };
        const auto [low, high] = std::minmax_element(seen.begin(), seen.end(), lead);
        const auto [least, most] = std::minmax_element(possible.begin(), possible.end(), lead);
        EXPECT_EQ(low->a, least->a) << place;
        EXPECT_EQ(high->a, most->a) << place;
        if (place == PEGF || place == PDOTS || place == PPST) {
            EXPECT_EQ(seen, possible) << place;
        }
        if (place == PPST) {
            EXPECT_NEAR(plus_middles / 6000.0, 0.5, 0.03);
        }
    }
}
