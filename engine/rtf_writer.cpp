#include "engine/rtf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillora {

namespace {

void put_hex(std::string& out, unsigned char byte)
{
    static constexpr char Digits[] = "0123456789abcdef";
    out += "\\'";
    out += Digits[byte >> 4];
    out += Digits[byte & 0xF];
}

// Writes the paragraph properties of the next line: whether it is kept with the line after it.
struct ParagraphStarts {
    std::vector<bool> keep_with_next;
    /// Whether a form feed is a page break (between worksheets) or a character of the document.
    bool form_feed_breaks = false;
    std::size_t line = 0;

    void put(std::string& out)
    {
        out += "\\pard";
        if (line < keep_with_next.size() && keep_with_next[line])
            out += "\\keepn";
        ++line;
    }
};

void put_text(std::string& out, TextView text, ParagraphStarts& paragraphs)
{
    for (const char16_t c : text) {
        switch (c) {
        case u'\\':
            out += "\\\\";
            break;
        case u'{':
            out += "\\{";
            break;
        case u'}':
            out += "\\}";
            break;
        case u'\n':
            out += "\\par\n";
            paragraphs.put(out);
            out += ' ';
            break;
        case u'\t':
            out += "\\tab ";
            break;
        case u'\f':
            if (paragraphs.form_feed_breaks) {
                out += "\\page ";
                break;
            }
            [[fallthrough]];
        default:
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                // \uN takes a signed 16-bit value; surrogate halves are written one each.
                out += "\\u";
                out += std::to_string(static_cast<int>(static_cast<std::int16_t>(c)));
                const unsigned char fallback = windows_1252_byte(c);
                if (fallback >= 0x20 && fallback < 0x7F && fallback != '\\' && fallback != '{'
                    && fallback != '}')
                    out += static_cast<char>(fallback);
                else
                    put_hex(out, fallback);
            }
        }
    }
}

// A size as the file writes it: whole half-points, at least one.
long half_points(double point_size)
{
    return std::max(1L, std::lround(point_size * 2));
}

// Lines of the document and the width of its longest line in points, at each run's size.
struct Lines {
    Text text;
    double widest = 0;
};

Lines document_lines(const std::vector<TextRun>& runs)
{
    Lines lines;
    double width = 0;
    for (const auto& run : runs) {
        lines.text += run.text;
        const double size = static_cast<double>(half_points(run.point_size)) / 2;
        for (const char16_t c : run.text) {
            if (c == u'\n') {
                width = 0;
                continue;
            }
            width += FixedPitchAdvance * size;
            lines.widest = std::max(lines.widest, width);
        }
    }
    return lines;
}

std::string twips(double points)
{
    return std::to_string(std::lround(points * 20));
}

std::string write_document(
    const std::vector<TextRun>& runs, const Paper& paper, bool form_feed_breaks)
{
    std::vector<Text> fonts;
    auto font_index = [&fonts](const Text& family) {
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            if (fonts[i] == family)
                return i;
        }
        fonts.push_back(family);
        return fonts.size() - 1;
    };
    if (runs.empty())
        font_index(u"Courier New");
    for (const auto& run : runs)
        font_index(run.font_family);

    const Lines lines = document_lines(runs);
    ParagraphStarts paragraphs;
    paragraphs.form_feed_breaks = form_feed_breaks;
    const auto text_lines_of = text_lines(lines.text);
    for (std::size_t i = 0; i < text_lines_of.size(); ++i)
        paragraphs.keep_with_next.push_back(i + 1 < text_lines_of.size()
            && !is_blank_line(text_lines_of[i]) && !is_blank_line(text_lines_of[i + 1]));

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        // Courier New is declared a fixed-pitch modern face, so a reader without it substitutes
        // another monospace one and the blank-aligned columns still line up.
        out += "{\\f" + std::to_string(i)
            + (fonts[i] == u"Courier New" ? "\\fmodern\\fprq1" : "\\fnil") + "\\fcharset0 ";
        ParagraphStarts none;
        put_text(out, fonts[i], none);
        out += ";}";
    }
    // Margins are floored to whole twips so that the longest line still fits.
    const double side = std::floor(file_side_margin(paper, lines.widest) * 20) / 20;
    const double top = std::max(side, PrintMargin);
    out += "}\n\\paperw" + twips(paper.width) + "\\paperh" + twips(paper.height) + "\\margl"
        + twips(side) + "\\margr" + twips(side) + "\\margt" + twips(top) + "\\margb" + twips(top)
        + "\n";
    paragraphs.put(out);
    out += "\\plain";

    for (const auto& run : runs) {
        out += "\\f" + std::to_string(font_index(run.font_family));
        out += "\\fs" + std::to_string(half_points(run.point_size));
        out += run.bold ? "\\b" : "\\b0";
        out += run.italic ? "\\i" : "\\i0";
        out += run.underline ? "\\ul" : "\\ulnone";
        out += ' ';
        put_text(out, run.text, paragraphs);
    }
    out += "}\n";
    return out;
}

} // namespace

std::string write_rtf(const std::vector<TextRun>& runs, const Paper& paper)
{
    return write_document(runs, paper, false);
}

std::string worksheet_rtf(const Text& text, double point_size, const Paper& paper)
{
    return write_rtf({ TextRun { .text = text, .point_size = point_size } }, paper);
}

std::string worksheets_rtf(const std::vector<Text>& sheets, double point_size, const Paper& paper)
{
    return write_document(
        { TextRun { .text = join_pages(sheets), .point_size = point_size } }, paper, true);
}

} // namespace quillora
