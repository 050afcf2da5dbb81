#include "typeset/typeset_pdf.h"

#include "engine/pdf_writer.h"
#include "typeset/box.h"

#include <algorithm>
#include <cmath>

namespace quillora {

namespace {

// Sizes in points. Everything lies inside the margin, the footer's label and mark too.
constexpr double Margin = 54;
constexpr double ProblemSize = 12; // at most; smaller where a family's problems need it
constexpr double SmallestSize = 7;
constexpr double TitleSize = 16;
constexpr double TextSize = 11; // the name line and the instruction
constexpr double LabelSize = 9;
constexpr double NameRule = 180; // the lines to write the name and the date on
constexpr double DateRule = 90;
constexpr double LineWeight = 0.5;
// Room between an item's number and the item, and between columns, in ems of the items' size.
constexpr double NumberGap = 0.5;
constexpr double ColumnGap = 1.5;
// Room to work under each problem of a sheet, and between a key's rows, at least.
constexpr double WorkingRoom = 2;
constexpr double KeyRowGap = 0.9;

constexpr std::string_view Fonts[] = {
    "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Italic /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Bold /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>",
};

// A coordinate to a hundredth of a point (1/7200 in) and a blank; by hand, as the web page's
// library has no floating-point to_chars.
void put(std::string& out, double value)
{
    long long hundredths = std::llround(value * 100);
    if (hundredths < 0) {
        out += '-';
        hundredths = -hundredths;
    }
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + hundredths % 10);
        hundredths /= 10;
    } while (hundredths > 0 || n < 3);
    while (n > 2)
        out += digits[--n];
    out += '.';
    out += digits[1];
    out += digits[0];
    out += ' ';
}

// A page's content stream: the glyph runs in one text object, then the rules.
class Content {
public:
    void draw(const Box& box, double x, double y)
    {
        for (const Mark& mark : box.marks) {
            if (mark.rule) {
                put(m_rules, x + mark.x);
                put(m_rules, y + mark.y);
                put(m_rules, mark.width);
                put(m_rules, mark.size);
                m_rules += "re f\n";
                continue;
            }
            if (mark.face != m_face || mark.size != m_size) {
                m_face = mark.face;
                m_size = mark.size;
                m_text += "/F";
                m_text += static_cast<char>('1' + static_cast<int>(mark.face));
                m_text += ' ';
                put(m_text, mark.size);
                m_text += "Tf\n";
            }
            m_text += mark.stretch == 1 ? "1 0 0 1 " : "1 0 0 ";
            if (mark.stretch != 1)
                put(m_text, mark.stretch);
            put(m_text, x + mark.x);
            put(m_text, y + mark.y);
            m_text += "Tm (";
            for (const char c : mark.codes) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte == '(' || byte == ')' || byte == '\\') {
                    m_text += '\\';
                    m_text += c;
                } else if (byte >= 0x20 && byte < 0x7F) {
                    m_text += c;
                } else {
                    m_text += '\\';
                    m_text += static_cast<char>('0' + (byte >> 6));
                    m_text += static_cast<char>('0' + ((byte >> 3) & 7));
                    m_text += static_cast<char>('0' + (byte & 7));
                }
            }
            m_text += ") Tj\n";
        }
    }
    void rule(double x, double y, double width, double height)
    {
        Mark line;
        line.rule = true;
        line.x = x;
        line.y = y;
        line.width = width;
        line.size = height;
        Box box;
        box.marks.push_back(std::move(line));
        draw(box, 0, 0);
    }
    void extra(std::string_view content) { m_rules += content; }
    std::string finish() const { return "BT\n" + m_text + "ET\n" + m_rules; }

private:
    std::string m_text;
    std::string m_rules;
    Face m_face = Face::Roman;
    double m_size = -1;
};

struct Cell {
    Box number;
    Box item;
};

// The items and their numbers set at a size, with the widest number.
std::vector<Cell> set_items(const TypesetPage& page, double size, double& number_width)
{
    std::vector<Cell> cells;
    number_width = 0;
    for (std::size_t i = 0; i < page.items.size(); ++i) {
        Text number = number_text(static_cast<long long>(i + 1));
        number += u'.';
        cells.push_back({ text_box(number, Face::Roman, size), maths_box(page.items[i], size) });
        number_width = std::max(number_width, cells.back().number.width);
    }
    return cells;
}

// The numbered items in the page's columns, row by row, between top and bottom.
void draw_items(
    Content& content, const TypesetPage& page, double left, double right, double top, double bottom)
{
    const int columns = std::max(1, page.columns);
    const auto count = static_cast<int>(page.items.size());
    const int rows = (count + columns - 1) / columns;
    if (rows == 0)
        return;
    const double column_width = (right - left) / columns;

    // The largest size at which the widest item fits its column and every row its share of the
    // height, with room to work (or a key's gap) below it.
    double size = ProblemSize;
    double number_width = 0;
    std::vector<Cell> cells;
    for (;;) {
        cells = set_items(page, size, number_width);
        double widest = 0, height = 0, depth = 0;
        for (const Cell& cell : cells) {
            widest = std::max(widest, cell.item.width);
            height = std::max({ height, cell.item.height, cell.number.height });
            depth = std::max({ depth, cell.item.depth, cell.number.depth });
        }
        const double room = page.fill ? WorkingRoom : KeyRowGap;
        const double needed_width
            = number_width + (NumberGap + (columns > 1 ? ColumnGap : 0)) * size + widest;
        const double needed_height = rows * (height + depth + room * size);
        const double scale = std::min(column_width / needed_width, (top - bottom) / needed_height);
        if (scale >= 1 || size <= SmallestSize) {
            const double pitch = page.fill ? (top - bottom) / rows : height + depth + room * size;
            for (int i = 0; i < count; ++i) {
                const Cell& cell = cells[static_cast<std::size_t>(i)];
                const double x = left + (i % columns) * column_width;
                const double baseline = top - height - (i / columns) * pitch;
                content.draw(cell.number, x + number_width - cell.number.width, baseline);
                content.draw(cell.item, x + number_width + NumberGap * size, baseline);
            }
            return;
        }
        size = std::max(SmallestSize, std::floor(size * scale * 10) / 10);
    }
}

std::string page_content(const TypesetPage& page, const Paper& paper)
{
    Content content;
    const double left = Margin;
    const double right = paper.width - Margin;
    double top = paper.height - Margin;

    if (page.name_line) {
        const Box name = text_box(u"Name", Face::Roman, TextSize);
        const Box date = text_box(u"Date", Face::Roman, TextSize);
        const double baseline = top - name.height;
        const double gap = 0.3 * TextSize;
        content.draw(name, left, baseline);
        content.rule(left + name.width + gap, baseline - 1, NameRule, LineWeight);
        const double date_x = left + name.width + 2 * gap + NameRule + 2 * TextSize;
        content.draw(date, date_x, baseline);
        content.rule(date_x + date.width + gap, baseline - 1, DateRule, LineWeight);
        top = baseline - 2 * TextSize;
    }
    const Box title = text_box(page.title, Face::Bold, TitleSize);
    top -= title.height;
    content.draw(title, left, top);
    top -= title.depth + 0.6 * TitleSize;
    if (!page.instruction.empty()) {
        const Box line = text_box(page.instruction, Face::Roman, TextSize);
        top -= line.height;
        content.draw(line, left, top);
        top -= line.depth + 0.6 * TextSize;
    }
    top -= 0.4 * TitleSize;

    const Box label = text_box(page.label, Face::Roman, LabelSize);
    const double label_baseline = Margin + label.depth;
    content.draw(label, right - label.width, label_baseline);
    double bottom = label_baseline + label.height;
    if (page.footer_mark.side > 0) {
        const FooterBox box = footer_mark_box(paper, page.label, page.footer_mark.side);
        std::string mark = "q 1 0 0 1 ";
        put(mark, box.x);
        put(mark, box.y);
        mark += "cm\n" + page.footer_mark.content + "Q\n";
        content.extra(mark);
        bottom = std::max(bottom, box.y + box.side);
    }
    bottom += LabelSize;

    draw_items(content, page, left, right, top, bottom);
    return content.finish();
}

} // namespace

FooterBox footer_mark_box(const Paper& paper, TextView label, double side)
{
    const double label_width = text_box(label, Face::Roman, LabelSize).width;
    return { paper.width - Margin - label_width - LabelSize - side, Margin, side };
}

std::string typeset_pdf(
    const std::vector<TypesetPage>& pages, const Paper& paper, const PageFurniture& info)
{
    std::vector<std::string> contents;
    contents.reserve(pages.size());
    for (const TypesetPage& page : pages)
        contents.push_back(page_content(page, paper));
    return pdf_file(contents, Fonts, paper, &info);
}

} // namespace quillora
