#pragma once

#include "engine/family.h"
#include "engine/page_layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillora {

/// The longest site address a check link is made under: with the longest settings (82
/// characters) its QR code has at most 49 modules a side, which still reads back from a 150 dpi
/// picture of the page; 53 do not.
inline constexpr std::size_t MaxSiteLength = 110;

/// The side of a worksheet's QR code, in points (0.75 in): modules of about 0.4 mm for the
/// longest links, which a phone reads from a printed page.
inline constexpr double CheckCodeSide = 54;

/// The line under a worksheet's QR code, and the only one on text and RTF worksheets.
Text check_caption(std::string_view link);

/// Whether text can be the address a teacher published the site at: http:// or https://, a
/// host and at most MaxSiteLength printable ASCII characters, without blanks, quotes, angle
/// brackets, a query (?) or a fragment (#): the self-check page reads every setting of its
/// address as its own.
bool is_site_address(std::string_view text);

/// The address of one sheet's self-check page on the site published at site: the sheet's
/// family, form and seed, "Fraction Answers OK" and distinct where set, and check=1.
std::string check_link(
    std::string_view site, const Family& family, const ProblemOptions& options, std::uint32_t seed);

/// The code that lets a self-check link show its sheet's key: eight hex digits from the sheet's
/// choices. It keeps a pupil from opening the key by editing a link; it is no secret from anyone
/// who reads the page's source, and the site's own page makes keys for whoever asks it.
std::string key_code(const Family& family, const ProblemOptions& options, std::uint32_t seed);

/// The page's names for a self-check link's own settings.
inline constexpr std::string_view CheckSetting = "check";
inline constexpr std::string_view KeySetting = "key";

/// What a self-check link asks for: one sheet, and whether its key may be shown.
struct CheckRequest {
    const Family* family = nullptr;
    ProblemOptions options;
    std::uint32_t seed = 0;
    /// The link carries the sheet's key code.
    bool key = false;
};

/// Reads a self-check link's settings: check=1, the sheet's family, form and seed (and any of
/// the page's other settings, checked as the page checks them; of a set, the first version is
/// the sheet), and a key code. Throws UsageError with the page's message.
CheckRequest check_request(const std::vector<std::pair<std::string, std::string>>& settings);

/// The text as a QR code (Debian's libqrcodegencpp, low error correction raised where the size
/// allows) filling a square of the given side in points, drawn as filled PDF rectangles, one
/// per run of dark modules in a row.
FooterMark qr_code(std::string_view text, double side);

} // namespace quillora
