#include "sets/check_code.h"

#include <qrcodegen.hpp>

#include <cstdio>

namespace quillora {

bool is_site_address(std::string_view text)
{
    if (!(text.starts_with("https://") || text.starts_with("http://"))
        || text.size() > MaxSiteLength)
        return false;
    for (const char c : text) {
        if (c <= ' ' || c > '~' || c == '"' || c == '<' || c == '>' || c == '#' || c == '\\'
            || c == '`')
            return false;
    }
    return true;
}

std::string check_link(
    std::string_view site, const Family& family, const ProblemOptions& options, std::uint32_t seed)
{
    std::string link(site);
    link += link.find('?') == std::string::npos ? '?' : '&';
    link += "family=";
    link += family.name;
    link += "&form=";
    const FormSelection selection = options.selection;
    if (selection.is_mixed())
        link += "mixed";
    else if (selection.is_none())
        link += "none";
    else
        link += family.forms[static_cast<std::size_t>(selection.place() - 1)].code;
    link += "&seed=" + std::to_string(seed);
    if (options.distinct)
        link += "&distinct=1";
    if (options.fraction_answers_ok && family.takes_fraction_answers())
        link += "&fraction-answers=1";
    link += "&check=1";
    return link;
}

FooterMark qr_code(std::string_view text, double side)
{
    const qrcodegen::QrCode code
        = qrcodegen::QrCode::encodeText(std::string(text).c_str(), qrcodegen::QrCode::Ecc::LOW);
    const int size = code.getSize();
    FooterMark mark;
    mark.side = side;
    char scale[64];
    std::snprintf(scale, sizeof scale, "q %.4f 0 0 %.4f 0 0 cm 0 g\n", side / size, side / size);
    mark.content = scale;
    // in module units, the top row at the top of the square
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size;) {
            if (!code.getModule(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < size && code.getModule(x, y))
                ++x;
            mark.content += std::to_string(start) + ' ' + std::to_string(size - 1 - y) + ' '
                + std::to_string(x - start) + " 1 re\n";
        }
    }
    mark.content += "f Q\n";
    return mark;
}

} // namespace quillora
