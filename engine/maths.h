#pragma once

#include "engine/text.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace quillora {

/// A piece of mathematics as a small tree: a problem or an answer as the typesetter sets it, as
/// MathML shows it and as the marker reads it. Answer keys' text is written from these trees;
/// the worksheet text never is (its blank-counted layout is the generators' own).
///
/// Signs are nodes of their own: -3 is a Sign before the Number 3, and x - 3 is x, Minus, 3, so
/// every Number is whole and not negative. Factors side by side in a Row are multiplied.
struct Maths {
    enum class Kind : unsigned char {
        /// A whole number, value >= 0.
        Number,
        /// A letter, text (always "x" on the sheets).
        Variable,
        /// A leading minus sign: "-3", "-x", "-(x + 1)".
        Sign,
        /// Binary operators and the relation.
        Plus,
        Minus,
        Times,
        Divide,
        Equals,
        /// Words set as text, not as mathematics: "no solution", "every x".
        Words,
        /// The children side by side.
        Row,
        /// The children side by side in parentheses.
        Group,
        /// children[0] over children[1].
        Fraction,
        /// children[0] raised to children[1].
        Power,
    };

    Kind kind = Kind::Row;
    /// Number: the number.
    long long value = 0;
    /// Variable and Words: the text.
    Text text;
    std::vector<Maths> children;

    static Maths number(long long value);
    static Maths variable(TextView name = u"x");
    static Maths symbol(Kind kind);
    static Maths words(TextView text);
    static Maths row(std::initializer_list<Maths> children = {});
    static Maths group(Maths inside);
    static Maths fraction(Maths numerator, Maths denominator);
    static Maths power(Maths base, Maths exponent);

    /// Appends a child to a Row or Group (or a Row's last child, when that is a Row).
    Maths& operator+=(Maths child);

    friend bool operator==(const Maths&, const Maths&) = default;
};

/// A whole number with its sign: the Number, or a Sign and the Number in a Row.
Maths signed_number(long long value);

/// p/q in lowest terms, the sign before it: a Number for a whole number, else a Fraction, each
/// after a Sign when negative. q must not be 0.
Maths rational(long long p, long long q);

/// ax² + bx + c as the worksheets write it: descending powers, zero terms left out, no
/// coefficient 1, a negative later term as Minus and its magnitude; 0 when every term is 0.
Maths polynomial(long long a, long long b, long long c);

/// The solution of an equation that reduces to qx = p: "x = p/q" in lowest terms, and for q = 0
/// the words "every x" (p = 0) or "no solution".
Maths solution(long long p, long long q);

/// The tree as the keys' text writes it: operators and the relation between blanks (" + ",
/// " - ", " • ", " ÷ ", " = "), a Sign as "-", a Fraction as "p/q", a Power of 2 as "²", a
/// Group in parentheses, and a Number followed by a Fraction (a mixed number) with one blank
/// between them: "x = -3/4", "6(5x - 3)(5x + 4)", "(9x - 1)²", "17/6 = 2 5/6".
Text maths_text(const Maths& maths);

/// Appends maths_text(maths) to out.
void append_maths_text(Text& out, const Maths& maths);

/// The tree as one MathML <math> element (UTF-8) in display style, so fractions are full size:
/// numbers as <mn>, x as an <mi> (italic), a sign and the operators as <mo> (a true minus
/// U+2212, × and ÷), a Group as its children between parentheses that grow with them, <mfrac>,
/// <msup>, and Words as <mtext>; text escaped.
std::string maths_mathml(const Maths& maths);

/// Appends maths_mathml(maths) to out.
void append_maths_mathml(std::string& out, const Maths& maths);

/// Appends the text as UTF-8 with &, < and > written as entities, as MathML and HTML take it.
void append_markup_text(std::string& out, TextView text);

} // namespace quillora
