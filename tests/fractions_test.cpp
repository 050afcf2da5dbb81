#include "families/fractions/fractions.h"
#include "scripted.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <numeric>
#include <set>

using namespace quillora;
using namespace quillora::test;

namespace {

constexpr char16_t Dash = u'\u2014';
const Text Blanks6(6, u' ');

// One exercise as drawn: the two fractions a/b and c/d, and the "mixed" draw k (1 to 4).
struct Exercise {
    int a = 1, b = 1, c = 1, d = 1;
    int k = 1;
};

using Sheet = std::array<Exercise, 32>;

// The draws a run makes for the exercises, row by row: a and c of the four exercises, the four
// operation draws (mixed only), then b and d of the four.
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

std::vector<Text> split16(const Text& text)
{
    std::vector<Text> lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(u'\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == Text::npos)
            return lines;
        start = end + 1;
    }
}

// The three lines of exercise n's block (1-based), without the newline.
std::array<std::string, 3> block(const std::vector<Text>& lines, int n)
{
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
    const auto lines = split16(run_scripted(sheet, FormSelection::form(1)));
    ASSERT_EQ(lines.size(), 61u);

    const auto one = block(lines, 1);
    EXPECT_EQ(one[0], " 1.)     3      5      ");
    EXPECT_EQ(one[1], "        \u2014\u2014  +  \u2014\u2014      ");
    EXPECT_EQ(one[2], "         4     12      ");

    const auto fourteen = block(lines, 14);
    EXPECT_EQ(fourteen[0], "14.)    11      9      ");
    EXPECT_EQ(fourteen[2], "         7     10      ");
}

TEST(Fractions, SheetFrameRowsAndNumbering)
{
    Sheet sheet;
    const auto lines = split16(run_scripted(sheet, FormSelection::form(2)));
    ASSERT_EQ(lines.size(), 61u);
    EXPECT_EQ(to_utf8(lines[0]), "Fractions");
    EXPECT_EQ(lines[1] + lines[2] + lines[3], u"");

    for (int row = 0; row < 8; ++row) {
        const auto at = static_cast<std::size_t>(4 + 7 * row);
        for (std::size_t line = 0; line < 3; ++line) {
            EXPECT_EQ(lines[at + line].size(), 92u) << "row " << row << " line " << line;
            EXPECT_TRUE(lines[at + line].ends_with(Blanks6)) << "row " << row;
        }
        // rows are separated by four empty lines; the sheet ends with five line feeds
        for (std::size_t gap = 3; gap < 7 && at + gap < lines.size(); ++gap)
            EXPECT_EQ(lines[at + gap], u"") << "row " << row;
    }
    EXPECT_EQ(to_utf8(lines[4]),
        " 1.)     1      1       2.)     1      1       3.)     1      1       4.)     1      1"
        "      ");
    EXPECT_EQ(block(lines, 9)[0], " 9.)     1      1      ");
    EXPECT_EQ(block(lines, 10)[0], "10.)     1      1      ");
    EXPECT_EQ(block(lines, 32)[0], "32.)     1      1      ");
    EXPECT_EQ(block(lines, 32)[1], "        \u2014\u2014  -  \u2014\u2014      ");
}

TEST(Fractions, TwoDigitValuesTakeOneBlankLess)
{
    Sheet sheet;
    sheet[4] = { .a = 10, .b = 12, .c = 12, .d = 10 };
    sheet[5] = { .a = 9, .b = 10, .c = 10, .d = 9 };
    const auto lines = split16(run_scripted(sheet, FormSelection::form(1)));
    EXPECT_EQ(block(lines, 5)[0], " 5.)    10     12      ");
    EXPECT_EQ(block(lines, 5)[2], "        12     10      ");
    EXPECT_EQ(block(lines, 6)[0], " 6.)     9     10      ");
    EXPECT_EQ(block(lines, 6)[2], "        10      9      ");
}

TEST(Fractions, FixedOperationSigns)
{
    const std::pair<int, std::string> cases[] = {
        { 1, " + " },
        { 2, " - " },
        { 3, " \u2022 " },
        { 4, " \u00F7 " },
    };
    for (const auto& [place, sign] : cases) {
        const auto lines = split16(run_scripted(Sheet {}, FormSelection::form(place)));
        EXPECT_EQ(block(lines, 1)[1], "        \u2014\u2014 " + sign + " \u2014\u2014      ")
            << place;
    }
}

TEST(Fractions, FormNamesMapToOperations)
{
    EXPECT_EQ(FractionForms[0], "addition");
    EXPECT_EQ(fixed_operation(FormSelection::form(1)), Operation::Addition);
    EXPECT_EQ(fixed_operation(FormSelection::form(2)), Operation::Subtraction);
    EXPECT_EQ(fixed_operation(FormSelection::form(3)), Operation::Multiplication);
    EXPECT_EQ(fixed_operation(FormSelection::form(4)), Operation::Division);
    EXPECT_EQ(fixed_operation(FormSelection::mixed()), std::nullopt);
    // the operation frame always has one option selected; nothing selected means addition
    EXPECT_EQ(fixed_operation(FormSelection::none()), Operation::Addition);
    EXPECT_EQ(fixed_operation(FormSelection::form(5)), Operation::Addition);
}

TEST(Fractions, MixedDrawsSignsAfterNumeratorsInItsOwnOrder)
{
    // k = 1 +, 2 -, 3 quotient, 4 product; distinct values show a misplaced operation draw
    Sheet sheet;
    sheet[0] = { .a = 2, .b = 6, .c = 3, .d = 7, .k = 1 };
    sheet[1] = { .a = 4, .b = 8, .c = 5, .d = 9, .k = 2 };
    sheet[2] = { .a = 10, .b = 12, .c = 11, .d = 1, .k = 3 };
    sheet[3] = { .a = 12, .b = 2, .c = 1, .d = 3, .k = 4 };
    sheet[31] = { .k = 3 };
    const auto lines = split16(run_scripted(sheet, FormSelection::mixed()));
    EXPECT_EQ(to_utf8(lines[4]),
        " 1.)     2      3       2.)     4      5       3.)    10     11       4.)    12      1"
        "      ");
    EXPECT_EQ(to_utf8(lines[5]),
        "        \u2014\u2014  +  \u2014\u2014      "
        "        \u2014\u2014  -  \u2014\u2014      "
        "        \u2014\u2014  \u00F7  \u2014\u2014      "
        "        \u2014\u2014  \u2022  \u2014\u2014      ");
    EXPECT_EQ(to_utf8(lines[6]),
        "         6      7               8      9              12      1               2      3"
        "      ");
    EXPECT_EQ(block(lines, 5)[1], "        \u2014\u2014  +  \u2014\u2014      ");
    EXPECT_EQ(block(lines, 32)[1], "        \u2014\u2014  \u00F7  \u2014\u2014      ");
}

namespace {

// Reads a value right-aligned in the field [from, to) of a line: blanks, then one or two digits.
int field(const Text& line, std::size_t from, std::size_t to)
{
    const Text f = line.substr(from, to - from);
    const auto digits = f.find_first_not_of(u' ');
    if (digits == Text::npos || f.size() - digits > 2)
        return -1;
    int v = 0;
    for (std::size_t i = digits; i < f.size(); ++i) {
        if (f[i] < u'0' || f[i] > u'9')
            return -1;
        v = v * 10 + (f[i] - u'0');
    }
    return f[digits] == u'0' ? -1 : v;
}

bool blanks(const Text& line, std::size_t from, std::size_t to)
{
    return line.substr(from, to - from) == Text(to - from, u' ');
}

// Checks every block of a sheet against the column table and returns its exercises, with the
// sign character of each in k (1 +, 2 -, 3 quotient, 4 product, 0 other).
std::vector<Exercise> exercises_of(const Text& text)
{
    std::vector<Exercise> found;
    const auto lines = split16(text);
    EXPECT_EQ(lines.size(), 61u);
    if (lines.size() != 61u)
        return found;
    EXPECT_EQ(lines[0] + u"|" + lines[1] + lines[2] + lines[3], u"Fractions|");
    const std::map<char16_t, int> signs
        = { { u'+', 1 }, { u'-', 2 }, { u'\u00F7', 3 }, { u'\u2022', 4 } };
    for (std::size_t row = 0; row < 8; ++row) {
        const std::size_t at = 4 + 7 * row;
        const Text& top = lines[at];
        const Text& bar = lines[at + 1];
        const Text& bottom = lines[at + 2];
        for (std::size_t gap = 3; gap < 7 && at + gap < lines.size(); ++gap)
            EXPECT_EQ(lines[at + gap], u"");
        EXPECT_EQ(top.size(), 92u);
        EXPECT_EQ(bar.size(), 92u);
        EXPECT_EQ(bottom.size(), 92u);
        if (top.size() != 92u || bar.size() != 92u || bottom.size() != 92u)
            return found;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t c = 23 * i; // character 1 of the block is at c
            const int n = static_cast<int>(4 * row + i + 1);
            const std::u16string number = n < 10 ? u" " + number_text(n) : number_text(n);
            EXPECT_EQ(top.substr(c, 4), number + u".)") << to_utf8(top);
            EXPECT_TRUE(blanks(top, c + 10, c + 15) && blanks(top, c + 17, c + 23)) << to_utf8(top);
            EXPECT_TRUE(blanks(bar, c, c + 8) && blanks(bar, c + 10, c + 12)
                && blanks(bar, c + 13, c + 15) && blanks(bar, c + 17, c + 23))
                << to_utf8(bar);
            EXPECT_EQ(bar.substr(c + 8, 2), Text(2, Dash));
            EXPECT_EQ(bar.substr(c + 15, 2), Text(2, Dash));
            EXPECT_TRUE(blanks(bottom, c, c + 4) && blanks(bottom, c + 10, c + 15)
                && blanks(bottom, c + 17, c + 23))
                << to_utf8(bottom);
            const auto sign = signs.find(bar[c + 12]);
            found.push_back({ .a = field(top, c + 4, c + 10),
                .b = field(bottom, c + 4, c + 10),
                .c = field(top, c + 15, c + 17),
                .d = field(bottom, c + 15, c + 17),
                .k = sign == signs.end() ? 0 : sign->second });
        }
    }
    return found;
}

Text sheet_for(FormSelection selection, std::uint32_t seed)
{
    Mt19937Source source(seed);
    return fractions({ .selection = selection }, source).text;
}

} // namespace

TEST(Fractions, EveryOperationKeepsTheBlockLayoutAndValueRangesOverManySeeds)
{
    // the sign character that each fixed form writes, in the k numbering of exercises_of
    const int sign_of_form[] = { 0, 1, 2, 4, 3 };
    for (int place = 0; place <= 4; ++place) {
        const FormSelection selection
            = place == 0 ? FormSelection::mixed() : FormSelection::form(place);
        // seen[position][value]: each of a, b, c, d takes every value from 1 to 12
        std::array<std::array<int, 13>, 4> seen {};
        int unreduced = 0, whole = 0, improper = 0;
        std::array<int, 5> signs {};
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            const Text text = sheet_for(selection, seed * 7919 + static_cast<std::uint32_t>(place));
            const auto found = exercises_of(text);
            ASSERT_EQ(found.size(), 32u) << to_utf8(text);
            for (const Exercise& e : found) {
                for (const auto& [position, v] :
                    { std::pair { 0, e.a }, { 1, e.b }, { 2, e.c }, { 3, e.d } }) {
                    ASSERT_TRUE(v >= 1 && v <= 12) << to_utf8(text);
                    ++seen[static_cast<std::size_t>(position)][static_cast<std::size_t>(v)];
                }
                unreduced += std::gcd(e.a, e.b) > 1;
                whole += e.b == 1;
                improper += e.a > e.b;
                ++signs[static_cast<std::size_t>(e.k)];
                if (place != 0) {
                    ASSERT_EQ(e.k, sign_of_form[place]) << to_utf8(text);
                }
            }
        }
        for (const auto& position : seen) {
            for (int v = 1; v <= 12; ++v)
                EXPECT_GT(position[static_cast<std::size_t>(v)], 0) << place << ": value " << v;
        }
        EXPECT_GT(unreduced, 0);
        EXPECT_GT(whole, 0);
        EXPECT_GT(improper, 0);
        if (place == 0) {
            // 6400 exercises: each sign expected 1600 times, standard deviation about 35
            EXPECT_EQ(signs[0], 0);
            for (std::size_t k = 1; k <= 4; ++k)
                EXPECT_NEAR(signs[k], 1600, 175) << "sign " << k;
        }
    }
}

TEST(Fractions, MixedSignsAreDrawnPerExercise)
{
    // within one sheet the mixed signs vary, and every position in a row takes every sign
    std::array<std::array<int, 5>, 4> by_column {};
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        const auto found = exercises_of(sheet_for(FormSelection::mixed(), seed));
        ASSERT_EQ(found.size(), 32u);
        int first = found[0].k;
        bool varies = false;
        for (std::size_t i = 0; i < found.size(); ++i) {
            varies = varies || found[i].k != first;
            ++by_column[i % 4][static_cast<std::size_t>(found[i].k)];
        }
        EXPECT_TRUE(varies) << seed;
    }
    for (const auto& column : by_column) {
        for (std::size_t k = 1; k <= 4; ++k)
            EXPECT_GT(column[k], 0);
    }
}

TEST(Fractions, SameSeedSameSheetOtherSeedOtherSheet)
{
    EXPECT_EQ(sheet_for(FormSelection::mixed(), 2026), sheet_for(FormSelection::mixed(), 2026));
    EXPECT_NE(sheet_for(FormSelection::form(1), 5), sheet_for(FormSelection::form(2), 5));
    std::set<Text> sheets;
    for (std::uint32_t seed = 0; seed < 50; ++seed)
        sheets.insert(sheet_for(FormSelection::form(3), seed));
    EXPECT_EQ(sheets.size(), 50u);
}
