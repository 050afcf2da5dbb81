#pragma once

#include "engine/page_layout.h"
#include "engine/text.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// Worksheets as print-ready PDF pages, each worksheet from a new page: the PDF standard Courier
/// at the given size (Windows-1252 text, which holds every worksheet character), 0.5-in margins,
/// scaled down where the longest line is wider than the printable width, and page breaks by
/// page_starts, so no block of non-blank lines is split unless it is taller than a page. With
/// furniture, every page carries the name line and its sheet's footer in its margins, and the
/// document information names the title, the subject and Quillora as its creator.
std::string worksheets_pdf(const std::vector<Text>& sheets, double point_size, const Paper& paper,
    const PageFurniture* furniture = nullptr);

/// A PDF file of pages on the paper, written a page at a time as each is made, so a large set is
/// held only once: each page a content stream, with the fonts (font dictionaries) as the
/// resources /F1, /F2, … of every page. With info, the document information names its title,
/// its subject and Quillora as the creator.
class PdfPages {
public:
    /// A file of count pages, their content streams about bytes long in all.
    PdfPages(std::span<const std::string_view> fonts, const Paper& paper, std::size_t count,
        std::size_t bytes);
    /// Adds the next page; exactly count are added.
    void add(std::string_view content);
    std::string finish(const PageFurniture* info) &&;

private:
    void object(std::string_view body);

    std::string m_out;
    std::vector<std::size_t> m_offsets;
    std::string m_resources;
};

/// The PDF file of the pages, as PdfPages writes them.
std::string pdf_file(const std::vector<std::string>& pages, std::span<const std::string_view> fonts,
    const Paper& paper, const PageFurniture* info);

} // namespace quillora
