#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// Worksheet text: UTF-16, one unit per character (every worksheet character is in the BMP).
using Text = std::u16string;
using TextView = std::u16string_view;

/// Plain number-to-text: decimal digits, a leading "-" for negatives, "0" for zero.
Text number_text(long long value);

/// Appends number_text(value) to out.
void append_number(Text& out, long long value);

/// The Windows-1252 byte for a character, or '?' when the code page has none.
unsigned char windows_1252_byte(char16_t c);

/// Worksheets one after another, each after the first starting with a form feed (a page break).
Text join_pages(const std::vector<Text>& sheets);

/// UTF-8 encoding of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string to_utf8(TextView text);

/// UTF-16 of UTF-8 text (what a browser or a terminal hands over); each byte that does not
/// belong to a well-formed sequence becomes U+FFFD.
Text from_utf8(std::string_view text);

/// A name or value for a one-line message: between quotes, with control characters, the quote
/// and backslashes escaped C-style (C1 controls as \u0080..\u009F, bytes that are not UTF-8 as
/// \xNN), so it can neither break the line nor reach a terminal raw.
std::string quoted_text(std::string_view text, char quote = '\'');

} // namespace quillora
