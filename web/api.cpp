// The page's C interface to the worksheet libraries: the catalogue and the options the page shows,
// as JSON; and a request made of the page's settings, one name and value at a time, which the
// libraries check with the tool's option table and turn into the bytes quillora-sheet writes for
// the same options, or its message.

#include "engine/maths.h"
#include "families/catalogue.h"
#include "sets/check_code.h"
#include "sets/marking.h"
#include "sets/options.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
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
// The self-check page's request, once read.
std::optional<CheckRequest> checking;

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

// Settings as [[name, value], ...].
std::string json_settings(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    return json_array(pairs, [](const auto& setting) {
        return "[" + json_string(setting.first) + "," + json_string(setting.second) + "]";
    });
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

/// Adds one setting of the page's address or controls to the request, its name and value as
/// UTF-8 of the given sizes: whole, NUL bytes included, so the libraries judge every value.
void quillora_set(
    const char* name, std::size_t name_size, const char* value, std::size_t value_size)
{
    settings.emplace_back(std::string(name, name_size), std::string(value, value_size));
}

/// Makes the request in a format ("text", "rtf", "pdf"), with fallback_seed when it names no
/// seed and site, the page's own address without its query, for its self-check codes. Returns 0
/// with the bytes in quillora_result() and quillora_key() and, in quillora_summary(), {"settings":
/// [[name, value], ...] for the page's address, "stem": the files' name stem, "seed": the first
/// seed, "versions": the number of versions}; or 1 with the tool's one-line message in
/// quillora_result().
int quillora_make(const char* format, std::uint32_t fallback_seed, const char* site)
{
    key.clear();
    summary.clear();
    made.reset();
    try {
        PageRequest page = page_request(settings, format ? format : "", fallback_seed);
        if (page.request.check_url && page.request.check_url->empty()) {
            const std::string_view address = site ? site : "";
            if (!is_site_address(address))
                throw UsageError { "self-check codes need this page at an http:// or https:// "
                                   "address of at most "
                    + std::to_string(MaxSiteLength) + " characters, not '" + std::string(address)
                    + "'" };
            page.request.check_url = std::string(address);
        }
        made = page.request;
        RenderedSet set = render_set(page.request, *page.request.seed, *page.request.paper);
        result = std::move(set.worksheets);
        key = std::move(set.answers);
        summary = json_object({ { "settings", json_settings(page.settings) },
            { "stem", json_string(page.stem) }, { "seed", std::to_string(*page.request.seed) },
            { "versions", std::to_string(page.request.versions) } });
    } catch (const UsageError& failure) {
        result = failure.message;
        return 1;
    } catch (const std::exception& failure) {
        // Anything else (memory, say) must not stop the libraries for every later request.
        result = std::string("cannot make this set: ") + failure.what();
        return 1;
    }
    return 0;
}

/// The request's settings that are valid each on its own, for the controls after a bad address:
/// {"settings": [[name, value], ...]}: the family, its form, and each option as it would go with
/// them (with "mixed" where the form is not valid, and the first family where neither is); a
/// setting given twice counts once.
const char* quillora_valid()
{
    using Settings = std::vector<std::pair<std::string, std::string>>;
    const auto valid = [](const Settings& tried) {
        try {
            page_request(tried, "text", 0);
            return true;
        } catch (const UsageError&) {
            return false;
        }
    };
    const auto given = [](std::string_view name) -> const std::pair<std::string, std::string>* {
        for (const auto& setting : settings) {
            if (setting.first == name)
                return &setting;
        }
        return nullptr;
    };
    Settings shown;
    Settings base { { std::string(FamilySetting), std::string(families().front()->name) },
        { std::string(FormSetting), "mixed" } };
    if (const auto* family = given(FamilySetting); family && valid({ *family, base[1] })) {
        shown.push_back(base[0] = *family);
        if (const auto* form = given(FormSetting); form && valid({ *family, *form }))
            shown.push_back(base[1] = *form);
    }
    for (const auto& setting : settings) {
        if (setting.first == FamilySetting || setting.first == FormSetting
            || std::any_of(shown.begin(), shown.end(),
                [&setting](const auto& each) { return each.first == setting.first; }))
            continue;
        Settings tried = base;
        tried.push_back(setting);
        if (valid(tried))
            shown.push_back(setting);
    }
    summary = json_object({ { "settings", json_settings(shown) } });
    return summary.c_str();
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

/// The first version of the set made last, as HTML: the title as a heading, the form's
/// instruction line (none for "none"), then an ordered list of the problems, each one MathML
/// <math>, with the family's columns as the list's --columns; empty when the last request failed.
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
    preview += "</h3>";
    if (const std::string_view asked = instruction(family, made->options.selection);
        !asked.empty()) {
        preview += "<p>";
        append_markup_text(preview, from_utf8(asked));
        preview += "</p>";
    }
    preview += "<ol style=\"--columns:" + std::to_string(family.columns) + "\">";
    for (const Problem& problem : problems) {
        preview += "<li>";
        append_maths_mathml(preview, problem.maths());
        preview += "</li>";
    }
    preview += "</ol>";
    return preview.c_str();
}

/// The self-check link of version (1-based) of the set made last, on the site at the address
/// site (the page's own, without its query); with_key adds the sheet's key code, which lets the
/// link show the answers. Empty when no set was made or the version is not one of it.
const char* quillora_check_link(const char* site, int version, int with_key)
{
    summary.clear();
    if (!made || version < 1 || version > made->versions || made->options.selection.is_none())
        return summary.c_str();
    const std::uint32_t seed = version_seed(*made->seed, version - 1);
    summary = check_link(site ? site : "", *made->family, made->options, seed);
    if (with_key)
        summary
            += "&" + std::string(KeySetting) + "=" + key_code(*made->family, made->options, seed);
    return summary.c_str();
}

/// Reads the request's settings as a self-check link: check=1, one sheet's family, form and seed,
/// and perhaps its key code. Returns 0 with the sheet in quillora_preview() and, in
/// quillora_summary(), {"label": "seed N", "hint": what to type, "problems": how many, "key":
/// whether the link opens the key}; or 1 with the page's message in quillora_result().
int quillora_check()
{
    summary.clear();
    made.reset();
    checking.reset();
    try {
        const CheckRequest check = check_request(settings);
        SetRequest request;
        request.family = check.family;
        request.options = check.options;
        request.seed = check.seed;
        std::vector<Problem> problems;
        make_sheet(*check.family, check.options, check.seed, &problems);
        made = request;
        checking = check;
        summary = json_object({ { "label", json_string(to_utf8(version_label(0, 1, check.seed))) },
            { "hint", json_string(answer_hint(check.family->task)) },
            { "problems", std::to_string(problems.size()) },
            { "key", check.key ? "true" : "false" } });
    } catch (const UsageError& failure) {
        result = failure.message;
        return 1;
    } catch (const std::exception& failure) {
        result = std::string("cannot show this sheet: ") + failure.what();
        return 1;
    }
    return 0;
}

/// Marks the typed answers to the self-check page's sheet, one a line in problem order:
/// {"marks": [[verdict, reason], ...] with verdict "right", "wrong" or "unreadable" and the
/// reason "" where none is given, "right": how many are right}.
const char* quillora_mark(const char* answers)
{
    result.clear();
    if (!checking)
        return result.c_str();
    std::vector<Text> typed;
    std::string_view rest = answers ? answers : "";
    for (;;) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        typed.push_back(from_utf8(rest.substr(0, end)));
        if (end == rest.size())
            break;
        rest.remove_prefix(end + 1);
    }
    const std::vector<Mark> marks
        = mark_sheet(*checking->family, checking->options, checking->seed, typed);
    static constexpr const char* Verdicts[] = { "right", "wrong", "unreadable" };
    int right = 0;
    for (const Mark& mark : marks)
        right += mark.verdict == Verdict::Right;
    result = json_object({ { "marks",
                               json_array(marks,
                                   [](const Mark& mark) {
                                       return "[" + json_string(Verdicts[int(mark.verdict)]) + ","
                                           + json_string(mark.reason) + "]";
                                   }) },
        { "right", std::to_string(right) } });
    return result.c_str();
}

/// The self-check page's key, an ordered list of the answers as MathML, when its link opens the
/// key; empty otherwise.
const char* quillora_check_key()
{
    key.clear();
    if (!checking || !checking->key)
        return key.c_str();
    std::vector<Problem> problems;
    make_sheet(*checking->family, checking->options, checking->seed, &problems);
    key = "<ol>";
    for (const Problem& problem : problems) {
        key += "<li>";
        append_maths_mathml(key, problem.answer());
        key += "</li>";
    }
    key += "</ol>";
    return key.c_str();
}

} // extern "C"
