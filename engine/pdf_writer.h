#pragma once

#include "engine/page_layout.h"
#include "engine/text.h"

#include <string>
#include <vector>

namespace quillora {

/// Worksheets as print-ready PDF pages, each worksheet from a new page: the PDF standard Courier
/// at the given size (Windows-1252 text, which holds every worksheet character), 0.5-in margins,
/// scaled down where the longest line is wider than the printable width, and page breaks by
/// page_starts, so no block of non-blank lines is split unless it is taller than a page.
std::string worksheets_pdf(const std::vector<Text>& sheets, double point_size, const Paper& paper);

} // namespace quillora
