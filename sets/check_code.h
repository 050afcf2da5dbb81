#pragma once

#include "engine/family.h"
#include "typeset/typeset_pdf.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

/// The longest site address a check link is made under, so that its QR code stays small.
inline constexpr std::size_t MaxSiteLength = 120;

/// Whether text can be the address a teacher published the site at: http:// or https:// and at
/// most MaxSiteLength printable ASCII characters, without blanks, quotes, angle brackets or a
/// fragment (#).
bool is_site_address(std::string_view text);

/// The address of one sheet's self-check page on the site published at site: the sheet's
/// family, form and seed, "Fraction Answers OK" and distinct where set, and check=1.
std::string check_link(
    std::string_view site, const Family& family, const ProblemOptions& options, std::uint32_t seed);

/// The text as a QR code (Debian's libqrcodegencpp, low error correction raised where the size
/// allows) filling a square of the given side in points, drawn as filled PDF rectangles, one
/// per run of dark modules in a row.
FooterMark qr_code(std::string_view text, double side);

} // namespace quillora
