#include "rtf/rtf_writer.h"

#include <cmath>
#include <cstdint>

namespace quillora {

namespace {

// The Windows-1252 byte for a character, or '?' when the code page has none.
unsigned char cp1252_fallback(char16_t c)
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

void put_hex(std::string& out, unsigned char byte)
{
    static constexpr char Digits[] = "0123456789abcdef";
    out += "\\'";
    out += Digits[byte >> 4];
    out += Digits[byte & 0xF];
}

void put_text(std::string& out, TextView text)
{
    for (const char16_t c : text) {
        switch (c) {
        case u'\\':
            out += "\\\\";
            break;
        case u'{':
            out += "\\{";
            break;
        case u'}':
            out += "\\}";
            break;
        case u'\n':
            out += "\\par\n";
            break;
        case u'\t':
            out += "\\tab ";
            break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                // \uN takes a signed 16-bit value; surrogate halves are written one each.
                out += "\\u";
                out += std::to_string(static_cast<int>(static_cast<std::int16_t>(c)));
                const unsigned char fallback = cp1252_fallback(c);
                if (fallback >= 0x20 && fallback < 0x7F && fallback != '\\' && fallback != '{'
                    && fallback != '}')
                    out += static_cast<char>(fallback);
                else
                    put_hex(out, fallback);
            }
        }
    }
}

} // namespace

std::string write_rtf(const std::vector<TextRun>& runs)
{
    std::vector<Text> fonts;
    auto font_index = [&fonts](const Text& family) {
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            if (fonts[i] == family)
                return i;
        }
        fonts.push_back(family);
        return fonts.size() - 1;
    };
    if (runs.empty())
        font_index(u"Courier New");
    for (const auto& run : runs)
        font_index(run.font_family);

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        put_text(out, fonts[i]);
        out += ";}";
    }
    out += "}\n\\pard\\plain";

    for (const auto& run : runs) {
        const long half_points = std::lround(run.point_size * 2);
        out += "\\f" + std::to_string(font_index(run.font_family));
        out += "\\fs" + std::to_string(half_points < 1 ? 1 : half_points);
        out += run.bold ? "\\b" : "\\b0";
        out += run.italic ? "\\i" : "\\i0";
        out += run.underline ? "\\ul" : "\\ulnone";
        out += ' ';
        put_text(out, run.text);
    }
    out += "}\n";
    return out;
}

std::string worksheet_rtf(const Text& text, double point_size)
{
    return write_rtf({ TextRun { .text = text, .point_size = point_size } });
}

} // namespace quillora
