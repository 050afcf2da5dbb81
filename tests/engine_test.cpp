#include "dialog/catalogue.h"
#include "families/binomials/binomials.h"
#include "families/equations/equations.h"
#include "families/factoring/factoring.h"
#include "families/fraction_equations/fraction_equations.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>

using namespace quillora;

// Every row of tests/data/examples.tsv: a generator's draws and the exact line it writes.
TEST(Families, WorkedExamples)
{
    const std::pair<std::string_view, const FamilyFrame& (*)()> frames[]
        = { { "binomials", binomials_family }, { "equations", equations_family },
              { "factoring", factoring_family },
              { "fraction-equations", fraction_equations_family } };
    std::ifstream table(QUILLORA_TEST_DATA "/examples.tsv");
    int rows = 0;
    for (std::string row; std::getline(table, row);) {
        if (row.empty() || row[0] == '#')
            continue;
        std::vector<std::string> cell;
        for (std::istringstream in(row); std::getline(in, cell.emplace_back(), '\t');) { }
        ASSERT_GE(cell.size(), 6u) << row;
        SCOPED_TRACE(row);
        const FamilyEntry& entry = *find_family(cell[0]);
        const auto place = parse_form(entry, cell[1])->place();
        const auto& frame = std::find_if(std::begin(frames), std::end(frames), [&](const auto& f) {
            return f.first == cell[0];
        })->second();
        std::vector<float> draws;
        std::istringstream list(cell[4]);
        for (std::string d; list >> d;) {
            int v = 0, n = 0, m = 1;
            std::sscanf(d.c_str(), "%d:%d:%d", &v, &n, &m);
            draws.push_back(float((v - m + 0.5) / n)); // floor(n * r) + m == v
        }
        std::string line;
        for (std::size_t i = 0; i < cell[5].size(); ++i)
            line += cell[5][i] == '\\' && cell[5][i + 1] == 'n' ? (++i, '\n') : cell[5][i];
        ProblemOptions options; // the box is clear unless the row says ticked
        if (cell[3] == "ticked")
            options.fraction_answers_ok = true;
        // the problem line holds the prefix; the generator must use every draw and commit once
        ScriptedSource source(std::move(draws));
        Frame run(source, options);
        run.problem_line() = number_prefix(frame, std::stoi(cell[2]));
        frame.forms[std::size_t(place - 1)](run);
        EXPECT_EQ(source.remaining(), 0u) << "draws left over";
        EXPECT_EQ(run.worksheet_text(), run.problem_line()) << "problem line not committed once";
        EXPECT_EQ(to_utf8(run.problem_line()), line);
        ++rows;
    }
    EXPECT_GT(rows, 100);
}

namespace {

// A small family whose generators show which form ran and which value it drew.
template <char16_t Name> void Form(Frame& f)
{
    f.append(Text(1, Name), f.draw(9, 1));
    f.commit();
}
constexpr std::array<Generator, 2> TestForms = { Form<u'A'>, Form<u'B'> };
float pick(int v, int n) // the r for which floor(n * r) + 1 == v
{
    return float((v - 0.5) / n);
}

} // namespace

TEST(Frame, LayoutsOfASmallFamily)
{
    const struct {
        Layout layout;
        FormSelection selection;
        std::vector<float> draws;
        std::string text;
        bool distinct = false;
    } cases[] = {
        // distinct: a repeat is taken back and made again from its prefix, the draws going on
        // (the form draw of "mixed" included); without distinct the repeat stands
        { { 6, 2 }, FormSelection::mixed(),
            { pick(1, 2), pick(3, 9), pick(1, 2), pick(3, 9), pick(2, 2), pick(3, 9), pick(2, 2),
                pick(3, 9), pick(1, 2), pick(3, 9), pick(2, 2), pick(4, 9) },
            "T\n1. A3 2. B3\n\n3. B4 ", true },
        { { 6, 2 }, FormSelection::mixed(),
            { pick(1, 2), pick(3, 9), pick(1, 2), pick(3, 9), pick(2, 2), pick(3, 9) },
            "T\n1. A3 2. A3\n\n3. B3 " },
    };
    for (const auto& c : cases) {
        const FamilyFrame family { 10.0, u"T", 1, 3, u". ", u".", TestForms, c.layout };
        ScriptedSource source(c.draws);
        const RunResult result
            = run_frame(family, { .selection = c.selection, .distinct = c.distinct }, source);
        EXPECT_EQ(source.remaining(), 0u) << c.text;
        EXPECT_EQ(result.font_size, family.font_size);
        EXPECT_EQ(to_utf8(result.text), c.text);
    }
}

// Sheets hold one- to three-byte characters; an edited document may hold four-byte ones.
TEST(Text, Utf8OfEveryLength)
{
    EXPECT_EQ(to_utf8(u"x\u00B2\u2014\U0001F600"), "x\xC2\xB2\xE2\x80\x94\xF0\x9F\x98\x80");
}

// The dialog sets the size before the run draws, from the catalogue; it must be the run's own.
TEST(Catalogue, SizeBeforeTheRunIsTheRunsSize)
{
    for (const FamilyEntry& family : families()) {
        Mt19937Source source(5);
        EXPECT_EQ(family.font_size, family.run({}, source).font_size) << family.name;
    }
}

// A draw is floor(n * r) + m, in double precision; a sign is one draw, " + " below one half.
TEST(RandomSource, DrawsAndSigns)
{
    // the largest r, either side of one half, and a negative product, which rounds down
    const float half = 0.5f, below = std::nextafter(half, 0.0f);
    ScriptedSource source({ 0x1p-24f * 16777215, below, half, 0.25f, below, half });
    EXPECT_EQ(draw(source, 15, 1), 15);
    EXPECT_EQ(draw(source, 2, 0), 0);
    EXPECT_EQ(draw(source, 2, 0), 1);
    EXPECT_EQ(draw(source, -3, 0), -1);
    const ProblemOptions options;
    Frame frame(source, options);
    EXPECT_EQ(frame.sign(), u" + ");
    EXPECT_EQ(frame.sign(), u" - ");
    EXPECT_EQ(source.remaining(), 0u);
    // 6 * r rounds up to exactly 5 in single precision, which would give 6; in double it stays
    // just below 5
    const float r = 13981013 * 0x1p-24f;
    volatile float single = 6.0f * r;
    ASSERT_EQ(single, 5.0f);
    ScriptedSource exact({ r });
    EXPECT_EQ(draw(exact, 6, 1), 5);
}
