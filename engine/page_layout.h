#pragma once

#include "engine/text.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// A sheet of paper in points (1/72 in), portrait.
struct Paper {
    std::string_view name;
    double width;
    double height;
};

inline constexpr Paper A4Paper { "a4", 595.2756, 841.8898 };
inline constexpr Paper LetterPaper { "letter", 612, 792 };

/// Margin on every side of a printout or PDF page, in points (0.5 in).
inline constexpr double PrintMargin = 36;

/// Smallest and largest side margins of a saved file's page setup, in points (0.2 in, 1 in).
inline constexpr double NarrowestFileMargin = 14.4;
inline constexpr double WidestFileMargin = 72;

/// Width of one character of Courier New and its metric twin Liberation Mono, in ems
/// (1229 of 2048 font units).
inline constexpr double FixedPitchAdvance = 1229.0 / 2048.0;

/// Line spacing and ascent of Courier New and Liberation Mono, in ems (2320 and 1705 of 2048).
inline constexpr double FixedPitchLineSpacing = 2320.0 / 2048.0;
inline constexpr double FixedPitchAscent = 1705.0 / 2048.0;

/// Something drawn in a page's footer beside its label, such as a version's QR code: a square
/// of the given side in points and the PDF content that draws it, in the square's own
/// coordinates (origin at its lower left corner, points); and a line of small type under both,
/// such as the address the code leads to. A page without a square or a line has no mark.
struct FooterMark {
    double side = 0;
    std::string content;
    Text caption;
};

/// What the tool prints around its worksheets and keys, in the page's margins: a line for the
/// pupil's name and the date above each sheet, a small footer on every page of a sheet (and
/// beside it its mark, where it has one), and the document's title and subject (PDF).
struct PageFurniture {
    bool name_line = false;
    /// One per sheet, written on each of its pages.
    std::vector<Text> footers;
    /// None, or one per sheet.
    std::vector<FooterMark> marks;
    Text title;
    Text subject;
};

/// The size of a footer mark's caption in a fixed-pitch face: the footer's, or smaller so that
/// it fits the width, in whole half points.
double fixed_pitch_caption_size(TextView caption, double width);

inline constexpr TextView NameLine = u"Name ______________________  Date ____________";
inline constexpr double NameLineSize = 10;
inline constexpr double FooterSize = 8;
/// Distance of the name line's top and the footer's bottom from the paper's edge (0.25 in);
/// the sheet's own margin, at least 0.5 in, lies beyond them.
inline constexpr double FurnitureInset = 18;

/// Whether a line holds nothing but blanks. Blank lines separate the blocks that a page break
/// must not split.
bool is_blank_line(TextView line);

/// The text split at line feeds; a text ending in a line feed ends with an empty line.
std::vector<TextView> text_lines(TextView text);

/// Characters in the longest line.
std::size_t longest_line(TextView text);

/// The first line of every page, starting with 0. Lines fill a page in order; a block of
/// consecutive non-blank lines that would cross the page's end starts the next page instead,
/// unless the block alone is taller than a page, which then breaks where the page is full.
/// Blank lines where a page breaks end that page, so every page but the first starts with a
/// text line. A line taller than a page gets a page of its own.
std::vector<std::size_t> page_starts(
    std::span<const double> line_heights, const std::vector<bool>& blank, double page_height);

/// Scale that makes a line of the given width fit the printable width: 1 when it fits already.
double fit_scale(double widest, double printable_width);

/// Side margin of a saved file's page, in points, for a longest line of the given width in
/// points: as wide as the line allows, at most 1 in, never
/// under 0.2 in (the line is then wider than the page and a reader scales or wraps it).
double file_side_margin(const Paper& paper, double longest_line_width);

} // namespace quillora
