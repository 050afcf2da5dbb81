#pragma once

#include "engine/maths.h"
#include "engine/text.h"
#include "typeset/font_metrics.h"

#include <string>
#include <vector>

namespace quillora {

/// What a typeset page is drawn with: a run of glyphs of one face and size on one baseline, or
/// a filled rule (a fraction bar, a line to write on). Coordinates in points, y upwards.
struct Mark {
    /// A run: the start of its baseline; a rule: its lower left corner.
    double x = 0;
    double y = 0;
    /// A run: its advance; a rule: its width.
    double width = 0;
    /// A run: its font size; a rule: its height.
    double size = 0;
    /// A run's vertical scale (a parenthesis stretched to what it encloses), 1 for none.
    double stretch = 1;
    Face face = Face::Roman;
    bool rule = false;
    /// A run's glyphs, as bytes of its font's encoding.
    std::string codes;
};

/// Marks laid out around an origin on a baseline: the box reaches width to the right, height
/// above the baseline and depth below it.
struct Box {
    double width = 0;
    double height = 0;
    double depth = 0;
    std::vector<Mark> marks;

    /// Adds other's marks, its origin put at (x, y) of this box's coordinates; the extent is
    /// the caller's to set.
    void place(const Box& other, double x, double y);
    void place(Box&& other, double x, double y);
    /// Scales the box and its marks about its origin, as though set at factor times its size.
    void scale(double factor);
};

/// Text in one face at a size: its advance, and the height and depth of its ink. A character
/// the face lacks is set as "?".
Box text_box(TextView text, Face face, double size);

/// Mathematics set as a displayed formula at a size (fractions at full size, like \dfrac):
/// numbers upright, letters italic, operators and the relation from Symbol with the spaces of
/// mathematical typesetting (medium around an operator, thick around the relation, none after
/// a leading sign), fractions centred over a rule on the maths axis, powers at 70 % and
/// raised, and parentheses as tall as what they enclose.
Box maths_box(const Maths& maths, double size);

} // namespace quillora
