#pragma once

#include "dialog/frame.h"
#include "dialog/text.h"

#include <string>
#include <vector>

namespace quillora {

/// A stretch of text with one character format. Line feeds in the text end paragraphs.
struct TextRun {
    Text text;
    Text font_family = u"Courier New";
    double point_size = 9.75;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

/// Writes runs as a rich-text (RTF) document: "\ { }" escaped, every non-ASCII character as
/// \uN with a Windows-1252 fallback, line feeds as paragraph ends, blanks and tabs kept.
/// Sizes are written in whole half-points, rounded to the nearest.
std::string write_rtf(const std::vector<TextRun>& runs);

/// The rich text that a fresh worksheet window holds after a run: the whole text in
/// Courier New at the given size.
std::string worksheet_rtf(const Text& text, double point_size);

} // namespace quillora
