#pragma once

#include "engine/family.h"
#include "engine/page_layout.h"
#include "engine/text.h"

#include <string>
#include <vector>

namespace quillora {

/// A stretch of text with one character format. Line feeds in the text end paragraphs.
struct TextRun {
    Text text;
    Text font_family = u"Courier New";
    double point_size = FreshWindowFontSize;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

/// Writes runs as a rich-text (RTF) document: "\ { }" escaped, every non-ASCII character as
/// \uN with a Windows-1252 fallback, line feeds as paragraph ends, blanks and tabs kept. Sizes are
/// written in whole half-points, rounded to the nearest. The page setup names the paper and side
/// margins that fit the longest line, and top and bottom margins that leave room for the whole
/// document where a page can hold it; every line of a block of consecutive non-blank lines but
/// its last is kept with the next, so a reader never splits a stacked fraction or a row across
/// two pages, and blank lines after the last text line are one point high, so they never make a
/// page of their own.
std::string write_rtf(const std::vector<TextRun>& runs, const Paper& paper);

/// The rich text that a fresh worksheet window holds after a run: the whole text in
/// Courier New at the given size.
std::string worksheet_rtf(const Text& text, double point_size, const Paper& paper);

/// Several worksheets in one document, each as worksheet_rtf writes it, each from a new page;
/// with furniture, the name line above each sheet and its footer, small and right-aligned, below
/// it, all on the sheet's one page where the paper can hold it.
std::string worksheets_rtf(const std::vector<Text>& sheets, double point_size, const Paper& paper,
    const PageFurniture* furniture = nullptr);

} // namespace quillora
