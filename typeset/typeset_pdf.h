#pragma once

#include "engine/maths.h"
#include "engine/page_layout.h"
#include "engine/text.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// Something drawn in a page's footer beside its label, such as a version's QR code: a square
/// of the given side in points, and the PDF content that draws it, in the square's own
/// coordinates (origin at its lower left corner, points).
struct FooterMark {
    double side = 0;
    std::string content;
};

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
    FooterMark footer_mark;
};

/// Where a page's footer mark of the given side lies on the paper: a square on the bottom
/// margin, to the left of the label, which stays where it is without one.
struct FooterBox {
    double x = 0;
    double y = 0;
    double side = 0;
};
FooterBox footer_mark_box(const Paper& paper, TextView label, double side);

/// The content stream of a typeset page on the paper. A set's pages are set one at a time, so
/// that only one page's mathematics is held at once.
std::string typeset_page(const TypesetPage& page, const Paper& paper);

/// The fonts typeset pages name, for their PDF file: the standard Times-Roman, Times-Italic,
/// Times-Bold and Symbol, named and not embedded.
std::span<const std::string_view> typeset_fonts();

} // namespace quillora
