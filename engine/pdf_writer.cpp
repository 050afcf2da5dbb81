#include "engine/pdf_writer.h"

#include <algorithm>
#include <cstdio>

namespace quillora {

namespace {

// The standard Courier: every glyph 600 of 1000 units wide.
constexpr double CourierAdvance = 0.6;

std::string number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    return buffer;
}

// A line as a PDF string in Windows-1252: the delimiters escaped, other bytes outside printable
// ASCII as octal escapes.
void put_string(std::string& out, TextView line)
{
    out += '(';
    for (const char16_t c : line) {
        const unsigned char byte = windows_1252_byte(c);
        if (byte == '(' || byte == ')' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", byte);
            out += escape;
        }
    }
    out += ')';
}

// A text string of the document information: UTF-16BE with its byte order mark, in hex.
std::string info_string(TextView text)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    for (const char16_t c : text) {
        for (const int shift : { 12, 8, 4, 0 })
            out += Digits[(c >> shift) & 0xF];
    }
    return out + '>';
}

// A line of furniture in Courier at the size, right-aligned, its line's bottom at y.
void put_right_line(std::string& content, TextView text, double size, double y, const Paper& paper)
{
    const double width = static_cast<double>(text.size()) * CourierAdvance * size;
    content += "BT /F1 " + number(size) + " Tf " + number(paper.width - PrintMargin - width) + ' '
        + number(y + size * (FixedPitchLineSpacing - FixedPitchAscent)) + " Td ";
    put_string(content, text);
    content += " Tj ET\n";
}

// The name line at the top of the page and the sheet's footer at the bottom, right-aligned,
// all in the margin and none scaled with the sheet. A mark puts its caption at the bottom, the
// footer above it and the mark's square to the footer's left; reserve is then set to how far
// the square reaches above the bottom margin, which the sheet leaves free.
std::string furniture_content(const PageFurniture& furniture, TextView footer,
    const FooterMark* mark, const Paper& paper, double& reserve)
{
    std::string content;
    if (furniture.name_line) {
        content += "BT /F1 " + number(NameLineSize) + " Tf " + number(PrintMargin) + ' '
            + number(paper.height - FurnitureInset - NameLineSize * FixedPitchAscent) + " Td ";
        put_string(content, NameLine);
        content += " Tj ET\n";
    }
    double bottom = FurnitureInset;
    if (mark && !mark->caption.empty()) {
        const double size = fixed_pitch_caption_size(mark->caption, paper.width - 2 * PrintMargin);
        put_right_line(content, mark->caption, size, bottom, paper);
        bottom += size * FixedPitchLineSpacing + FooterSize / 4;
    }
    if (!footer.empty())
        put_right_line(content, footer, FooterSize, bottom, paper);
    if (mark && mark->side > 0) {
        const double x = paper.width - PrintMargin
            - static_cast<double>(footer.size()) * CourierAdvance * FooterSize - FooterSize
            - mark->side;
        content
            += "q 1 0 0 1 " + number(x) + ' ' + number(bottom) + " cm\n" + mark->content + "Q\n";
        reserve = std::max(0.0, bottom + mark->side + FooterSize - PrintMargin);
    }
    return content;
}

// The content streams of one worksheet's pages.
void add_pages(std::vector<std::string>& pages, TextView sheet, double size, const Paper& paper,
    const std::string& furniture, double reserve)
{
    const std::vector<TextView> lines = text_lines(sheet);
    const double width = static_cast<double>(longest_line(sheet)) * CourierAdvance * size;
    const double printable = paper.height - 2 * PrintMargin;
    double scale = fit_scale(width, paper.width - 2 * PrintMargin);
    const double line_height = size * FixedPitchLineSpacing;

    std::vector<double> heights(lines.size(), line_height);
    std::vector<bool> blank;
    for (const TextView line : lines)
        blank.push_back(is_blank_line(line));
    const std::vector<std::size_t> starts = page_starts(heights, blank, printable / scale);
    // Room for a footer mark: the sheet keeps its pages and shrinks, where it must, until the
    // fullest page's last text line ends above the mark.
    for (std::size_t p = 0; reserve > 0 && p < starts.size(); ++p) {
        std::size_t end = p + 1 < starts.size() ? starts[p + 1] : lines.size();
        while (end > starts[p] && blank[end - 1])
            --end;
        const double used = static_cast<double>(end - starts[p]) * line_height;
        scale = std::min(scale, (printable - reserve) / std::max(used, line_height));
    }

    for (std::size_t p = 0; p < starts.size(); ++p) {
        const std::size_t end = p + 1 < starts.size() ? starts[p + 1] : lines.size();
        // Origin at the printable area's top left corner, in the worksheet's scaled units.
        std::string content = "q " + number(scale) + " 0 0 " + number(scale) + ' '
            + number(PrintMargin) + ' ' + number(paper.height - PrintMargin) + " cm\nBT /F1 "
            + number(size) + " Tf " + number(line_height) + " TL 0 "
            + number(-size * FixedPitchAscent) + " Td\n";
        for (std::size_t i = starts[p]; i < end; ++i) {
            if (!blank[i]) {
                put_string(content, lines[i]);
                content += " Tj ";
            }
            content += "T*\n";
        }
        content += "ET Q\n" + furniture;
        pages.push_back(std::move(content));
    }
}

} // namespace

std::string worksheets_pdf(const std::vector<Text>& sheets, double point_size, const Paper& paper,
    const PageFurniture* furniture)
{
    std::vector<std::string> pages;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const TextView footer = furniture && i < furniture->footers.size()
            ? TextView(furniture->footers[i])
            : TextView();
        const FooterMark* mark
            = furniture && i < furniture->marks.size() ? &furniture->marks[i] : nullptr;
        double reserve = 0;
        const std::string around = furniture
            ? furniture_content(*furniture, footer, mark, paper, reserve)
            : std::string();
        add_pages(pages, sheets[i], point_size, paper, around, reserve);
    }

    constexpr std::string_view Courier
        = "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>";
    return pdf_file(pages, { &Courier, 1 }, paper, furniture);
}

PdfPages::PdfPages(std::span<const std::string_view> fonts, const Paper& paper, std::size_t count,
    std::size_t bytes)
{
    // Objects: 1 catalogue, 2 page tree, the fonts, then each page and its content stream.
    m_out.reserve(bytes + 512 + 128 * fonts.size() + 96 * count);
    m_out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    const std::size_t first_page = 3 + fonts.size();
    object("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (std::size_t p = 0; p < count; ++p)
        kids += std::to_string(first_page + 2 * p) + " 0 R ";
    object("<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(count)
        + " /MediaBox [0 0 " + number(paper.width) + ' ' + number(paper.height) + "] >>");
    m_resources = "<< /Font <<";
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        object(fonts[f]);
        m_resources += " /F" + std::to_string(f + 1) + ' ' + std::to_string(3 + f) + " 0 R";
    }
    m_resources += " >> >>";
}

void PdfPages::object(std::string_view body)
{
    m_offsets.push_back(m_out.size());
    m_out += std::to_string(m_offsets.size());
    m_out += " 0 obj\n";
    m_out += body;
    m_out += "\nendobj\n";
}

void PdfPages::add(std::string_view content)
{
    // the page object's number, its content stream's the next
    const std::size_t page = m_offsets.size() + 1;
    object("<< /Type /Page /Parent 2 0 R /Resources " + m_resources + " /Contents "
        + std::to_string(page + 1) + " 0 R >>");
    m_offsets.push_back(m_out.size());
    m_out += std::to_string(m_offsets.size()) + " 0 obj\n<< /Length "
        + std::to_string(content.size()) + " >>\nstream\n";
    m_out += content;
    m_out += "endstream\nendobj\n";
}

std::string PdfPages::finish(const PageFurniture* info) &&
{
    if (info)
        object("<< /Title " + info_string(info->title) + " /Subject " + info_string(info->subject)
            + " /Creator (Quillora " QUILLORA_VERSION ") >>");

    const std::size_t xref = m_out.size();
    m_out += "xref\n0 " + std::to_string(m_offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : m_offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        m_out += entry;
    }
    m_out += "trailer\n<< /Size " + std::to_string(m_offsets.size() + 1) + " /Root 1 0 R"
        + (info ? " /Info " + std::to_string(m_offsets.size()) + " 0 R" : std::string())
        + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return std::move(m_out);
}

std::string pdf_file(const std::vector<std::string>& pages, std::span<const std::string_view> fonts,
    const Paper& paper, const PageFurniture* info)
{
    std::size_t bytes = 0;
    for (const std::string& page : pages)
        bytes += page.size();
    PdfPages file(fonts, paper, pages.size(), bytes);
    for (const std::string& page : pages)
        file.add(page);
    return std::move(file).finish(info);
}

} // namespace quillora
