#include "families/fraction_equations/fraction_equations.h"
#include "scripted.h"

using namespace quillora;
using namespace quillora::test;

namespace {

// Draws for a numerator (1 to 15), a denominator (2 to 15), a value from -100 to 100, a
// constant from 1 to 100, a coefficient from -15 to 15, and a sign.
const auto num = [](int v) { return pick(v, 15); };
const auto den = [](int v) { return r_for(v, 14, 2); };
const auto wide = [](int v) { return r_for(v, 201, -100); };
const auto constant = [](int v) { return pick(v, 100); };
const auto coef = [](int v) { return r_for(v, 31, -15); };
const float plus = coin(0);
const float minus = coin(1);

// The three lines of a problem, each bar "#" written as two em dashes.
std::string lines(const std::string& a, std::string b, const std::string& c)
{
    for (std::size_t at; (at = b.find('#')) != std::string::npos;)
        b.replace(at, 1, "\u2014\u2014");
    return a + "\n" + b + "\n" + c + "\n";
}

// A second 6/3, then a second 5/5, then a first 9/9: each time all four are drawn again.
const std::vector<float> rejected = { num(2), den(3), num(6), den(3), num(2), den(3), num(5),
    den(5), num(9), den(9), num(1), den(4) };

} // namespace

TEST(FractionEquations, WorkedExamples)
{
    expect_examples(fraction_equations_family(),
        {
            { FB1, { num(5), den(8), wide(-36) },
                lines("3.)     5", "       #x = -36", "        8"), 3 },
            { FB2, { num(12), den(7), constant(35), wide(9), minus },
                lines("10.)   12", "       #x - 35 = 9", "        7"), 10 },
            { FB2, { num(15), den(2), constant(100), wide(0), plus },
                lines("1.)    15", "       #x + 100 = 0", "        2") },
            // 4/4 is redrawn before reduction, 14/7 after it; 6/8 is shown as 3/4
            { FB1, { num(4), den(4), num(14), den(7), num(6), den(8), wide(100) },
                lines("1.)     3", "       #x = 100", "        4") },
            { FB1, { num(10), den(15), wide(-100) },
                lines("1.)     2", "       #x = -100", "        3") },
            { FB3, { num(2), den(3), num(1), den(4), wide(-7), plus },
                lines("4.)     2     1", "       #x + # = -7", "        3     4"), 4 },
            { FB3, rejected + std::vector { num(2), den(3), num(1), den(4), wide(-7), plus },
                lines("4.)     2     1", "       #x + # = -7", "        3     4"), 4 },
            { FB3, { num(13), den(10), num(11), den(14), wide(0), minus },
                lines("1.)    13    11", "       #x - # = 0", "       10    14") },
            { FB4, { num(3), den(5), num(7), den(2), constant(7), constant(12), minus, plus },
                lines("5.)     3          7", "       #x - 7  = #x + 12", "        5          2"),
                5 },
            { FB4,
                rejected
                    + std::vector { num(6), den(10), num(14), den(4), constant(7), constant(12),
                        minus, plus },
                lines("5.)     3          7", "       #x - 7  = #x + 12", "        5          2"),
                5 },
            { FB4, { num(3), den(5), num(11), den(3), constant(45), constant(12), minus, plus },
                lines("5.)     3         11", "       #x - 45 = #x + 12", "        5          3"),
                5 },
            // c = 100 pushes the second bar one column past the second fraction's fields
            { FB4, { num(1), den(12), num(15), den(14), constant(100), constant(1), plus, minus },
                lines("1.)     1         15", "       #x + 100 = #x - 1", "       12         14") },
            { FB5,
                { num(2), den(3), num(3), den(2), coef(4), coef(-1), constant(5), constant(12),
                    plus, minus },
                lines("6.)     2               3", "       #(4x + 5)    = #(-x - 12)",
                    "        3               2"),
                6 },
            { FB5,
                { num(1), den(6), num(5), den(9), coef(1), coef(-7), constant(3), constant(40),
                    plus, minus },
                lines("2.)     1               5", "       #(x + 3)     = #(-7x - 40)",
                    "        6               9"),
                2 },
            // a zero c or g redraws both coefficients but not the fractions; a 14-character left
            // part keeps all its characters
            { FB5,
                { num(12), den(5), num(7), den(10), coef(0), coef(3), coef(5), coef(0), coef(-15),
                    coef(15), constant(100), constant(100), minus, plus },
                lines("1.)    12               7", "       #(-15x - 100) = #(15x + 100)",
                    "        5              10") },
            // a left part of exactly 13 characters gets no blanks
            { FB5,
                { num(1), den(2), num(1), den(3), coef(-12), coef(-1), constant(99), constant(1),
                    plus, plus },
                lines("1.)     1               1", "       #(-12x + 99) = #(-x + 1)",
                    "        2               3") },
        });
}

TEST(FractionEquations, WorksheetFrame)
{
    // every problem of FB2 with the same draws: the title, then one problem per row
    std::vector<float> draws;
    std::string expected = "Solving Linear Equations\n\n\n\n";
    for (int i = 1; i <= 10; ++i) {
        draws = draws + std::vector { num(1), den(2), constant(4), wide(-17), plus };
        expected += lines(std::to_string(i) + (i < 10 ? ".)     1" : ".)    1"),
                        "       #x + 4 = -17", "        2")
            + "\n\n\n";
    }
    ScriptedSource source(draws);
    const RunResult sheet = fraction_busters({ .selection = FormSelection::form(2) }, source);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(to_utf8(sheet.text), expected);
    EXPECT_EQ(sheet.font_size, 10.0);

    // with no form selected each problem adds only its three line feeds
    const RunResult none = fraction_busters({}, source);
    EXPECT_EQ(none.text, u"Solving Linear Equations\n\n\n\n" + Text(30, u'\n'));
    EXPECT_EQ(none.font_size, 10.0);
}

TEST(FractionEquations, MixedDrawsTheFormBeforeTheProblem)
{
    std::vector<float> draws;
    for (int i = 1; i <= 10; ++i) {
        draws = draws
            + (i % 2 ? std::vector { pick(1, 5), num(5), den(8), wide(-36) }
                     : std::vector { pick(3, 5), num(2), den(3), num(1), den(4), wide(-7), plus });
    }
    ScriptedSource source(draws);
    const auto sheet = split_lines(
        to_utf8(fraction_busters({ .selection = FormSelection::mixed() }, source).text));
    EXPECT_EQ(source.remaining(), 0u);
    ASSERT_EQ(sheet.size(), 65u);
    EXPECT_EQ(sheet[4], "1.)     5");
    EXPECT_EQ(sheet[10], "2.)     2     1");
    EXPECT_EQ(sheet[58], "10.)    2     1");
    EXPECT_EQ(sheet[59], "       \u2014\u2014x + \u2014\u2014 = -7");
}
