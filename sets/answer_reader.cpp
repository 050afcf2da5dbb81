#include "sets/answer_reader.h"

#include <array>
#include <numeric>
#include <utility>

namespace quillora {

namespace {

constexpr std::string_view NotReadable = "not readable";
constexpr std::string_view TooLarge = "number too large";

struct Token {
    enum class Kind : unsigned char {
        Number,
        Mixed,
        X,
        Plus,
        Minus,
        Times,
        Divide,
        Caret,
        Square,
        Cube,
        Open,
        Close,
        Equals,
        Letter,
        End
    };
    Kind kind = Kind::End;
    bool decimal = false;
    Rational value;
    long long numerator = 0;
    long long denominator = 1;
};

using K = Token::Kind;

Token token_of(K kind)
{
    Token token;
    token.kind = kind;
    return token;
}

bool is_blank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u00A0' || c == u'\u2009'
        || c == u'\u202F';
}

bool is_digit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool is_letter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The token a single character stands for, or End for none.
K symbol(char16_t c)
{
    switch (c) {
    case u'+':
        return K::Plus;
    case u'-':
    case u'\u2212': // minus sign
    case u'\u2013': // en dash
        return K::Minus;
    case u'*':
    case u'\u00B7': // middle dot
    case u'\u00D7': // multiplication sign
    case u'\u2022': // bullet, as the worksheets multiply
    case u'\u22C5': // dot operator
        return K::Times;
    case u'/':
    case u'\u00F7': // division sign
    case u'\u2215': // division slash
        return K::Divide;
    case u'^':
        return K::Caret;
    case u'\u00B2':
        return K::Square;
    case u'\u00B3':
        return K::Cube;
    case u'(':
    case u'[':
        return K::Open;
    case u')':
    case u']':
        return K::Close;
    case u'=':
        return K::Equals;
    case u'x':
    case u'X':
        return K::X;
    default:
        return K::End;
    }
}

// Reads the digits (and a decimal part) at text[i] into a number token, moving i past them.
// Returns the reason when there is no digit or more than 18, which a long long might not hold.
std::string_view read_number(TextView text, std::size_t& i, Token& token)
{
    long long whole = 0;
    long long scale = 1;
    int digits = 0;
    bool point = false;
    for (; i < text.size() && (is_digit(text[i]) || (text[i] == u'.' && !point)); ++i) {
        if (text[i] == u'.') {
            point = true;
            continue;
        }
        if (++digits > 18)
            return TooLarge;
        whole = whole * 10 + (text[i] - u'0');
        if (point)
            scale *= 10;
    }
    const long long g = std::gcd(whole, scale);
    token.kind = K::Number;
    token.decimal = point;
    token.value = { whole / g, scale / g };
    return digits > 0 ? std::string_view {} : NotReadable;
}

// A mixed number's fraction part "5/6" after the whole part and blanks: a proper fraction of
// whole numbers that no exponent follows. Makes the token a mixed number and moves i past it
// when there is one; leaves both as they are when there is none.
void read_mixed_part(TextView text, std::size_t& i, Token& token)
{
    std::size_t j = i;
    while (j < text.size() && is_blank(text[j]))
        ++j;
    Token numerator, denominator;
    if (j == i || !read_number(text, j, numerator).empty() || numerator.decimal || j == text.size()
        || text[j] != u'/')
        return;
    ++j;
    if (!read_number(text, j, denominator).empty() || denominator.decimal)
        return;
    if (j < text.size()) {
        const K next = symbol(text[j]);
        if (next == K::Caret || next == K::Square || next == K::Cube)
            return;
    }
    const long long p = numerator.value.p, q = denominator.value.p;
    if (q == 0 || p >= q)
        return;
    // whole + p/q, every part below 10^18 and p < q, so whole * q + p may still overflow
    long long scaled = 0;
    if (__builtin_mul_overflow(token.value.p, q, &scaled)
        || __builtin_add_overflow(scaled, p, &scaled))
        return;
    const long long g = std::gcd(scaled, q);
    token.kind = K::Mixed;
    token.numerator = p;
    token.denominator = q;
    token.value = { scaled / g, q / g };
    i = j;
}

// Splits the text into tokens; a run of letters other than x is one Letter token. Returns the
// reason when it cannot.
std::string_view tokenize(TextView text, std::vector<Token>& tokens)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (is_blank(c)) {
            ++i;
        } else if (is_digit(c) || c == u'.') {
            Token token;
            if (const std::string_view reason = read_number(text, i, token); !reason.empty())
                return reason;
            const K before = tokens.empty() ? K::End : tokens.back().kind;
            if (!token.decimal && before != K::Divide && before != K::Caret)
                read_mixed_part(text, i, token);
            tokens.push_back(token);
        } else if (symbol(c) != K::End) {
            tokens.push_back(token_of(symbol(c)));
            ++i;
        } else if (is_letter(c)) {
            tokens.push_back(token_of(K::Letter));
            while (i < text.size() && is_letter(text[i]))
                ++i;
        } else {
            return NotReadable;
        }
    }
    tokens.push_back({});
    return {};
}

// The words that stand for no solution or for every x, lower case with single blanks, after an
// optional "x =".
ReadAnswer::Words words(TextView text)
{
    std::string plain;
    for (const char16_t c : text) {
        if (is_blank(c)) {
            if (!plain.empty() && plain.back() != ' ')
                plain += ' ';
        } else if (c == u'=') {
            plain += plain.empty() || plain.back() == ' ' ? "= " : " = ";
        } else if (c < 0x80) {
            plain += static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
        } else {
            return ReadAnswer::Words::None;
        }
    }
    while (!plain.empty() && plain.back() == ' ')
        plain.pop_back();
    std::string_view said = plain;
    if (said.starts_with("x = "))
        said.remove_prefix(4);
    constexpr std::array<std::string_view, 5> None { "no solution", "no solutions", "none",
        "no real solution", "no real solutions" };
    constexpr std::array<std::string_view, 11> Every { "every x", "all x", "any x", "every number",
        "all numbers", "any number", "all real numbers", "every real number", "infinitely many",
        "infinitely many solutions", "infinite solutions" };
    for (const std::string_view each : None) {
        if (said == each)
            return ReadAnswer::Words::NoSolution;
    }
    for (const std::string_view each : Every) {
        if (said == each)
            return ReadAnswer::Words::EveryX;
    }
    return ReadAnswer::Words::None;
}

using Node = AnswerNode;

Node node_of(Node::Kind kind)
{
    Node node;
    node.kind = kind;
    return node;
}

// Recursive descent over the tokens:
//   sides  := sum ("=" sum)*
//   sum    := term (("+" | "-") term)*
//   term   := factor (("*" | "/") factor | factor starting with x or "(")*
//   factor := ("+" | "-")* power
//   power  := primary ("^" factor | "²" | "³")*
//   primary:= number | mixed number | x | "(" sum ")"
// Each function returns false once the reading has failed, with the reason in m_error.
// Parentheses and exponents count towards the depth, which bounds the recursion.
class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens)
        : m_tokens(tokens)
    {
    }

    std::string_view read(std::vector<Node>& sides)
    {
        for (;;) {
            Node side;
            if (!sum(side))
                return m_error;
            sides.push_back(std::move(side));
            if (!take(K::Equals))
                break;
        }
        return peek() == K::End ? std::string_view {} : NotReadable;
    }

private:
    K peek() const { return m_tokens[m_at].kind; }
    bool take(K kind)
    {
        if (peek() != kind)
            return false;
        ++m_at;
        return true;
    }
    bool fail(std::string_view reason)
    {
        m_error = reason;
        return false;
    }
    // One level deeper, or false beyond MaxAnswerDepth; the caller steps back with --m_depth.
    bool deeper() { return ++m_depth <= MaxAnswerDepth || fail("nested too deeply"); }

    bool sum(Node& out)
    {
        out = node_of(Node::Kind::Sum);
        bool negative = false;
        for (;;) {
            Node t;
            if (!term(t))
                return false;
            t.negative ^= negative;
            out.children.push_back(std::move(t));
            if (take(K::Plus))
                negative = false;
            else if (take(K::Minus))
                negative = true;
            else
                break;
        }
        if (out.children.size() == 1) { // a single term stands for itself
            Node only = std::move(out.children.front());
            out = std::move(only);
        }
        return true;
    }

    // Adds a factor to a product; a product within it joins it, its sign with it.
    static void multiply(Node& product, Node factor)
    {
        if (factor.kind == Node::Kind::Product && !factor.divides) {
            product.negative ^= factor.negative;
            for (Node& each : factor.children)
                product.children.push_back(std::move(each));
        } else {
            product.children.push_back(std::move(factor));
        }
    }

    bool term(Node& out)
    {
        Node first;
        if (!factor(first))
            return false;
        Node product = node_of(Node::Kind::Product);
        multiply(product, std::move(first));
        for (;;) {
            const bool divides = peek() == K::Divide;
            if (!take(K::Times) && !take(K::Divide) && peek() != K::X && peek() != K::Open)
                break;
            Node next;
            if (!factor(next))
                return false;
            next.divides = divides;
            multiply(product, std::move(next));
        }
        if (product.children.size() == 1 && !product.negative) {
            out = std::move(product.children.front());
        } else {
            out = std::move(product);
        }
        return true;
    }

    bool factor(Node& out)
    {
        bool negative = false;
        for (;;) {
            if (take(K::Minus))
                negative = !negative;
            else if (!take(K::Plus))
                break;
        }
        if (!power(out))
            return false;
        out.negative ^= negative;
        return true;
    }

    bool power(Node& out)
    {
        if (!primary(out))
            return false;
        for (;;) {
            Node exponent;
            if (take(K::Square)) {
                exponent.value = { 2, 1 };
            } else if (take(K::Cube)) {
                exponent.value = { 3, 1 };
            } else if (take(K::Caret)) {
                if (!deeper() || !factor(exponent))
                    return false;
                --m_depth;
            } else {
                return true;
            }
            Node raised = node_of(Node::Kind::Power);
            raised.children.push_back(std::move(out));
            raised.children.push_back(std::move(exponent));
            out = std::move(raised);
        }
    }

    bool primary(Node& out)
    {
        const Token& token = m_tokens[m_at];
        if (take(K::Number) || take(K::Mixed)) {
            out = node_of(token.kind == K::Number ? Node::Kind::Number : Node::Kind::Mixed);
            out.decimal = token.decimal;
            out.value = token.value;
            out.numerator = token.numerator;
            out.denominator = token.denominator;
            return true;
        }
        if (take(K::X)) {
            out = node_of(Node::Kind::Variable);
            return true;
        }
        if (!take(K::Open))
            return fail(NotReadable);
        if (!deeper() || !sum(out))
            return false;
        --m_depth;
        return take(K::Close) || fail(NotReadable);
    }

    const std::vector<Token>& m_tokens;
    std::size_t m_at = 0;
    int m_depth = 0;
    std::string_view m_error = NotReadable;
};

} // namespace

ReadAnswer read_answer(TextView typed)
{
    ReadAnswer out;
    if (typed.size() > MaxAnswerLength) {
        out.unreadable = "too long";
        return out;
    }
    // a sentence's full stop after the answer: "No solution."
    while (!typed.empty() && is_blank(typed.back()))
        typed.remove_suffix(1);
    if (typed.size() > 1 && typed.back() == u'.')
        typed.remove_suffix(1);
    std::vector<Token> tokens;
    tokens.reserve(typed.size() + 1);
    out.unreadable = tokenize(typed, tokens);
    if (!out.unreadable.empty())
        return out;
    if (tokens.size() == 1) {
        out.unreadable = "no answer";
        return out;
    }
    for (const Token& token : tokens) {
        if (token.kind == K::Letter) {
            out.words = words(typed);
            if (out.words == ReadAnswer::Words::None)
                out.unreadable = NotReadable;
            return out;
        }
    }
    out.unreadable = Parser(tokens).read(out.sides);
    return out;
}

} // namespace quillora
