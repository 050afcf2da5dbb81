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

TEST(Fractions, NoOperationSelectedMeansAddition)
{
    // the operation frame always has one option selected; a sheet is never left without signs
    EXPECT_EQ(fixed_operation(FormSelection::none()), Operation::Addition);
    EXPECT_EQ(fixed_operation(FormSelection::form(5)), Operation::Addition);
    EXPECT_EQ(block(run_scripted(Sheet {}, FormSelection::none()), 1)[1],
        "        " + Bars + "  +  " + Bars + "      ");
}
