#include "rtf/rtf_writer.h"

#include <gtest/gtest.h>

using namespace quillora;

namespace {

const std::string Header
    = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}";

// The document body after the font table and the paragraph reset.
std::string body(const std::string& rtf)
{
    const auto start = rtf.find("\\pard\\plain");
    EXPECT_NE(start, std::string::npos) << rtf;
    return rtf.substr(start + 11);
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
        // line feeds end paragraphs
        { u"a\n\n b\n", 12, "\\f0\\fs24\\b0\\i0\\ulnone a\\par\n\\par\n b\\par\n}\n" },
        // superscript two, em dash, bullet, division sign, a character outside Windows-1252,
        // one outside the BMP (two surrogate halves, negative as RTF wants signed 16-bit values)
        { u"\u00B2\u2014\u2022\u00F7\u4E2D\U0001F600", 12,
            "\\f0\\fs24\\b0\\i0\\ulnone \\u178\\'b2\\u8212\\'97\\u8226\\'95\\u247\\'f7\\u20013?"
            "\\u-10179?\\u-8704?}\n" },
        // control characters: not every reader keeps them, but the file holds what the document
        // holds
        { std::u16string(u"a\0b\x07\x1f\x7f\x9f", 7), 12,
            "\\f0\\fs24\\b0\\i0\\ulnone a\\u0\\'00b\\u7\\'07\\u31\\'1f\\u127\\'7f\\u159?}\n" },
    };
    for (const auto& c : cases) {
        const std::string rtf = worksheet_rtf(c.text, c.size);
        EXPECT_EQ(rtf.rfind(Header + "}", 0), 0u) << rtf;
        EXPECT_EQ(body(rtf), c.body);
    }
}

TEST(RtfWriter, RunsCarryFontSizeAndStyle)
{
    const std::string rtf = write_rtf({
        TextRun { .text = u"plain ", .point_size = 9.75 },
        TextRun {
            .text = u"bold", .font_family = u"Liberation Sans", .point_size = 14, .bold = true },
        TextRun { .text = u"iu", .point_size = 8, .italic = true, .underline = true },
    });
    EXPECT_EQ(rtf.rfind(Header + "{\\f1\\fnil\\fcharset0 Liberation Sans;}}", 0), 0u) << rtf;
    // 9.75 points has no whole half-point size: it rounds to 20 half-points
    EXPECT_EQ(body(rtf),
        "\\f0\\fs20\\b0\\i0\\ulnone plain \\f1\\fs28\\b\\i0\\ulnone bold\\f0\\fs16\\b0\\i\\ul "
        "iu}\n");
    EXPECT_EQ(write_rtf({}), Header + "}\n\\pard\\plain}\n"); // an empty document is still valid
}
