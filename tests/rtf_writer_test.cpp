#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "page/page_layout.h"
#include "page/pdf_writer.h"
#include "rtf/rtf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>

using namespace quillora;

namespace {

const std::string Header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fmodern\\fprq1"
                           "\\fcharset0 Courier New;}";

// The document body after the page setup and the first paragraph's reset.
std::string body(const std::string& rtf)
{
    const auto start = rtf.find("\\plain");
    EXPECT_NE(start, std::string::npos) << rtf;
    return rtf.substr(start + 6);
}

long number_after(const std::string& rtf, const std::string& word)
{
    std::smatch match;
    EXPECT_TRUE(std::regex_search(rtf, match, std::regex("\\\\" + word + "(-?[0-9]+)"))) << word;
    return std::stol(match[1]);
}

} // namespace

TEST(RtfWriter, WorksheetText)
{
    const struct {
        std::u16string text;
        double size;
        std::string body;
    } cases[] = {
        { u"x", 12, "\\f0\\fs24\\b0\\i0\\ulnone x}\n" },
        // specials escaped, blanks kept
        { u"  a\\b{c}  \td", 10, "\\f0\\fs20\\b0\\i0\\ulnone   a\\\\b\\{c\\}  \\tab d}\n" },
        // line feeds end paragraphs; the two non-blank lines are kept together
        { u"a\n\n b\nc\n", 12,
            "\\f0\\fs24\\b0\\i0\\ulnone a\\par\n\\pard \\par\n\\pard\\keepn  b\\par\n"
            "\\pard c\\par\n\\pard }\n" },
        // superscript two, em dash, bullet, division sign, a character outside Windows-1252,
        // one outside the BMP (two surrogate halves, negative as RTF wants signed 16-bit values)
        { u"\u00B2\u2014\u2022\u00F7\u4E2D\U0001F600", 12,
            "\\f0\\fs24\\b0\\i0\\ulnone \\u178\\'b2\\u8212\\'97\\u8226\\'95\\u247\\'f7\\u20013?"
            "\\u-10179?\\u-8704?}\n" },
        // every Windows-1252 fallback of the 0x80..0x9F row, and characters it lacks
        { u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D"
          u"\u2018\u2019\u201C\u201D\u2013\u02DC\u2122\u0161\u203A\u0153\u017E\u0178\u0081",
            12,
            "\\f0\\fs24\\b0\\i0\\ulnone \\u8364\\'80\\u8218\\'82\\u402\\'83\\u8222\\'84\\u8230\\'85"
            "\\u8224\\'86\\u8225\\'87\\u710\\'88\\u8240\\'89\\u352\\'8a\\u8249\\'8b\\u338\\'8c"
            "\\u381\\'8e\\u8216\\'91\\u8217\\'92\\u8220\\'93\\u8221\\'94\\u8211\\'96\\u732\\'98"
            "\\u8482\\'99\\u353\\'9a\\u8250\\'9b\\u339\\'9c\\u382\\'9e\\u376\\'9f\\u129?}\n" },
        // control characters: not every reader keeps them, but the file holds what the document
        // holds
        { std::u16string(u"a\0b\x07\x1f\x7f\x9f", 7), 12,
            "\\f0\\fs24\\b0\\i0\\ulnone a\\u0\\'00b\\u7\\'07\\u31\\'1f\\u127\\'7f\\u159?}\n" },
    };
    for (const auto& c : cases) {
        const std::string rtf = worksheet_rtf(c.text, c.size, A4Paper);
        EXPECT_EQ(rtf.rfind(Header + "}", 0), 0u) << rtf;
        EXPECT_EQ(body(rtf), c.body);
    }
}

TEST(RtfWriter, RunsCarryFontSizeAndStyle)
{
    const std::string rtf = write_rtf(
        {
            TextRun { .text = u"plain ", .point_size = 9.75 },
            TextRun { .text = u"bold",
                .font_family = u"Liberation Sans",
                .point_size = 14,
                .bold = true },
            TextRun { .text = u"iu", .point_size = 8, .italic = true, .underline = true },
        },
        A4Paper);
    EXPECT_EQ(rtf.rfind(Header + "{\\f1\\fnil\\fcharset0 Liberation Sans;}}", 0), 0u) << rtf;
    // 9.75 points has no whole half-point size: it rounds to 20 half-points
    EXPECT_EQ(body(rtf),
        "\\f0\\fs20\\b0\\i0\\ulnone plain \\f1\\fs28\\b\\i0\\ulnone bold\\f0\\fs16\\b0\\i\\ul "
        "iu}\n");
    // an empty document is still valid, with the widest margins
    EXPECT_EQ(write_rtf({}, LetterPaper),
        Header
            + "}\n\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\n"
              "\\pard\\plain}\n");
}

// For the widest sheet of every family, on both papers: the longest line fits between the
// written margins, which stay within 0.2 in and 1 in, and every line of a block of non-blank
// lines but its last is kept with the next.
TEST(RtfWriter, PageSetupFitsTheWidestSheetOfEveryFamily)
{
    for (const FamilyEntry& family : families()) {
        RunResult widest;
        for (std::uint32_t seed = 0; seed < 40; ++seed) {
            Mt19937Source source(seed);
            RunResult result = family.run({ .selection = FormSelection::mixed() }, source);
            if (longest_line(result.text) > longest_line(widest.text))
                widest = std::move(result);
        }
        const double size = widest.font_size.value_or(FreshWindowFontSize);
        for (const Paper& paper : { A4Paper, LetterPaper }) {
            SCOPED_TRACE(std::string(family.name) + " on " + std::string(paper.name));
            const std::string rtf = worksheet_rtf(widest.text, size, paper);
            const long width = number_after(rtf, "paperw");
            const long left = number_after(rtf, "margl");
            EXPECT_EQ(width, std::lround(paper.width * 20));
            EXPECT_EQ(number_after(rtf, "margr"), left);
            EXPECT_GE(left, 288);
            EXPECT_LE(left, 1440);
            // Whole half-points as written, 1229/2048 em a character, in twips.
            const double line = static_cast<double>(longest_line(widest.text))
                * std::lround(size * 2) * 10 * 1229 / 2048;
            EXPECT_LE(line, static_cast<double>(width - 2 * left));
            EXPECT_GE(number_after(rtf, "margt"), 720);

            const auto lines = text_lines(widest.text);
            std::vector<std::string> paragraphs;
            for (std::size_t at = rtf.find("\\pard"); at != std::string::npos;
                 at = rtf.find("\\pard", at + 1))
                paragraphs.push_back(rtf.substr(at, 12));
            ASSERT_EQ(paragraphs.size(), lines.size());
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const bool kept = i + 1 < lines.size() && !is_blank_line(lines[i])
                    && !is_blank_line(lines[i + 1]);
                EXPECT_EQ(paragraphs[i].starts_with("\\pard\\keepn"), kept) << "line " << i;
            }
        }
    }
}

// Page breaks: lines fill a page; a block of non-blank lines that would cross the page's end
// moves to the next page whole, unless it alone is taller than a page.
TEST(PageLayout, PageStarts)
{
    const struct {
        const char* name;
        std::string lines; // '#' a text line, '.' a blank line, all one unit high
        double page;
        std::vector<std::size_t> starts;
    } cases[] = {
        { "fits on one page", "#.#.#", 5, { 0 } },
        { "a page starts with text", "#..#..", 3, { 0, 3 } },
        { "a block moves whole", "#.###", 4, { 0, 2 } },
        { "a block at the top of a page stays", "###.#", 3, { 0, 4 } },
        { "a block taller than a page breaks where full", "#.#####", 3, { 0, 3, 6 } },
        { "blank lines at a break end the page", "###..###", 3, { 0, 5 } },
        { "the document ends in blank lines", "###...", 3, { 0 } },
        { "each page in turn", "###.###.###", 5, { 0, 4, 8 } },
        { "empty document", "", 5, { 0 } },
    };
    for (const auto& c : cases) {
        std::vector<double> heights(c.lines.size(), 1);
        std::vector<bool> blank;
        for (const char line : c.lines)
            blank.push_back(line == '.');
        EXPECT_EQ(page_starts(heights, blank, c.page), c.starts) << c.name;
    }
    // Taller lines count by their height; a line taller than a page has a page of its own.
    const std::vector<double> heights { 1, 1, 5, 1 };
    const std::vector<bool> blank { false, true, false, false };
    EXPECT_EQ(page_starts(heights, blank, 3), (std::vector<std::size_t> { 0, 2, 3 }));
}

// Two fraction-equation sheets run together, after four blank lines, make a sheet of three
// Letter pages whose first break would fall inside a problem: the PDF breaks between problems,
// loses and doubles no line, and a line wider than the page is scaled whole.
TEST(PdfWriter, PagesBreakBetweenBlocksAndKeepEveryLine)
{
    const FamilyEntry& family = *find_family("fraction-equations");
    Text both = u"\n\n\n\n";
    for (const std::uint32_t seed : { 1u, 2u }) {
        Mt19937Source source(seed);
        both += family.run({ .selection = FormSelection::mixed() }, source).text;
    }
    const Text wide = u"1.) " + Text(150, u'x') + u" = 5\n\n2.) x = 1";
    const std::string pdf = ::testing::TempDir() + "quillora-pages.pdf";
    const std::string pages = ::testing::TempDir() + "quillora-pages.txt";
    for (const bool long_sheet : { true, false }) {
        const Text& text = long_sheet ? both : wide;
        std::ofstream(pdf, std::ios::binary) << worksheets_pdf({ text }, 10, LetterPaper);
        ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pages + "'").c_str()), 0);
        std::ifstream in(pages);
        std::vector<std::vector<std::string>> read(1);
        for (std::string line; std::getline(in, line);) {
            if (line.find('\f') != std::string::npos) {
                read.emplace_back();
                line.erase(0, line.find('\f') + 1);
            }
            if (line.find_first_not_of(' ') != std::string::npos)
                read.back().push_back(std::regex_replace(line, std::regex(" +"), " "));
        }
        read.pop_back(); // after the last form feed
        std::vector<std::string> expected, all;
        const std::vector<TextView> original = text_lines(text);
        std::vector<std::size_t> firsts; // where each page begins in the original
        for (std::size_t i = 0, page = 0, count = 0; i < original.size(); ++i) {
            if (is_blank_line(original[i]))
                continue;
            std::string line
                = std::regex_replace(to_utf8(Text(original[i])), std::regex(" +"), " ");
            expected.push_back(line.substr(line.find_first_not_of(' ')));
            if (page < read.size() && count == 0)
                firsts.push_back(i);
            if (page < read.size() && ++count == read[page].size())
                ++page, count = 0;
        }
        for (auto& page : read)
            for (auto& line : page)
                all.push_back(line.substr(line.find_first_not_of(' ')));
        EXPECT_EQ(all, expected);
        EXPECT_EQ(read.size(), long_sheet ? 3u : 1u);
        for (std::size_t page = 1; page < firsts.size(); ++page)
            EXPECT_TRUE(is_blank_line(original[firsts[page] - 1])) << "page " << page + 1;
    }
}
