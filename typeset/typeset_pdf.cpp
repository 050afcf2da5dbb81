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
constexpr double TextSize = 11; // the name line
constexpr double InstructionSize = 12;
constexpr double LabelSize = 9;
constexpr double CaptionSize = 7; // at most; smaller where a long caption needs it
constexpr double NameRule = 180; // the lines to write the name and the date on
constexpr double DateRule = 90;
constexpr double LineWeight = 0.5;
// Room between an item's number and the item, and between columns, in ems of the items' size.
constexpr double NumberGap = 0.5;
constexpr double ColumnGap = 1.5;
constexpr double AnswerGap = 2; // between a key's problem and its answer
constexpr int MostColumns = 4;
// Room to work under each problem of a sheet, and between a key's rows, at least.
constexpr double WorkingRoom = 2;
constexpr double KeyRowGap = 0.9;
// The extent of a line of Times above and below its baseline, in ems, as readers measure it:
// lines of text are placed by it, so that no line's box leaves the margins.
constexpr double Ascent = 0.683;
constexpr double Descent = 0.217;

constexpr std::string_view Fonts[] = {
    "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Italic /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Bold /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>",
};

// Positions are kept in whole hundredths of a point (1/7200 in), so that moves relative to the
// last one add up exactly.
long long hundredths(double value)
{
    return static_cast<long long>(value * 100 + (value < 0 ? -0.5 : 0.5));
}

// A number of hundredths in the fewest characters ("12", "-3.5", "0.25") and a blank, written
// by hand: the web page's library has no floating-point to_chars, and a page holds thousands.
void put_hundredths(std::string& out, long long value)
{
    const bool negative = value < 0;
    if (negative)
        value = -value;
    char buffer[32];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    *--p = ' ';
    const int cents = static_cast<int>(value % 100);
    value /= 100;
    if (cents != 0) {
        if (cents % 10 != 0)
            *--p = static_cast<char>('0' + cents % 10);
        *--p = static_cast<char>('0' + cents / 10);
        *--p = '.';
    }
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    if (negative)
        *--p = '-';
    out.append(p, end);
}

void put(std::string& out, double value)
{
    put_hundredths(out, hundredths(value));
}

// A page's content stream: the glyph runs in one text object, then the rules. Runs of one face
// and size that carry on one another are joined, and a run goes where the text before it ended
// or is moved there from where the last move left it, so a page stays small.
class Content {
public:
    Content() { m_text.reserve(16384); }

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
            const double at_x = x + mark.x;
            const double at_y = y + mark.y;
            if (m_pending && mark.stretch == 1 && m_run.stretch == 1 && mark.face == m_run.face
                && mark.size == m_run.size && std::abs(at_y - m_run.y) < Touching
                && std::abs(at_x - (m_run.x + m_run.width)) < Touching) {
                m_run.codes += mark.codes;
                m_run.width += mark.width;
                continue;
            }
            flush();
            m_run = mark;
            m_run.x = at_x;
            m_run.y = at_y;
            m_pending = true;
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
    std::string finish()
    {
        flush();
        std::string out;
        out.reserve(m_text.size() + m_rules.size() + 8);
        out += "BT\n";
        out += m_text;
        out += "ET\n";
        out += m_rules;
        return out;
    }

private:
    static constexpr double Touching = 0.001;

    void flush()
    {
        if (!m_pending)
            return;
        m_pending = false;
        const Mark& run = m_run;
        if (run.face != m_face || run.size != m_size) {
            m_face = run.face;
            m_size = run.size;
            m_text += "/F";
            m_text += static_cast<char>('1' + static_cast<int>(run.face));
            m_text += ' ';
            put(m_text, run.size);
            m_text += "Tf ";
        }
        const long long at_x = hundredths(run.x);
        const long long at_y = hundredths(run.y);
        if (run.stretch != 1 || m_stretched) {
            // a stretched run scales what follows it, so runs around it are placed afresh
            m_text += "1 0 0 ";
            put(m_text, run.stretch);
            put_hundredths(m_text, at_x);
            put_hundredths(m_text, at_y);
            m_text += "Tm ";
            m_stretched = run.stretch != 1;
            m_x = at_x;
            m_y = at_y;
        } else if (at_y != m_y || std::abs(run.x - m_end) >= Touching) {
            put_hundredths(m_text, at_x - m_x);
            put_hundredths(m_text, at_y - m_y);
            m_text += "Td ";
            m_x = at_x;
            m_y = at_y;
        }
        m_end = run.x + run.width;
        m_text += '(';
        for (const char c : run.codes) {
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

    Mark m_run; // waiting to be written, as more may join it
    bool m_pending = false;
    std::string m_text;
    std::string m_rules;
    Face m_face = Face::Roman;
    double m_size = -1;
    // where the last move put the text, in hundredths of a point, and where the text ended
    long long m_x = 0;
    long long m_y = 0;
    double m_end = -1;
    bool m_stretched = false;
};

struct Cell {
    Box number;
    Box item;
    Box answer;
};

// The page's items (and answers) set in cells at a size, and the extent of their widest and
// tallest parts.
struct Cells {
    std::vector<Cell> cells;
    double number_width = 0;
    double item_width = 0;
    double answer_width = 0;
    double height = 0;
    double depth = 0;

    void scale(double factor)
    {
        for (Cell& cell : cells) {
            for (Box* box : { &cell.number, &cell.item, &cell.answer })
                box->scale(factor);
        }
        for (double* measure : { &number_width, &item_width, &answer_width, &height, &depth })
            *measure *= factor;
    }
};

Cells set_cells(const TypesetPage& page, double size)
{
    Cells set;
    for (std::size_t i = 0; i < page.items.size(); ++i) {
        Text number = number_text(static_cast<long long>(i + 1));
        number += u'.';
        set.cells.push_back({ text_box(number, Face::Roman, size), maths_box(page.items[i], size),
            i < page.answers.size() ? maths_box(page.answers[i], size) : Box {} });
        const Cell& cell = set.cells.back();
        set.number_width = std::max(set.number_width, cell.number.width);
        set.item_width = std::max(set.item_width, cell.item.width);
        set.answer_width = std::max(set.answer_width, cell.answer.width);
        set.height
            = std::max({ set.height, cell.number.height, cell.item.height, cell.answer.height });
        set.depth = std::max({ set.depth, cell.number.depth, cell.item.depth, cell.answer.depth });
    }
    return set;
}

// How much the cells must shrink to fit in columns: 1 or more when they fit at their size.
double fit(const Cells& set, int columns, double size, bool fill, double width, double height)
{
    const auto count = static_cast<int>(set.cells.size());
    const int rows = (count + columns - 1) / columns;
    const double across = set.number_width + NumberGap * size + set.item_width
        + (set.answer_width > 0 ? AnswerGap * size + set.answer_width : 0)
        + (columns > 1 ? ColumnGap * size : 0);
    const double down = rows * (set.height + set.depth + (fill ? WorkingRoom : KeyRowGap) * size);
    return std::min(width / columns / across, height / down);
}

// The numbered items in the page's columns, row by row, between top and bottom, each answer
// beside its item, the answers of a column in line.
void draw_items(
    Content& content, const TypesetPage& page, double left, double right, double top, double bottom)
{
    const auto count = static_cast<int>(page.items.size());
    if (count == 0)
        return;
    double size = ProblemSize;
    Cells set = set_cells(page, size);
    // the page's columns, or as few as let the items keep their size (else the most room)
    int columns = page.columns;
    if (columns <= 0) {
        columns = 1;
        for (int c = 2;
             c <= MostColumns && fit(set, columns, size, page.fill, right - left, top - bottom) < 1;
             ++c) {
            if (fit(set, c, size, page.fill, right - left, top - bottom)
                > fit(set, columns, size, page.fill, right - left, top - bottom))
                columns = c;
        }
    }
    // the largest size, in half points, at which the widest item fits its column and every row
    // its share of the height, with room to work (or a key's gap) below it
    for (double scale; (scale = fit(set, columns, size, page.fill, right - left, top - bottom)) < 1
         && size > SmallestSize;) {
        const double smaller = std::max(SmallestSize, std::floor(size * scale * 2) / 2);
        set.scale(smaller / size); // every measure of a layout is in proportion to its size
        size = smaller;
    }

    const int rows = (count + columns - 1) / columns;
    const double pitch
        = page.fill ? (top - bottom) / rows : set.height + set.depth + KeyRowGap * size;
    const double column_width = (right - left) / columns;
    const double item_x = set.number_width + NumberGap * size;
    const double answer_x = item_x + set.item_width + AnswerGap * size;
    for (int i = 0; i < count; ++i) {
        const Cell& cell = set.cells[static_cast<std::size_t>(i)];
        const double x = left + (i % columns) * column_width;
        const double baseline = top - set.height - (i / columns) * pitch;
        content.draw(cell.number, x + set.number_width - cell.number.width, baseline);
        content.draw(cell.item, x + item_x, baseline);
        content.draw(cell.answer, x + answer_x, baseline);
    }
}

// A line of words in Times, a letter standing alone (the x of "Solve for x.") in italic, as the
// problems set it.
Box words_box(TextView text, double size)
{
    Box line;
    auto letter = [&](std::size_t i) {
        auto word_end = [](char16_t c) { return c == u' ' || c == u'.' || c == u',' || c == u':'; };
        return text[i] >= u'a' && text[i] <= u'z' && (i == 0 || text[i - 1] == u' ')
            && (i + 1 == text.size() || word_end(text[i + 1]));
    };
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = start + 1;
        while (end < text.size() && !letter(end) && !letter(start))
            ++end;
        Box part = text_box(
            text.substr(start, end - start), letter(start) ? Face::Italic : Face::Roman, size);
        line.height = std::max(line.height, part.height);
        line.depth = std::max(line.depth, part.depth);
        const double width = part.width;
        line.place(std::move(part), line.width, 0);
        line.width += width;
        start = end;
    }
    return line;
}

} // namespace

std::string typeset_page(const TypesetPage& page, const Paper& paper)
{
    Content content;
    const double left = Margin;
    const double right = paper.width - Margin;
    double top = paper.height - Margin;

    if (page.name_line) {
        const Box name = text_box(u"Name", Face::Roman, TextSize);
        const Box date = text_box(u"Date", Face::Roman, TextSize);
        const double baseline = top - Ascent * TextSize;
        const double gap = 0.3 * TextSize;
        content.draw(name, left, baseline);
        content.rule(left + name.width + gap, baseline - 1, NameRule, LineWeight);
        const double date_x = left + name.width + 2 * gap + NameRule + 2 * TextSize;
        content.draw(date, date_x, baseline);
        content.rule(date_x + date.width + gap, baseline - 1, DateRule, LineWeight);
        top = baseline - Descent * TextSize - TextSize;
    }
    const Box title = text_box(page.title, Face::Bold, TitleSize);
    top -= Ascent * TitleSize;
    content.draw(title, left, top);
    top -= Descent * TitleSize + 0.4 * TitleSize;
    if (!page.instruction.empty()) {
        const Box line = words_box(page.instruction, InstructionSize);
        top -= Ascent * InstructionSize;
        content.draw(line, left, top);
        top -= Descent * InstructionSize + 0.4 * InstructionSize;
    }
    top -= 0.4 * TitleSize;

    // the footer from the margin up: the mark's caption, then the label and the mark's square
    double footer = Margin;
    const FooterMark& mark = page.footer_mark;
    if (!mark.caption.empty()) {
        Box caption = text_box(mark.caption, Face::Roman, CaptionSize);
        const double size = CaptionSize * std::min(1.0, (right - left) / caption.width);
        if (size < CaptionSize)
            caption = text_box(mark.caption, Face::Roman, size);
        content.draw(caption, right - caption.width, footer + Descent * size);
        footer += (Ascent + Descent) * size + 0.5 * LabelSize;
    }
    const Box label = text_box(page.label, Face::Roman, LabelSize);
    const double label_baseline = footer + Descent * LabelSize;
    content.draw(label, right - label.width, label_baseline);
    double bottom = label_baseline + Ascent * LabelSize;
    if (mark.side > 0) {
        std::string square = "q 1 0 0 1 ";
        put(square, right - label.width - LabelSize - mark.side);
        put(square, footer);
        square += "cm\n" + mark.content + "Q\n";
        content.extra(square);
        bottom = std::max(bottom, footer + mark.side);
    }
    bottom += LabelSize;

    draw_items(content, page, left, right, top, bottom);
    return content.finish();
}

std::span<const std::string_view> typeset_fonts()
{
    return Fonts;
}

} // namespace quillora
