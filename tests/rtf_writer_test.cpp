// The rich-text and PDF writers on documents the command line does not make, and page breaking.

#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "page/page_layout.h"
#include "page/pdf_writer.h"
#include "rtf/rtf_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace quillora;

// Documents compared byte for byte with their files in tests/data/golden; after a deliberate
// change, QUILLORA_UPDATE_GOLDEN=1 writes them anew.
TEST(Writers, GoldenDocuments)
{
    // Two fraction-equation sheets after four blank lines make three Letter pages whose first
    // break would fall inside a problem; a line wider than the page is scaled whole.
    Text both = u"\n\n\n\n";
    for (const std::uint32_t seed : { 1u, 2u }) {
        Mt19937Source source(seed);
        both += find_family("fraction-equations")
                    ->run({ .selection = FormSelection::mixed() }, source)
                    .text;
    }
    const Text wide = u"1.) " + Text(150, u'x') + u" = 5\n\n2.) x = 1";
    // Specials escaped and blanks kept; line feeds end paragraphs, non-blank lines kept together;
    // Windows-1252 fallbacks of the 0x80..0x9F row, characters outside it and outside the BMP
    // (surrogate halves as signed 16-bit values), control characters as the document holds them.
    const Text escapes = u"  a\\b{c}  \td\n\n b\nc\n\u00B2\u2014\u2022\u00F7\u4E2D\U0001F600\n"
                         u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                         u"\u0152\u017D\u2018\u2019\u201C\u201D\u2013\u02DC\u2122\u0161\u203A"
                         u"\u0153\u017E\u0178\u0081\n"
        + std::u16string(u"a\0b\x07\x1f\x7f\x9f\r\f", 9);
    // A run at 9.75 points, with no whole half-point size, is written at 10.
    const std::vector<TextRun> runs {
        TextRun { .text = u"plain ", .point_size = 9.75 },
        TextRun {
            .text = u"bold", .font_family = u"Liberation Sans", .point_size = 14, .bold = true },
        TextRun { .text = u"iu", .point_size = 8, .italic = true, .underline = true },
    };
    const std::pair<std::string, std::string> documents[] = {
        { "pages.pdf", worksheets_pdf({ both }, 10, LetterPaper) },
        { "wide.pdf", worksheets_pdf({ wide }, 10, LetterPaper) },
        { "wide.rtf", worksheet_rtf(wide, 10, LetterPaper) },
        { "escapes.rtf", worksheet_rtf(escapes, 12, A4Paper) },
        { "runs.rtf", write_rtf(runs, A4Paper) },
        { "empty.rtf", write_rtf({}, LetterPaper) },
    };
    for (const auto& [name, bytes] : documents) {
        const std::string path = QUILLORA_TEST_DATA "/golden/" + name;
        if (std::getenv("QUILLORA_UPDATE_GOLDEN"))
            std::ofstream(path, std::ios::binary) << bytes;
        std::ostringstream golden;
        golden << std::ifstream(path, std::ios::binary).rdbuf();
        EXPECT_EQ(bytes, golden.str()) << name;
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
        { "so does a first block", "###", 2, { 0, 2 } },
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
