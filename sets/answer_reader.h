#pragma once

#include "engine/text.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillora {

/// The longest answer read, in characters: a sheet's answers are a line or less.
inline constexpr std::size_t MaxAnswerLength = 200;
/// The deepest nesting read, of parentheses and exponents together.
inline constexpr int MaxAnswerDepth = 50;

/// A fraction p/q, exact: q > 0 and p, q coprime.
struct Rational {
    long long p = 0;
    long long q = 1;
    friend bool operator==(const Rational&, const Rational&) = default;
};

/// One node of a typed answer as read, with what it looked like: a sum, product or power of
/// numbers and x. Signs and divisions are flags on the node they apply to, so "3/-4" is a
/// Product of 3 and a Number 4 that divides and is negative.
struct AnswerNode {
    enum class Kind : unsigned char {
        /// value, whole or (decimal) written with a decimal point.
        Number,
        /// x.
        Variable,
        /// A mixed number "2 5/6": value, and the fraction part as written in numerator and
        /// denominator.
        Mixed,
        /// The children added, or subtracted when negative.
        Sum,
        /// The children multiplied, or divided by when divides.
        Product,
        /// children[0] raised to children[1].
        Power,
    };

    Kind kind = Kind::Number;
    /// A minus sign before the node, or before its term in a sum.
    bool negative = false;
    /// In a product: divides instead of multiplies.
    bool divides = false;
    /// A Number written with a decimal point.
    bool decimal = false;
    Rational value;
    long long numerator = 0;
    long long denominator = 1;
    std::vector<AnswerNode> children;
};

/// A typed answer as read, or why it could not be read.
struct ReadAnswer {
    enum class Words : unsigned char { None, NoSolution, EveryX };

    /// Empty when the answer could be read, otherwise a short reason ("too long").
    std::string_view unreadable;
    /// Words instead of mathematics: "no solution", "every x" and their usual rewordings.
    Words words = Words::None;
    /// The sides of the answer, more than one when it holds "=" ("x = 3/4", "17/6 = 2 5/6").
    std::vector<AnswerNode> sides;
};

/// Reads a typed answer: numbers (whole, decimal, mixed "2 5/6"), x, + - (and the minus sign,
/// the dash), * • · ×, / ÷, ^ and ², ³, parentheses, juxtaposition as multiplication, and "=";
/// a full stop after the answer ends it.
/// At most MaxAnswerLength characters, nested at most MaxAnswerDepth deep, numbers of at most
/// 18 digits; anything else is unreadable, and no input makes it fail in another way.
ReadAnswer read_answer(TextView typed);

} // namespace quillora
