#include "sets/check_code.h"

#include "engine/text.h"
#include "families/catalogue.h"
#include "sets/options.h"

#include <qrcodegen.hpp>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace quillora {

bool is_site_address(std::string_view text)
{
    const std::size_t host = text.starts_with("https://") ? 8 : text.starts_with("http://") ? 7 : 0;
    // a host after the scheme: "https://" alone or "https:///q/" leads nowhere
    if (host == 0 || text.size() <= host || text[host] == '/' || text.size() > MaxSiteLength)
        return false;
    for (const char c : text) {
        if (c <= ' ' || c > '~' || c == '"' || c == '<' || c == '>' || c == '#' || c == '?'
            || c == '\\' || c == '`')
            return false;
    }
    return true;
}

Text check_caption(std::string_view link)
{
    return u"Check your answers: " + from_utf8(link);
}

std::string check_link(
    std::string_view site, const Family& family, const ProblemOptions& options, std::uint32_t seed)
{
    std::string link(site);
    link += "?family=";
    link += family.name;
    link += "&form=";
    link += form_name(family, options.selection);
    link += "&seed=" + std::to_string(seed);
    if (options.distinct)
        link += "&distinct=1";
    if (options.fraction_answers_ok && family.takes_fraction_answers())
        link += "&fraction-answers=1";
    link += "&check=1";
    return link;
}

std::string key_code(const Family& family, const ProblemOptions& options, std::uint32_t seed)
{
    // FNV-1a over the link's own settings, which name the sheet
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : check_link("key:", family, options, seed))
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    char code[9];
    std::snprintf(code, sizeof code, "%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
    return code;
}

CheckRequest check_request(const std::vector<std::pair<std::string, std::string>>& settings)
{
    std::vector<std::pair<std::string, std::string>> sheet;
    std::optional<std::string> check, key;
    for (const auto& [name, value] : settings) {
        std::optional<std::string>* own = name == CheckSetting ? &check
            : name == KeySetting                               ? &key
                                                               : nullptr;
        if (!own) {
            sheet.emplace_back(name, value);
            continue;
        }
        if (*own)
            throw UsageError { "setting " + quoted_text(name) + " given twice" };
        *own = value;
    }
    if (check != "1")
        throw UsageError { "invalid check " + quoted_text(check.value_or("")) + " (1)" };
    // an empty seed would be the page's fallback, another sheet than the one printed
    if (std::none_of(sheet.begin(), sheet.end(),
            [](const auto& s) { return s.first == "seed" && !s.second.empty(); }))
        throw UsageError { "a self-check link names its seed" };
    const PageRequest page = page_request(sheet, "text", 0);
    if (page.request.options.selection.is_none())
        throw UsageError { "a sheet of form none has no problems to check" };
    CheckRequest out { page.request.family, page.request.options, *page.request.seed, false };
    out.key = key && *key == key_code(*out.family, out.options, out.seed);
    return out;
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
