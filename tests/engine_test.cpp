#include "families/catalogue.h"
#include "scripted_source.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

using namespace quillora;
using quillora::test::ScriptedSource;

namespace {

// The rows of tests/data/examples.tsv, each a test of its own named after its family, form and
// line in the table.
std::vector<std::pair<int, std::string>> examples()
{
    std::vector<std::pair<int, std::string>> out;
    std::ifstream table(QUILLORA_TEST_DATA "/examples.tsv");
    int line = 0;
    for (std::string row; std::getline(table, row);) {
        ++line;
        if (!row.empty() && row[0] != '#')
            out.emplace_back(line, row);
    }
    return out;
}

class WorkedExample : public testing::TestWithParam<std::pair<int, std::string>> { };

} // namespace

// A generator's draws and the exact line it writes.
TEST_P(WorkedExample, WritesItsLine)
{
    const std::string& row = GetParam().second;
    std::vector<std::string> cell;
    for (std::istringstream in(row); std::getline(in, cell.emplace_back(), '\t');) { }
    ASSERT_GE(cell.size(), 6u) << row;
    const Family& family = *find_family(cell[0]);
    const auto place = parse_form(family, cell[1])->place();
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
    append_number_prefix(run.problem_line(), family, std::stoi(cell[2]));
    family.forms[std::size_t(place - 1)].generator(run);
    EXPECT_EQ(source.remaining(), 0u) << "draws left over";
    EXPECT_EQ(run.worksheet_text(), run.problem_line()) << "problem line not committed once";
    EXPECT_EQ(to_utf8(run.problem_line()), line);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WorkedExample, testing::ValuesIn(examples()), [](const auto& info) {
        std::string name = info.param.second.substr(
                               0, info.param.second.find('\t', info.param.second.find('\t') + 1))
            + "_line" + std::to_string(info.param.first);
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

namespace {

// A small family whose generators show which form ran and which value it drew.
template <char16_t Name> void Form(Frame& f)
{
    f.append(Text(1, Name), f.draw(9, 1));
    f.commit();
}
constexpr quillora::Form TestForms[]
    = { { .code = "A", .generator = Form<u'A'> }, { .code = "B", .generator = Form<u'B'> } };
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
        { { 7, 2 }, FormSelection::mixed(),
            { pick(1, 2), pick(3, 9), pick(1, 2), pick(3, 9), pick(2, 2), pick(3, 9), pick(2, 2),
                pick(3, 9), pick(1, 2), pick(3, 9), pick(2, 2), pick(4, 9) },
            "T\n1.) A3 2.) B3\n\n3.) B4 ", true },
        { { 7, 2 }, FormSelection::mixed(),
            { pick(1, 2), pick(3, 9), pick(1, 2), pick(3, 9), pick(2, 2), pick(3, 9) },
            "T\n1.) A3 2.) A3\n\n3.) B3 " },
    };
    for (const auto& c : cases) {
        const Family family { .title = u"T",
            .forms = TestForms,
            .count = 3,
            .prefix_blanks = 1,
            .layout = c.layout,
            .title_line_feeds = 1 };
        ScriptedSource source(c.draws);
        const Text text = run_frame(
            family, { .selection = c.selection, .distinct = c.distinct }, source, nullptr);
        EXPECT_EQ(source.remaining(), 0u) << c.text;
        EXPECT_EQ(to_utf8(text), c.text);
    }
}

// Sheets hold one- to three-byte characters; an edited document may hold four-byte ones.
TEST(Text, Utf8OfEveryLength)
{
    EXPECT_EQ(to_utf8(u"x\u00B2\u2014\U0001F600"), "x\xC2\xB2\xE2\x80\x94\xF0\x9F\x98\x80");
}

// The production source is the standard Mersenne Twister, r = (g() >> 8) * 2^-24, across
// several refills of its 624-word state, for seeds at both ends of the range.
TEST(RandomSource, ProductionSourceIsTheStandardMersenneTwister)
{
    for (const std::uint32_t seed : { 0u, 1u, 5489u, 86399999u, 4294967295u }) {
        Mt19937Source source(seed);
        std::mt19937 standard(seed);
        for (int i = 0; i < 3 * 624 + 7; ++i)
            ASSERT_EQ(source.next(), float(standard() >> 8) * 0x1p-24f) << seed << " " << i;
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

// Problems and answers as MathML, from the forms' own writers: signs, groups, full-size
// fractions, powers, words, and text escaped.
TEST(Maths, MathML)
{
    const auto form
        = [](std::string_view family, std::size_t i) { return find_family(family)->forms[i]; };
    const ProblemNumbers fb5 { 3, 4, -1, 5, 2, 7, 6, -1 };
    const struct {
        Maths maths;
        std::string mathml;
    } cases[] = {
        { form("fraction-equations", 4).maths(fb5),
            "<mfrac><mn>3</mn><mn>4</mn></mfrac><mrow><mo stretchy=\"false\">(</mo><mo "
            "form=\"prefix\">−</mo>"
            "<mi>x</mi><mo>+</mo><mn>5</mn><mo "
            "stretchy=\"false\">)</mo></mrow><mo>=</mo><mfrac><mn>2</mn>"
            "<mn>7</mn></mfrac><mrow><mo "
            "stretchy=\"false\">(</mo><mn>6</mn><mi>x</mi><mo>−</mo><mn>1</mn>"
            "<mo stretchy=\"false\">)</mo></mrow>" },
        { form("fraction-equations", 4).answer(fb5),
            "<mi>x</mi><mo>=</mo><mfrac><mn>113</mn><mn>69</mn></mfrac>" },
        { form("binomials", 7).maths({ 2, -5, 2, -5 }),
            "<msup><mrow><mo stretchy=\"false\">(</mo><mn>2</mn><mi>x</mi><mo>−</mo><mn>5</mn><mo "
            "stretchy=\"false\">)</mo></mrow>"
            "<mn>2</mn></msup>" },
        { form("fractions", 2).maths({ 7, 6, 1, 3, 2 }),
            "<mfrac><mn>7</mn><mn>6</mn></mfrac><mo>×</mo><mfrac><mn>1</mn><mn>3</mn></mfrac>" },
        // parentheses stretch around a fraction
        { Maths::group(Maths::fraction(
              Maths::row({ Maths::number(1), Maths::words(u"<&>") }), Maths::variable(u"y"))),
            "<mrow><mo>(</mo><mfrac><mrow><mn>1</mn><mtext>&lt;&amp;&gt;</mtext></mrow><mi>y</mi>"
            "</mfrac><mo>)</mo></mrow>" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(maths_mathml(c.maths), "<math displaystyle=\"true\">" + c.mathml + "</math>");
}
