#include "families/fractions/fractions.h"
#include "scripted.h"
#include "tests/invariants/fractions_invariants.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <numeric>

using namespace quillora;
using namespace quillora::test;
using namespace quillora::invariants;

namespace {

using Exercise = FractionExercise;

using Sheet = std::array<Exercise, 32>;

// The draws of a run, row by row: a and c of the four exercises, the four operation draws
// (mixed only), then b and d of the four.
std::vector<float> draws_for(const Sheet& sheet, bool mixed)
{
    std::vector<float> draws;
    for (std::size_t row = 0; row < 8; ++row) {
        const Exercise* e = &sheet[row * 4];
        for (int i = 0; i < 4; ++i)
            draws.insert(draws.end(), { pick(e[i].a, 12), pick(e[i].c, 12) });
        for (int i = 0; mixed && i < 4; ++i)
            draws.push_back(pick(e[i].k, 4));
        for (int i = 0; i < 4; ++i)
            draws.insert(draws.end(), { pick(e[i].b, 12), pick(e[i].d, 12) });
    }
    return draws;
}

Text run_scripted(const Sheet& sheet, FormSelection selection)
{
    ScriptedSource source(draws_for(sheet, selection.is_mixed()));
    RunResult result = fractions({ .selection = selection }, source);
    EXPECT_EQ(source.remaining(), 0u) << "draws left over";
    EXPECT_FALSE(result.font_size.has_value());
    return result.text;
}

// The three lines of exercise n's 23-character block, as UTF-8.
std::array<std::string, 3> block(const Text& text, int n)
{
    const auto lines = split_text_lines(text);
    const auto row = static_cast<std::size_t>((n - 1) / 4);
    const auto column = static_cast<std::size_t>((n - 1) % 4) * 23;
    std::array<std::string, 3> out;
    for (std::size_t line = 0; line < 3; ++line)
        out[line] = to_utf8(lines.at(4 + 7 * row + line).substr(column, 23));
    return out;
}

} // namespace

TEST(Fractions, WorkedExampleBlocksOfExercisesOneAndFourteen)
{
    Sheet sheet;
    sheet[0] = { .a = 3, .b = 4, .c = 5, .d = 12 };
    sheet[13] = { .a = 11, .b = 7, .c = 9, .d = 10 };
    const Text text = run_scripted(sheet, FormSelection::form(1));

    const auto one = block(text, 1);
    EXPECT_EQ(one[0], " 1.)     3      5      ");
    EXPECT_EQ(one[1], "        \u2014\u2014  +  \u2014\u2014      ");
    EXPECT_EQ(one[2], "         4     12      ");
    const auto fourteen = block(text, 14);
    EXPECT_EQ(fourteen[0], "14.)    11      9      ");
    EXPECT_EQ(fourteen[2], "         7     10      ");
}

TEST(Fractions, ThirtyTwoExercisesInEightRowsInDrawOrder)
{
    // distinct values everywhere, two-digit ones included, so a misplaced draw shows
    Sheet sheet;
    for (int n = 0; n < 32; ++n)
        sheet[static_cast<std::size_t>(n)] = { .a = n % 12 + 1,
            .b = (n + 5) % 12 + 1,
            .c = (n * 7 + 3) % 12 + 1,
            .d = (n * 5 + 10) % 12 + 1,
            .k = n % 4 + 1 };
    for (const FormSelection selection : { FormSelection::mixed(), FormSelection::form(2) }) {
        const Text text = run_scripted(sheet, selection);
        Sheet expected = sheet;
        for (auto& e : expected)
            e.k = selection.is_mixed() ? e.k : 2;
        Report report;
        const auto found = fraction_exercises(text, report);
        EXPECT_TRUE(report.ok());
        ASSERT_EQ(found.size(), 32u);
        EXPECT_TRUE(std::equal(found.begin(), found.end(), expected.begin()));
    }
    const Text text = run_scripted(sheet, FormSelection::mixed());
    EXPECT_EQ(to_utf8(split_text_lines(text)[4]),
        " 1.)     1      4       2.)     2     11       3.)     3      6       4.)     4      1"
        "      ");
    EXPECT_EQ(to_utf8(split_text_lines(text)[5]),
        "        \u2014\u2014  +  \u2014\u2014              \u2014\u2014  -  \u2014\u2014      "
        "        \u2014\u2014  \u00F7  \u2014\u2014              \u2014\u2014  \u2022  \u2014\u2014"
        "      ");
    EXPECT_EQ(block(text, 9)[0], " 9.)     9     12      ");
    EXPECT_EQ(block(text, 10)[0], "10.)    10      7      ");
    EXPECT_EQ(block(text, 12)[2], "         5      6      ");
}

TEST(Fractions, NoOperationSelectedMeansAddition)
{
    // the operation frame always has one option selected; a sheet is never left without signs
    EXPECT_EQ(fixed_operation(FormSelection::none()), Operation::Addition);
    EXPECT_EQ(fixed_operation(FormSelection::form(5)), Operation::Addition);
    EXPECT_EQ(block(run_scripted(Sheet {}, FormSelection::none()), 1)[1],
        "        \u2014\u2014  +  \u2014\u2014      ");
}

TEST(Fractions, EveryOperationKeepsTheBlockLayoutAndValueRangesOverManySeeds)
{
    // the sign that each place writes, in the k numbering; place 0 is mixed
    const int sign_of_place[] = { 0, 1, 2, 4, 3 };
    for (int place = 0; place <= 4; ++place) {
        const FormSelection selection
            = place == 0 ? FormSelection::mixed() : FormSelection::form(place);
        std::array<std::array<int, 13>, 4> seen {}; // seen[a, b, c or d][value]
        std::array<int, 5> signs {};
        int unreduced = 0, whole = 0, improper = 0;
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Mt19937Source source(seed * 7919 + static_cast<std::uint32_t>(place));
            const ProblemOptions options { .selection = selection };
            const RunResult result = fractions(options, source);
            const Text& text = result.text;
            Report report;
            EXPECT_EQ(check_fractions_sheet(result, options, report), 32);
            ASSERT_EQ(report.violations, std::vector<std::string> {}) << "seed " << seed;
            const auto found = fraction_exercises(text, report);
            for (const Exercise& e : found) {
                const int values[] = { e.a, e.b, e.c, e.d };
                for (std::size_t i = 0; i < 4; ++i) {
                    ASSERT_TRUE(values[i] >= 1 && values[i] <= 12) << to_utf8(text);
                    ++seen[i][static_cast<std::size_t>(values[i])];
                }
                unreduced += std::gcd(e.a, e.b) > 1;
                whole += e.b == 1;
                improper += e.a > e.b;
                ++signs[static_cast<std::size_t>(e.k)];
            }
        }
        for (const auto& position : seen) {
            for (int v = 1; v <= 12; ++v)
                EXPECT_GT(position[static_cast<std::size_t>(v)], 0) << place << ": value " << v;
        }
        EXPECT_TRUE(unreduced > 0 && whole > 0 && improper > 0) << place;
        EXPECT_EQ(signs[0], 0) << place;
        for (std::size_t k = 1; k <= 4; ++k) {
            if (place != 0)
                EXPECT_EQ(signs[k], k == std::size_t(sign_of_place[place]) ? 6400 : 0) << place;
            else // 6400 exercises: each sign expected 1600 times, standard deviation about 35
                EXPECT_NEAR(signs[k], 1600, 175) << "sign " << k;
        }
    }
}
