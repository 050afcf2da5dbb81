#include "engine/text.h"

#include <cstdio>

namespace quillora {

void append_number(Text& out, long long value)
{
    // digits from the right into a buffer that holds any long long, then one append
    char16_t digits[24];
    char16_t* first = digits + sizeof digits / sizeof digits[0];
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        *--first = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--first = u'-';
    out.append(first, digits + sizeof digits / sizeof digits[0]);
}

Text number_text(long long value)
{
    Text out;
    append_number(out, value);
    return out;
}

namespace {

void put_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool is_high(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool is_low(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

std::string to_utf8(TextView text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (is_high(u) && i + 1 < text.size() && is_low(text[i + 1])) {
            put_utf8(
                out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (is_high(u) || is_low(u)) {
            put_utf8(out, 0xFFFD);
        } else {
            put_utf8(out, u);
        }
    }
    return out;
}

namespace {

// The well-formed UTF-8 sequence at text[i]: its code point and length, or length 0 for a byte
// that starts none (a continuation byte, a cut, overlong or surrogate sequence, or one beyond
// U+10FFFF).
struct Utf8Sequence {
    char32_t code = 0;
    std::size_t length = 0;
};

Utf8Sequence utf8_sequence(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80)
        return { lead, 1 };
    const std::size_t length = lead >= 0xC2 && lead < 0xE0 ? 2
        : lead >= 0xE0 && lead < 0xF0                      ? 3
        : lead >= 0xF0 && lead < 0xF5                      ? 4
                                                           : 0;
    if (length == 0 || i + length > text.size())
        return {};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t n = 1; n < length; ++n) {
        const auto next = static_cast<unsigned char>(text[i + n]);
        if ((next & 0xC0) != 0x80)
            return {};
        c = (c << 6) | (next & 0x3F);
    }
    if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)))
        || (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return {};
    return { c, length };
}

} // namespace

Text from_utf8(std::string_view text)
{
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Sequence sequence = utf8_sequence(text, i);
        const char32_t c = sequence.code;
        if (sequence.length == 0) {
            // one replacement for the byte that starts no well-formed sequence
            out += u'\uFFFD';
            ++i;
        } else if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += sequence.length;
    }
    return out;
}

unsigned char windows_1252_byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    struct Pair {
        char16_t unicode;
        unsigned char code;
    };
    static constexpr Pair Table[] = {
        { 0x20AC, 0x80 },
        { 0x201A, 0x82 },
        { 0x0192, 0x83 },
        { 0x201E, 0x84 },
        { 0x2026, 0x85 },
        { 0x2020, 0x86 },
        { 0x2021, 0x87 },
        { 0x02C6, 0x88 },
        { 0x2030, 0x89 },
        { 0x0160, 0x8A },
        { 0x2039, 0x8B },
        { 0x0152, 0x8C },
        { 0x017D, 0x8E },
        { 0x2018, 0x91 },
        { 0x2019, 0x92 },
        { 0x201C, 0x93 },
        { 0x201D, 0x94 },
        { 0x2022, 0x95 },
        { 0x2013, 0x96 },
        { 0x2014, 0x97 },
        { 0x02DC, 0x98 },
        { 0x2122, 0x99 },
        { 0x0161, 0x9A },
        { 0x203A, 0x9B },
        { 0x0153, 0x9C },
        { 0x017E, 0x9E },
        { 0x0178, 0x9F },
    };
    for (const auto& pair : Table) {
        if (pair.unicode == c)
            return pair.code;
    }
    return '?';
}

Text join_pages(const std::vector<Text>& sheets)
{
    Text text;
    for (const Text& sheet : sheets) {
        if (&sheet != &sheets.front())
            text += u'\f';
        text += sheet;
    }
    return text;
}

std::string quoted_text(std::string_view text, char quote)
{
    std::string out(1, quote);
    const auto escape = [&out](const char* format, unsigned code) {
        char hex[8];
        std::snprintf(hex, sizeof hex, format, code);
        out += hex;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        // A well-formed UTF-8 sequence stays as it is, unless it is a C1 control
        // (U+0080..U+009F); a byte that starts none is escaped, so no terminal reads it raw.
        const Utf8Sequence sequence = utf8_sequence(text, i);
        if (c == '\\' || c == quote) {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F || sequence.length == 0) {
            escape("\\x%02X", byte);
        } else if (sequence.code >= 0x80 && sequence.code < 0xA0) {
            escape("\\u%04X", static_cast<unsigned>(sequence.code));
            ++i;
        } else {
            out.append(text.substr(i, sequence.length));
            i += sequence.length - 1;
        }
    }
    return out + quote;
}

} // namespace quillora
