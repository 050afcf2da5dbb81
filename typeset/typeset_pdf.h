#pragma once

#include "engine/maths.h"
#include "engine/page_layout.h"
#include "engine/text.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// One typeset page: a pupil's sheet or an answer key.
struct TypesetPage {
    /// The heading.
    Text title;
    /// A line under the heading saying what to do; none when empty.
    Text instruction;
    /// The footer's label, e.g. "Version 3 of 30 · seed 102".
    Text label;
    /// A line for the pupil's name and the date above the heading.
    bool name_line = false;
    /// Items across a row, numbered from 1 row by row; 0 for as few as let them keep their size.
    int columns = 2;
    /// Rows spread down the whole page, with room to work below each (a sheet), or set close
    /// under each other (a key).
    bool fill = true;
    /// The problems of a sheet or a key, in order.
    std::vector<Maths> items;
    /// A key's answers, each set beside its problem; none on a sheet.
    std::vector<Maths> answers;
    /// Drawn on the bottom margin: the caption right-aligned, the label above it, the square
    /// to the label's left.
    FooterMark footer_mark;
};

/// The content stream of a typeset page on the paper. A set's pages are set one at a time, so
/// that only one page's mathematics is held at once.
std::string typeset_page(const TypesetPage& page, const Paper& paper);

/// The fonts typeset pages name, for their PDF file: the standard Times-Roman, Times-Italic,
/// Times-Bold and Symbol, named and not embedded.
std::span<const std::string_view> typeset_fonts();

} // namespace quillora
