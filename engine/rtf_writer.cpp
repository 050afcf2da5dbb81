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

// Writes the paragraph properties of the next line: whether it is kept with the line after it,
// and whether it is a blank line after the sheet's last text line, which is given an exact height
// of one point so that it never runs onto a page of its own.
struct ParagraphStarts {
    std::vector<bool> keep_with_next;
    std::vector<bool> trailing;
    std::size_t line = 0;

    void put(std::string& out)
    {
        out += "\\pard";
        if (line < keep_with_next.size() && keep_with_next[line])
            out += "\\keepn";
        if (line < trailing.size() && trailing[line])
            out += "\\sl-20\\slmult0";
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

// Lines of a sheet and the width of its longest line in points, at each run's size.
struct Lines {
    Text text;
    double widest = 0;
    double largest_size = 0;
};

Lines sheet_lines(const std::vector<TextRun>& runs)
{
    Lines lines;
    double width = 0;
    for (const auto& run : runs) {
        lines.text += run.text;
        const double size = static_cast<double>(half_points(run.point_size)) / 2;
        lines.largest_size = std::max(lines.largest_size, size);
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

// Points rounded down, or up, to whole twips.
double floor_twips(double points)
{
    return std::floor(points * 20) / 20;
}
double ceil_twips(double points)
{
    return std::ceil(points * 20) / 20;
}

// The paragraph properties of a sheet's lines, and the height the sheet takes in a word
// processor: its lines up to the last text line at the line spacing of its largest size (which
// readers round to whole twips), each blank line after it one point.
struct SheetParagraphs {
    ParagraphStarts starts;
    double height = 0;
    double line_height = 0;
};

SheetParagraphs sheet_paragraphs(const Lines& lines)
{
    SheetParagraphs sheet;
    const std::vector<TextView> text = text_lines(lines.text);
    std::size_t text_end = 0; // one past the last text line
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!is_blank_line(text[i]))
            text_end = i + 1;
    }
    const double line_height = ceil_twips(lines.largest_size * FixedPitchLineSpacing);
    sheet.line_height = line_height;
    for (std::size_t i = 0; i < text.size(); ++i) {
        sheet.starts.keep_with_next.push_back(
            i + 1 < text.size() && !is_blank_line(text[i]) && !is_blank_line(text[i + 1]));
        const bool trailing = text_end > 0 && i >= text_end;
        sheet.starts.trailing.push_back(trailing);
        sheet.height += trailing ? 1 : line_height;
    }
    return sheet;
}

// Room left for readers' own rounding when a sheet's page setup is fitted to its height.
constexpr double HeightSlack = 6;

// A paragraph of furniture in Courier New at its own size. Word processors differ in how they
// read section footers, so the furniture is body text, which every one of them places alike.
void put_furniture_line(std::string& out, TextView text, double size, bool right, std::size_t font)
{
    ParagraphStarts none;
    out += std::string("\\pard") + (right ? "\\qr" : "") + "\\plain\\f" + std::to_string(font)
        + "\\fs" + std::to_string(half_points(size)) + ' ';
    put_text(out, text, none);
}

// The height of a furniture line in a word processor.
double furniture_height(double size)
{
    return ceil_twips(static_cast<double>(half_points(size)) / 2 * FixedPitchLineSpacing);
}

std::string write_document(const std::vector<std::vector<TextRun>>& sheets, const Paper& paper,
    const PageFurniture* furniture)
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
    std::vector<Lines> lines;
    std::vector<SheetParagraphs> paragraphs;
    double widest = 0;
    double tallest = 0;
    for (const auto& runs : sheets) {
        for (const auto& run : runs)
            font_index(run.font_family);
        lines.push_back(sheet_lines(runs));
        paragraphs.push_back(sheet_paragraphs(lines.back()));
        widest = std::max(widest, lines.back().widest);
        tallest = std::max(tallest, paragraphs.back().height + HeightSlack);
    }
    // Margins are floored to whole twips so that the longest line still fits.
    const double side = floor_twips(file_side_margin(paper, widest));
    // a mark's caption, each small enough to fit the width, below its sheet's footer
    std::vector<double> caption_sizes;
    double captions = 0;
    if (furniture) {
        for (const FooterMark& mark : furniture->marks) {
            caption_sizes.push_back(fixed_pitch_caption_size(mark.caption, paper.width - 2 * side));
            if (!mark.caption.empty())
                captions = std::max(captions, furniture_height(caption_sizes.back()));
        }
        tallest += (furniture->name_line ? furniture_height(NameLineSize) : 0)
            + (furniture->footers.empty() ? 0 : furniture_height(FooterSize)) + captions;
    }
    // Some readers set the empty start of the paragraph that opens with a page break on the
    // page before it: room for one more line there.
    if (sheets.size() > 1)
        tallest += furniture && furniture->name_line ? furniture_height(NameLineSize)
                                                     : paragraphs.front().line_height;
    // the furniture's font, and the font of an empty document
    if (fonts.empty() || furniture)
        font_index(u"Courier New");

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
    // Top and bottom are the side margin, at least 0.5 in; where a sheet is taller than that
    // leaves room for, they narrow until it fits, down to 0.2 in.
    double top = std::max(side, PrintMargin);
    if (tallest > paper.height - 2 * top && tallest <= paper.height - 2 * NarrowestFileMargin)
        top = floor_twips((paper.height - tallest) / 2);
    out += "}\n\\paperw" + twips(paper.width) + "\\paperh" + twips(paper.height) + "\\margl"
        + twips(side) + "\\margr" + twips(side) + "\\margt" + twips(top) + "\\margb" + twips(top);
    out += '\n';

    const std::size_t courier = furniture ? font_index(u"Courier New") : 0;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        // A sheet after the first starts a page: its first paragraph begins with a page break.
        const char* page_break = s > 0 ? "\\page " : "";
        if (s > 0)
            out += "\\par\n";
        if (furniture && furniture->name_line) {
            put_furniture_line(out, TextView(), NameLineSize, false, courier);
            out += page_break;
            ParagraphStarts none;
            put_text(out, NameLine, none);
            out += "\\par\n";
            page_break = "";
        }
        paragraphs[s].starts.put(out);
        out += s == 0 && !furniture ? "\\plain" : std::string(" ") + page_break + "\\plain";
        for (const auto& run : sheets[s]) {
            out += "\\f" + std::to_string(font_index(run.font_family));
            out += "\\fs" + std::to_string(half_points(run.point_size));
            out += run.bold ? "\\b" : "\\b0";
            out += run.italic ? "\\i" : "\\i0";
            out += run.underline ? "\\ul" : "\\ulnone";
            out += ' ';
            put_text(out, run.text, paragraphs[s].starts);
        }
        if (furniture && s < furniture->footers.size()) {
            out += "\\par\n";
            put_furniture_line(out, furniture->footers[s], FooterSize, true, courier);
        }
        if (furniture && s < furniture->marks.size() && !furniture->marks[s].caption.empty()) {
            out += "\\par\n";
            put_furniture_line(out, furniture->marks[s].caption, caption_sizes[s], true, courier);
        }
    }
    out += "}\n";
    return out;
}

} // namespace

std::string write_rtf(const std::vector<TextRun>& runs, const Paper& paper)
{
    return write_document({ runs }, paper, nullptr);
}

std::string worksheet_rtf(const Text& text, double point_size, const Paper& paper)
{
    return write_rtf({ TextRun { .text = text, .point_size = point_size } }, paper);
}

std::string worksheets_rtf(const std::vector<Text>& sheets, double point_size, const Paper& paper,
    const PageFurniture* furniture)
{
    std::vector<std::vector<TextRun>> runs;
    for (const Text& sheet : sheets)
        runs.push_back({ TextRun { .text = sheet, .point_size = point_size } });
    return write_document(runs, paper, furniture);
}

} // namespace quillora
