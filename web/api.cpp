// The page's C interface to the worksheet libraries: the catalogue and the options the page shows,
// as JSON; and a request made of the page's settings, one name and value at a time, which the
// libraries check with the tool's option table and turn into the bytes quillora-sheet writes for
// the same options, or its message.

#include "engine/maths.h"
#include "families/catalogue.h"
#include "sets/options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace quillora;

namespace {

// The page's names for the controls, in PageControl's order.
constexpr const char* Controls[] = { "", "checkbox", "number", "text", "choice" };

// The settings of the request being made.
std::vector<std::pair<std::string, std::string>> settings;
// The last result: document bytes, or a one-line message; the answer key's bytes; and what the
// page shows of the request, as JSON.
std::string result;
std::string key;
std::string summary;
// The request last made, and the preview of its first version.
std::optional<SetRequest> made;
std::string preview;

void append_json_string(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
            out += ' ';
        else
            out += c;
    }
    out += '"';
}

// A JSON object from name and value pairs, each value already JSON.
std::string json_object(std::initializer_list<std::pair<std::string_view, std::string>> members)
{
    std::string out = "{";
    for (const auto& [name, value] : members) {
        if (out.size() > 1)
            out += ',';
        append_json_string(out, name);
        out += ':' + value;
    }
    return out + '}';
}

std::string json_string(std::string_view text)
{
    std::string out;
    append_json_string(out, text);
    return out;
}

template <typename Range, typename Write> std::string json_array(const Range& range, Write write)
{
    std::string out = "[";
    for (const auto& each : range) {
        if (out.size() > 1)
            out += ',';
        out += write(each);
    }
    return out + ']';
}

} // namespace

extern "C" {

/// {"families": every family with its name, menu name, default form code ("" when a form must
/// be named, which also offers "none"), forms (code and description) and the options that do not
/// apply to it; "options": the options the page shows, each with its control, label, hint,
/// placeholder and choices}.
const char* quillora_catalogue()
{
    std::vector<const Option*> shown;
    for (const Option& option : options()) {
        if (option.control != PageControl::None)
            shown.push_back(&option);
    }
    result = json_object({
        { "families",
            json_array(families(),
                [&shown](const Family* family) {
                    std::vector<std::string_view> excluded;
                    for (const Option* option : shown) {
                        if (option->applies_to && !option->applies_to(*family))
                            excluded.push_back(option->name);
                    }
                    return json_object({ { "name", json_string(family->name) },
                        { "menu", json_string(family->menu_name) },
                        { "default",
                            json_string(family->default_form
                                    ? family->forms[std::size_t(*family->default_form - 1)].code
                                    : "") },
                        { "forms",
                            json_array(family->forms,
                                [](const Form& form) {
                                    return json_object({ { "code", json_string(form.code) },
                                        { "description", json_string(form.description) } });
                                }) },
                        { "excludes", json_array(excluded, json_string) } });
                }) },
        { "options",
            json_array(shown,
                [](const Option* option) {
                    std::vector<std::string_view> choices;
                    for (std::string_view rest = option->choices; !rest.empty();) {
                        const std::size_t bar = std::min(rest.find('|'), rest.size());
                        choices.push_back(rest.substr(0, bar));
                        rest.remove_prefix(std::min(bar + 1, rest.size()));
                    }
                    return json_object({ { "name", json_string(option->name) },
                        { "control", json_string(Controls[static_cast<int>(option->control)]) },
                        { "label", json_string(option->label) },
                        { "hint", json_string(option->hint) },
                        { "placeholder", json_string(option->placeholder) },
                        { "choices", json_array(choices, json_string) } });
                }) },
    });
    return result.c_str();
}

/// Starts a new request.
void quillora_clear()
{
    settings.clear();
}

/// Adds one setting of the page's address or controls to the request.
void quillora_set(const char* name, const char* value)
{
    settings.emplace_back(name ? name : "", value ? value : "");
}

/// Makes the request in a format ("text", "rtf", "pdf"), with fallback_seed when it names no
/// seed. Returns 0 with the bytes in quillora_result() and quillora_key() and, in
/// quillora_summary(), {"settings": [[name, value], ...] for the page's address, "stem": the
/// files' name stem, "seed": the first seed, "versions": the number of versions}; or 1 with the
/// tool's one-line message in quillora_result().
int quillora_make(const char* format, std::uint32_t fallback_seed)
{
    key.clear();
    summary.clear();
    made.reset();
    try {
        const PageRequest page = page_request(settings, format ? format : "", fallback_seed);
        made = page.request;
        RenderedSet set = render_set(page.request, *page.request.seed, *page.request.paper);
        result = std::move(set.worksheets);
        key = std::move(set.answers);
        summary = json_object({ { "settings",
                                    json_array(page.settings,
                                        [](const auto& setting) {
                                            return "[" + json_string(setting.first) + ","
                                                + json_string(setting.second) + "]";
                                        }) },
            { "stem", json_string(page.stem) }, { "seed", std::to_string(*page.request.seed) },
            { "versions", std::to_string(page.request.versions) } });
    } catch (const UsageError& failure) {
        result = failure.message;
        return 1;
    }
    return 0;
}

const char* quillora_result()
{
    return result.data();
}

std::size_t quillora_result_size()
{
    return result.size();
}

const char* quillora_key()
{
    return key.data();
}

std::size_t quillora_key_size()
{
    return key.size();
}

const char* quillora_summary()
{
    return summary.c_str();
}

/// The first version of the set made last, as HTML: the title as a heading, then an ordered
/// list of the problems, each one MathML <math>, with the family's columns as the list's
/// --columns; empty when the last request failed.
const char* quillora_preview()
{
    preview.clear();
    if (!made)
        return preview.c_str();
    const Family& family = *made->family;
    std::vector<Problem> problems;
    make_sheet(family, made->options, *made->seed, &problems);
    preview += "<h3>";
    append_markup_text(preview, family.title);
    preview += "</h3><ol style=\"--columns:" + std::to_string(family.columns) + "\">";
    for (const Problem& problem : problems) {
        preview += "<li>";
        append_maths_mathml(preview, problem.maths());
        preview += "</li>";
    }
    preview += "</ol>";
    return preview.c_str();
}

} // extern "C"
