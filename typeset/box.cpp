#include "typeset/box.h"

#include <algorithm>

namespace quillora {

namespace {

// The formula's proportions, in ems of its size: TeX's display style, whose fractions and
// scripts a reader of mathematics knows, on Times and Symbol.
constexpr double Numerator = 0.677; // raise of a numerator's baseline, at least
constexpr double Denominator = 0.686; // drop of a denominator's baseline, at least
constexpr double Superscript = 0.413; // raise of an exponent's baseline, at least
constexpr double SuperscriptDrop = 0.386; // below the top of a base that is not a character
constexpr double ScriptScale = 0.7;
constexpr double ScriptSpace = 0.05; // after an exponent
constexpr double BarOverhang = 0.05; // the bar beyond the wider of numerator and denominator
constexpr double NullDelimiter = 0.1; // beside a fraction's bar
constexpr double XHeight = 0.45;
// A parenthesis covers at least this share of what it encloses, and is at most this much
// shorter than all of it.
constexpr double DelimiterFactor = 0.901;
constexpr double DelimiterShortfall = 0.5;
constexpr double MediumSpace = 4.0 / 18;
constexpr double ThickSpace = 5.0 / 18;

const GlyphMetrics& symbol(char16_t c)
{
    return *glyph_metrics(Face::Symbol, c);
}

// The maths axis, where fraction bars and the middle of + and = lie: the middle of the minus
// sign, whose stroke also gives the bar its thickness.
double axis_height()
{
    const GlyphMetrics& minus = symbol(u'\u2212');
    return (minus.bottom + minus.top) / 2000.0;
}

double rule_thickness()
{
    const GlyphMetrics& minus = symbol(u'\u2212');
    return (minus.top - minus.bottom) / 1000.0;
}

// How an item spaces itself from its neighbours, as mathematical typesetting classes them.
enum class Class : unsigned char { Ord, Bin, Rel, Open, Close };

struct Atom {
    Box box;
    Class left = Class::Ord; // its class toward the item before it
    Class right = Class::Ord; // and toward the item after it
};

double space_between(Class left, Class right)
{
    if (left == Class::Bin || right == Class::Bin)
        return MediumSpace;
    if (left == Class::Rel || right == Class::Rel)
        return left == Class::Open || right == Class::Close || left == right ? 0 : ThickSpace;
    return 0;
}

// The atoms side by side with the spaces their classes call for. An operator with nothing to
// operate on before it (first, or after an operator, the relation or an opening parenthesis),
// or nothing after it, is set as an ordinary symbol, without spaces.
Box pack(std::vector<Atom>& atoms, double size)
{
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        Atom& atom = atoms[i];
        if (atom.left != Class::Bin)
            continue;
        const Class before = i == 0 ? Class::Open : atoms[i - 1].right;
        const Class after = i + 1 == atoms.size() ? Class::Close : atoms[i + 1].left;
        if (before == Class::Bin || before == Class::Rel || before == Class::Open
            || after == Class::Rel || after == Class::Close)
            atom.left = atom.right = Class::Ord;
    }
    Box out;
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        if (i > 0)
            out.width += space_between(atoms[i - 1].right, atoms[i].left) * size;
        Box& box = atoms[i].box;
        out.height = std::max(out.height, box.height);
        out.depth = std::max(out.depth, box.depth);
        const double width = box.width;
        out.place(std::move(box), out.width, 0);
        out.width += width;
    }
    return out;
}

void collect(const Maths& maths, double size, std::vector<Atom>& atoms);

Box row_box(const std::vector<Maths>& children, double size)
{
    std::vector<Atom> atoms;
    for (const Maths& child : children)
        collect(child, size, atoms);
    return pack(atoms, size);
}

Box glyph_box(char16_t c, Face face, double size)
{
    return text_box(TextView(&c, 1), face, size);
}

// A letter in italic, with its italic correction, so that what follows clears its overhang.
Box letter_box(TextView text, double size)
{
    Box box = text_box(text, Face::Italic, size);
    if (const GlyphMetrics* last
        = text.empty() ? nullptr : glyph_metrics(Face::Italic, text.back()))
        box.width += std::max(0, last->right - last->width) * size / 1000;
    return box;
}

// A parenthesis of Times at the baseline, or stretched about the axis to cover an enclosed
// part from depth to height.
Box parenthesis(char16_t c, double height, double depth, double size)
{
    Box box = glyph_box(c, Face::Roman, size);
    const double axis = axis_height() * size;
    const double half = std::max(height - axis, depth + axis);
    const double needed
        = std::max(2 * half * DelimiterFactor, 2 * half - DelimiterShortfall * size);
    const double natural = box.height + box.depth;
    if (needed <= natural)
        return box;
    const double stretch = needed / natural;
    const double middle = (box.height - box.depth) / 2; // the glyph's own, near the axis
    Mark& mark = box.marks.front();
    mark.stretch = stretch;
    mark.y = axis - middle * stretch;
    box.height = mark.y + box.height * stretch;
    box.depth = box.depth * stretch - mark.y;
    return box;
}

Box fraction_box(const Maths& numerator, const Maths& denominator, double size)
{
    Box top = maths_box(numerator, size);
    Box bottom = maths_box(denominator, size);
    const double axis = axis_height() * size;
    const double rule = rule_thickness() * size;
    const double clearance = 3 * rule;
    double up = Numerator * size;
    double down = Denominator * size;
    up += std::max(0.0, clearance - ((up - top.depth) - (axis + rule / 2)));
    down += std::max(0.0, clearance - ((axis - rule / 2) - (bottom.height - down)));

    const double bar = std::max(top.width, bottom.width) + 2 * BarOverhang * size;
    const double left = NullDelimiter * size;
    Box box;
    box.width = bar + 2 * left;
    box.height = up + top.height;
    box.depth = down + bottom.depth;
    box.place(std::move(top), left + (bar - top.width) / 2, up);
    box.place(std::move(bottom), left + (bar - bottom.width) / 2, -down);
    Mark line;
    line.rule = true;
    line.x = left;
    line.y = axis - rule / 2;
    line.width = bar;
    line.size = rule;
    box.marks.push_back(std::move(line));
    return box;
}

Atom atom(const Maths& maths, double size)
{
    using Kind = Maths::Kind;
    switch (maths.kind) {
    case Kind::Number:
        return { text_box(number_text(maths.value), Face::Roman, size) };
    case Kind::Variable:
        return { letter_box(maths.text, size) };
    case Kind::Words:
        return { text_box(maths.text, Face::Roman, size) };
    case Kind::Sign:
        return { glyph_box(u'\u2212', Face::Symbol, size) };
    case Kind::Plus:
        return { glyph_box(u'+', Face::Symbol, size), Class::Bin, Class::Bin };
    case Kind::Minus:
        return { glyph_box(u'\u2212', Face::Symbol, size), Class::Bin, Class::Bin };
    case Kind::Times:
        return { glyph_box(u'\u00D7', Face::Symbol, size), Class::Bin, Class::Bin };
    case Kind::Divide:
        return { glyph_box(u'\u00F7', Face::Symbol, size), Class::Bin, Class::Bin };
    case Kind::Equals:
        return { glyph_box(u'=', Face::Symbol, size), Class::Rel, Class::Rel };
    case Kind::Row:
        return { row_box(maths.children, size) };
    case Kind::Group: {
        Box inside = row_box(maths.children, size);
        Atom group { parenthesis(u'(', inside.height, inside.depth, size), Class::Open,
            Class::Close };
        Box& box = group.box;
        Box close = parenthesis(u')', inside.height, inside.depth, size);
        box.height = std::max({ box.height, inside.height, close.height });
        box.depth = std::max({ box.depth, inside.depth, close.depth });
        const double inside_width = inside.width;
        box.place(std::move(inside), box.width, 0);
        box.width += inside_width;
        const double close_width = close.width;
        box.place(std::move(close), box.width, 0);
        box.width += close_width;
        return group;
    }
    case Kind::Fraction:
        return { fraction_box(maths.children[0], maths.children[1], size) };
    case Kind::Power: {
        const Maths& base = maths.children[0];
        Atom power = atom(base, size);
        const double script_size = size * ScriptScale;
        Box script = maths_box(maths.children[1], script_size);
        const bool character = base.kind == Kind::Number || base.kind == Kind::Variable;
        const double raise
            = std::max({ character ? 0 : power.box.height - SuperscriptDrop * script_size,
                Superscript * size, script.depth + XHeight * size / 4 });
        Box& box = power.box;
        box.height = std::max(box.height, raise + script.height);
        box.depth = std::max(box.depth, script.depth - raise);
        const double script_width = script.width;
        box.place(std::move(script), box.width, raise);
        box.width += script_width + ScriptSpace * size;
        return power;
    }
    }
    return {};
}

void collect(const Maths& maths, double size, std::vector<Atom>& atoms)
{
    if (maths.kind == Maths::Kind::Row) {
        for (const Maths& child : maths.children)
            collect(child, size, atoms);
        return;
    }
    atoms.push_back(atom(maths, size));
}

} // namespace

const GlyphMetrics* glyph_metrics(Face face, char16_t c)
{
    const GlyphMetrics* table = metrics::Roman;
    std::size_t size = metrics::RomanSize;
    switch (face) {
    case Face::Roman:
        break;
    case Face::Italic:
        table = metrics::Italic;
        size = metrics::ItalicSize;
        break;
    case Face::Bold:
        table = metrics::Bold;
        size = metrics::BoldSize;
        break;
    case Face::Symbol:
        table = metrics::Symbol;
        size = metrics::SymbolSize;
        break;
    }
    // printable ASCII, or a to z in italic, lie in order at the start of their tables
    const char16_t first = table[0].character;
    if (c >= first && c - first < static_cast<int>(size) && table[c - first].character == c)
        return &table[c - first];
    const GlyphMetrics* end = table + size;
    const GlyphMetrics* found = std::lower_bound(table, end, c,
        [](const GlyphMetrics& glyph, char16_t wanted) { return glyph.character < wanted; });
    return found != end && found->character == c ? found : nullptr;
}

void Box::place(const Box& other, double x, double y)
{
    marks.reserve(marks.size() + other.marks.size());
    for (const Mark& mark : other.marks) {
        marks.push_back(mark);
        marks.back().x += x;
        marks.back().y += y;
    }
}

void Box::scale(double factor)
{
    width *= factor;
    height *= factor;
    depth *= factor;
    for (Mark& mark : marks) {
        mark.x *= factor;
        mark.y *= factor;
        mark.width *= factor;
        mark.size *= factor;
    }
}

void Box::place(Box&& other, double x, double y)
{
    if (marks.empty() && x == 0 && y == 0) {
        marks = std::move(other.marks);
        return;
    }
    marks.reserve(marks.size() + other.marks.size());
    for (Mark& mark : other.marks) {
        mark.x += x;
        mark.y += y;
        marks.push_back(std::move(mark));
    }
}

Box text_box(TextView text, Face face, double size)
{
    Box box;
    Mark run;
    run.face = face;
    run.size = size;
    run.codes.reserve(text.size());
    int width = 0, top = 0, bottom = 0;
    for (const char16_t c : text) {
        const GlyphMetrics* glyph = glyph_metrics(face, c);
        if (!glyph) // "?" has the same byte in every face's encoding
            glyph = glyph_metrics(Face::Roman, u'?');
        run.codes += static_cast<char>(glyph->code);
        width += glyph->width;
        if (glyph->top > glyph->bottom) { // a blank has no ink
            top = std::max<int>(top, glyph->top);
            bottom = std::min<int>(bottom, glyph->bottom);
        }
    }
    run.width = box.width = width * size / 1000;
    box.height = top * size / 1000;
    box.depth = -bottom * size / 1000;
    box.marks.push_back(std::move(run));
    return box;
}

Box maths_box(const Maths& maths, double size)
{
    std::vector<Atom> atoms;
    collect(maths, size, atoms);
    return pack(atoms, size);
}

} // namespace quillora
