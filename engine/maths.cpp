#include "engine/maths.h"

#include <numeric>
#include <utility>

namespace quillora {

Maths Maths::number(long long value)
{
    Maths m;
    m.kind = Kind::Number;
    m.value = value;
    return m;
}

Maths Maths::variable(TextView name)
{
    Maths m;
    m.kind = Kind::Variable;
    m.text = name;
    return m;
}

Maths Maths::symbol(Kind kind)
{
    Maths m;
    m.kind = kind;
    return m;
}

Maths Maths::words(TextView text)
{
    Maths m;
    m.kind = Kind::Words;
    m.text = text;
    return m;
}

Maths Maths::row(std::initializer_list<Maths> children)
{
    Maths m;
    m.children = children;
    return m;
}

Maths Maths::group(Maths inside)
{
    Maths m;
    m.kind = Kind::Group;
    if (inside.kind == Kind::Row)
        m.children = std::move(inside.children);
    else
        m.children.push_back(std::move(inside));
    return m;
}

Maths Maths::fraction(Maths numerator, Maths denominator)
{
    Maths m;
    m.kind = Kind::Fraction;
    m.children.push_back(std::move(numerator));
    m.children.push_back(std::move(denominator));
    return m;
}

Maths Maths::power(Maths base, Maths exponent)
{
    Maths m;
    m.kind = Kind::Power;
    m.children.push_back(std::move(base));
    m.children.push_back(std::move(exponent));
    return m;
}

Maths& Maths::operator+=(Maths child)
{
    // rows and groups are built a child at a time and seldom hold more than eight
    if (children.capacity() == 0)
        children.reserve(8);
    if (child.kind == Kind::Row) {
        for (Maths& grandchild : child.children)
            children.push_back(std::move(grandchild));
    } else {
        children.push_back(std::move(child));
    }
    return *this;
}

Maths signed_number(long long value)
{
    if (value >= 0)
        return Maths::number(value);
    return Maths::row({ Maths::symbol(Maths::Kind::Sign), Maths::number(-value) });
}

Maths rational(long long p, long long q)
{
    const long long g = std::gcd(p, q);
    p /= g;
    q /= g;
    if (q < 0) {
        p = -p;
        q = -q;
    }
    if (q == 1)
        return signed_number(p);
    Maths bar = Maths::fraction(Maths::number(p < 0 ? -p : p), Maths::number(q));
    if (p >= 0)
        return bar;
    return Maths::row({ Maths::symbol(Maths::Kind::Sign), std::move(bar) });
}

Maths polynomial(long long a, long long b, long long c)
{
    Maths out = Maths::row();
    auto term = [&](long long k, int power) {
        if (k == 0)
            return;
        if (!out.children.empty())
            out += Maths::symbol(k < 0 ? Maths::Kind::Minus : Maths::Kind::Plus);
        else if (k < 0)
            out += Maths::symbol(Maths::Kind::Sign);
        const long long magnitude = k < 0 ? -k : k;
        if (magnitude != 1 || power == 0)
            out += Maths::number(magnitude);
        if (power == 2)
            out += Maths::power(Maths::variable(), Maths::number(2));
        else if (power == 1)
            out += Maths::variable();
    };
    term(a, 2);
    term(b, 1);
    term(c, 0);
    if (out.children.empty())
        out += Maths::number(0);
    return out;
}

Maths solution(long long p, long long q)
{
    if (q == 0)
        return Maths::words(p == 0 ? u"every x" : u"no solution");
    Maths out = Maths::row({ Maths::variable(), Maths::symbol(Maths::Kind::Equals) });
    out += rational(p, q);
    return out;
}

void append_maths_text(Text& out, const Maths& maths)
{
    using Kind = Maths::Kind;
    switch (maths.kind) {
    case Kind::Number:
        append_number(out, maths.value);
        return;
    case Kind::Variable:
    case Kind::Words:
        out += maths.text;
        return;
    case Kind::Sign:
        out += u'-';
        return;
    case Kind::Plus:
        out += u" + ";
        return;
    case Kind::Minus:
        out += u" - ";
        return;
    case Kind::Times:
        out += u" \u2022 ";
        return;
    case Kind::Divide:
        out += u" \u00F7 ";
        return;
    case Kind::Equals:
        out += u" = ";
        return;
    case Kind::Row:
    case Kind::Group:
        if (maths.kind == Kind::Group)
            out += u'(';
        for (std::size_t i = 0; i < maths.children.size(); ++i) {
            // a mixed number: the whole part and its fraction a blank apart
            if (i > 0 && maths.children[i].kind == Kind::Fraction
                && maths.children[i - 1].kind == Kind::Number)
                out += u' ';
            append_maths_text(out, maths.children[i]);
        }
        if (maths.kind == Kind::Group)
            out += u')';
        return;
    case Kind::Fraction:
        append_maths_text(out, maths.children[0]);
        out += u'/';
        append_maths_text(out, maths.children[1]);
        return;
    case Kind::Power:
        append_maths_text(out, maths.children[0]);
        if (maths.children[1].kind == Kind::Number && maths.children[1].value == 2) {
            out += u'\u00B2';
        } else {
            out += u'^';
            append_maths_text(out, maths.children[1]);
        }
        return;
    }
}

Text maths_text(const Maths& maths)
{
    Text out;
    append_maths_text(out, maths);
    return out;
}

namespace {

void append_element(std::string& out, const Maths& maths);

bool holds_fraction(const Maths& maths)
{
    if (maths.kind == Maths::Kind::Fraction)
        return true;
    for (const Maths& child : maths.children) {
        if (holds_fraction(child))
            return true;
    }
    return false;
}

// The children as one element: a single child as itself, several in an <mrow>.
void append_row(std::string& out, const std::vector<Maths>& children)
{
    if (children.size() == 1)
        return append_element(out, children[0]);
    out += "<mrow>";
    for (const Maths& child : children)
        append_element(out, child);
    out += "</mrow>";
}

void append_element(std::string& out, const Maths& maths)
{
    using Kind = Maths::Kind;
    switch (maths.kind) {
    case Kind::Number:
        out += "<mn>";
        out += std::to_string(maths.value);
        out += "</mn>";
        return;
    case Kind::Variable:
        out += "<mi>";
        append_markup_text(out, maths.text);
        out += "</mi>";
        return;
    case Kind::Words:
        out += "<mtext>";
        append_markup_text(out, maths.text);
        out += "</mtext>";
        return;
    case Kind::Sign:
        // a prefix minus, set close to what it negates wherever it stands in its row
        out += "<mo form=\"prefix\">\u2212</mo>";
        return;
    case Kind::Plus:
        out += "<mo>+</mo>";
        return;
    case Kind::Minus:
        out += "<mo>\u2212</mo>";
        return;
    case Kind::Times:
        out += "<mo>\u00D7</mo>";
        return;
    case Kind::Divide:
        out += "<mo>\u00F7</mo>";
        return;
    case Kind::Equals:
        out += "<mo>=</mo>";
        return;
    case Kind::Row:
        append_row(out, maths.children);
        return;
    case Kind::Group: {
        // Parentheses stretch only around a fraction: browsers set a stretched one around a
        // line of text from a wider glyph, apart from what it encloses.
        const bool tall = holds_fraction(maths);
        out += tall ? "<mrow><mo>(</mo>" : "<mrow><mo stretchy=\"false\">(</mo>";
        for (const Maths& child : maths.children)
            append_element(out, child);
        out += tall ? "<mo>)</mo></mrow>" : "<mo stretchy=\"false\">)</mo></mrow>";
        return;
    }
    case Kind::Fraction:
    case Kind::Power:
        out += maths.kind == Kind::Fraction ? "<mfrac>" : "<msup>";
        append_element(out, maths.children[0]);
        append_element(out, maths.children[1]);
        out += maths.kind == Kind::Fraction ? "</mfrac>" : "</msup>";
        return;
    }
}

} // namespace

void append_markup_text(std::string& out, TextView text)
{
    for (const char c : to_utf8(text)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
}

void append_maths_mathml(std::string& out, const Maths& maths)
{
    out += "<math displaystyle=\"true\">";
    if (maths.kind == Maths::Kind::Row) {
        for (const Maths& child : maths.children)
            append_element(out, child);
    } else {
        append_element(out, maths);
    }
    out += "</math>";
}

std::string maths_mathml(const Maths& maths)
{
    std::string out;
    append_maths_mathml(out, maths);
    return out;
}

} // namespace quillora
