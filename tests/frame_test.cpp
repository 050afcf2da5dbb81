#include "dialog/catalogue.h"
#include "families/binomials/binomials.h"
#include "scripted.h"

#include <array>
#include <cmath>
#include <tuple>

using namespace quillora;
using namespace quillora::test;

namespace {

// A small family whose generators show which form ran and which value it drew.
template <char16_t Name> void Form(Frame& f)
{
    f.append(Text(1, Name), f.draw(9, 1));
    f.commit();
}
void LongForm(Frame& f)
{
    f.append(Text(40, u'L'));
    f.commit();
}
constexpr std::array<Generator, 3> TestForms = { Form<u'A'>, Form<u'B'>, LongForm };

std::string run(const FamilyFrame& family, FormSelection selection, std::vector<float> draws,
    bool distinct = false)
{
    ScriptedSource source(std::move(draws));
    const RunResult result
        = run_frame(family, { .selection = selection, .distinct = distinct }, source);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(result.font_size, family.font_size);
    return to_utf8(result.text);
}

} // namespace

TEST(Frame, LayoutsOfASmallFamily)
{
    const struct {
        Layout layout;
        int count;
        FormSelection selection;
        std::vector<float> draws;
        std::string text;
        bool distinct = false;
    } cases[] = {
        // mixed draws the form before the generator draws: form 2 then 7, form 1 then 3
        { { 8, 1 }, 2, FormSelection::mixed(), { pick(2, 3), pick(7, 9), pick(1, 3), pick(3, 9) },
            "T\n1. B7   2. A3\n" },
        { { 6, 2 }, 3, FormSelection::form(1), { pick(1, 9), pick(2, 9), pick(3, 9) },
            "T\n1. A1 2. A2\n\n3. A3 " },
        // a line at or past the column width gets no blanks
        { { 40, 1 }, 2, FormSelection::form(3), {},
            "T\n1. " + std::string(40, 'L') + "2. " + std::string(40, 'L') + "\n" },
        // column width 0 puts each problem on its own row
        { { 0, 3 }, 2, FormSelection::form(2), { pick(4, 9), pick(5, 9) },
            "T\n1. B4\n\n\n2. B5\n\n\n" },
        // distinct: a repeat is taken back and made again from its prefix, the draws going on
        // (the form draw of "mixed" included); without distinct the repeat stands
        { { 6, 2 }, 3, FormSelection::mixed(),
            { pick(1, 3), pick(3, 9), pick(1, 3), pick(3, 9), pick(2, 3), pick(3, 9), pick(2, 3),
                pick(3, 9), pick(1, 3), pick(3, 9), pick(2, 3), pick(4, 9) },
            "T\n1. A3 2. B3\n\n3. B4 ", true },
        { { 6, 2 }, 3, FormSelection::mixed(),
            { pick(1, 3), pick(3, 9), pick(1, 3), pick(3, 9), pick(2, 3), pick(3, 9) },
            "T\n1. A3 2. A3\n\n3. B3 " },
        { { 6, 2 }, 2, FormSelection::form(1), { pick(5, 9), pick(5, 9), pick(6, 9) },
            "T\n1. A5 2. A6\n\n", true },
    };
    for (const auto& c : cases) {
        const FamilyFrame family { 10.0, u"T", 1, c.count, u". ", u".", TestForms, c.layout };
        EXPECT_EQ(run(family, c.selection, c.draws, c.distinct), c.text);
    }
}

TEST(Frame, NumberPrefixesOfOneFamilyHaveOneWidth)
{
    EXPECT_EQ(to_utf8(number_prefix(binomials_family(), 9)), "9.)  ");
    EXPECT_EQ(to_utf8(number_prefix(binomials_family(), 10)), "10.) ");
    for (int i = 1; i <= 99; ++i)
        EXPECT_EQ(number_prefix(binomials_family(), i).size(), 5u) << i;
}

TEST(Frame, SignSplitsAtOneHalfWithOneDrawAndIsEven)
{
    ScriptedSource source({ 0.0f, std::nextafter(0.5f, 0.0f), 0.5f, std::nextafter(1.0f, 0.0f) });
    const ProblemOptions options;
    Frame frame(source, options);
    for (const TextView sign : { u" + ", u" + ", u" - ", u" - " })
        EXPECT_EQ(frame.sign(), sign);
    EXPECT_EQ(source.remaining(), 0u);

    Mt19937Source random(99);
    Frame many(random, options);
    int plus = 0;
    for (int i = 0; i < 100000; ++i)
        plus += many.sign() == u" + ";
    EXPECT_NEAR(plus, 50000, 1000);
}

TEST(Text, NumberTextIsPlainDecimalAndUtf8IsExact)
{
    EXPECT_EQ(number_text(0), u"0");
    EXPECT_EQ(number_text(-7), u"-7");
    EXPECT_EQ(number_text(120), u"120");
    EXPECT_EQ(to_utf8(u"x\u00B2 \u2014\u2022\u00F7"), "x\xC2\xB2 \xE2\x80\x94\xE2\x80\xA2\xC3\xB7");
    EXPECT_EQ(to_utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(to_utf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// The dialog sets the size before the run draws, from the catalogue; it must be the run's own.
TEST(Catalogue, SizeBeforeTheRunIsTheRunsSize)
{
    for (const FamilyEntry& family : families()) {
        Mt19937Source source(5);
        EXPECT_EQ(family.font_size, family.run({}, source).font_size) << family.name;
    }
}
