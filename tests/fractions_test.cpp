#include "families/fractions/fractions.h"
#include "scripted.h"

#include <array>
#include <numeric>

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

using Sheet = std::array<FractionExercise, 32>;

// Runs the sheet from its draws, row by row: a and c of the four exercises, the four operation
// draws (mixed only), then b and d of the four.
Text run_scripted(const Sheet& sheet, FormSelection selection)
{
    std::vector<float> draws;
    for (std::size_t row = 0; row < 32; row += 4) {
        for (std::size_t i = row; i < row + 4; ++i)
            draws = draws + std::vector { pick(sheet[i].a, 12), pick(sheet[i].c, 12) };
        for (std::size_t i = row; selection.is_mixed() && i < row + 4; ++i)
            draws.push_back(pick(sheet[i].k, 4));
        for (std::size_t i = row; i < row + 4; ++i)
            draws = draws + std::vector { pick(sheet[i].b, 12), pick(sheet[i].d, 12) };
    }
    ScriptedSource source(draws);
    RunResult result = fractions({ .selection = selection }, source);
    EXPECT_EQ(source.remaining(), 0u) << "draws left over";
    EXPECT_FALSE(result.font_size.has_value());
    return result.text;
}

// The three lines of exercise n's 23-character block, as UTF-8.
std::array<std::string, 3> block(const Text& text, int n)
{
    const auto lines = split_lines(text);
    const auto row = static_cast<std::size_t>((n - 1) / 4);
    const auto column = static_cast<std::size_t>((n - 1) % 4) * 23;
    std::array<std::string, 3> out;
    for (std::size_t line = 0; line < 3; ++line)
        out[line] = to_utf8(lines.at(4 + 7 * row + line).substr(column, 23));
    return out;
}

const std::string Bars = "\u2014\u2014";

} // namespace

TEST(Fractions, WorkedExampleBlocksOfExercisesOneAndFourteen)
{
    Sheet sheet;
    sheet[0] = { .a = 3, .b = 4, .c = 5, .d = 12 };
    sheet[13] = { .a = 11, .b = 7, .c = 9, .d = 10 };
    const Text text = run_scripted(sheet, FormSelection::form(1));
    const std::array<std::string, 3> one = { " 1.)     3      5      ",
        "        " + Bars + "  +  " + Bars + "      ", "         4     12      " };
    EXPECT_EQ(block(text, 1), one);
    EXPECT_EQ(block(text, 14)[0], "14.)    11      9      ");
    EXPECT_EQ(block(text, 14)[2], "         7     10      ");
}

TEST(Fractions, ThirtyTwoExercisesInEightRowsInDrawOrder)
{
    // distinct values everywhere, two-digit ones included, so a misplaced draw shows; the
    // block table check reads every character
    Sheet sheet;
    for (int n = 0; n < 32; ++n)
        sheet[static_cast<std::size_t>(n)] = { .a = n % 12 + 1,
            .b = (n + 5) % 12 + 1,
            .c = (n * 7 + 3) % 12 + 1,
            .d = (n * 5 + 10) % 12 + 1,
            .k = n % 4 + 1 };
    for (const FormSelection selection : { FormSelection::mixed(), FormSelection::form(2) }) {
        Sheet expected = sheet;
        for (auto& e : expected)
            e.k = selection.is_mixed() ? e.k : 2;
        Report report;
        const auto found = fraction_exercises(run_scripted(sheet, selection), report);
        EXPECT_TRUE(report.ok());
        EXPECT_TRUE(std::equal(found.begin(), found.end(), expected.begin(), expected.end()));
    }
}

TEST(Fractions, NoOperationSelectedMeansAddition)
{
    // the operation frame always has one option selected; a sheet is never left without signs
    EXPECT_EQ(fixed_operation(FormSelection::none()), Operation::Addition);
    EXPECT_EQ(fixed_operation(FormSelection::form(5)), Operation::Addition);
    EXPECT_EQ(block(run_scripted(Sheet {}, FormSelection::none()), 1)[1],
        "        " + Bars + "  +  " + Bars + "      ");
}

// The sheet checks keep values and signs right; here every value appears in every position,
// unreduced, whole and improper fractions appear, and "mixed" draws its signs evenly.
TEST(Fractions, ValuesAndSignsAreSpreadOverManySeeds)
{
    for (int place = 0; place <= 4; ++place) {
        std::array<std::array<int, 13>, 4> seen {}; // seen[a, b, c or d][value]
        std::array<int, 5> signs {};
        int unreduced = 0, whole = 0, improper = 0;
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Mt19937Source source(seed * 7919 + static_cast<std::uint32_t>(place));
            const auto selection = place == 0 ? FormSelection::mixed() : FormSelection::form(place);
            Report report;
            for (const auto& e :
                fraction_exercises(fractions({ .selection = selection }, source).text, report)) {
                const int values[] = { e.a, e.b, e.c, e.d };
                for (std::size_t i = 0; i < 4; ++i)
                    ++seen[i][static_cast<std::size_t>(std::max(values[i], 0))];
                unreduced += std::gcd(e.a, e.b) > 1;
                whole += e.b == 1;
                improper += e.a > e.b;
                ++signs[static_cast<std::size_t>(e.k)];
            }
        }
        for (const auto& position : seen) {
            EXPECT_EQ(position[0], 0) << place;
            for (int v = 1; v <= 12; ++v)
                EXPECT_GT(position[static_cast<std::size_t>(v)], 0) << place << ": value " << v;
        }
        EXPECT_TRUE(unreduced > 0 && whole > 0 && improper > 0) << place;
        const int sign_of_place[] = { 0, 1, 2, 4, 3 }; // the sign each place writes; 0 mixed
        for (int k = 1; k <= 4; ++k) {
            if (place != 0)
                EXPECT_EQ(signs[std::size_t(k)], k == sign_of_place[place] ? 6400 : 0) << place;
            else // each expected 1600 times, standard deviation about 35
                EXPECT_NEAR(signs[std::size_t(k)], 1600, 175) << "sign " << k;
        }
    }
}
