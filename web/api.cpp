// The page's C interface to the worksheet libraries: the catalogue as JSON, and one call from the
// page's choices to the bytes quillora-sheet writes for the same options, or its message.

#include "families/catalogue.h"
#include "sets/class_set.h"

#include <cstddef>
#include <string>
#include <vector>

using namespace quillora;

namespace {

// The last result: document bytes, or a one-line message; and the answer key's bytes.
std::string result;
std::string key;

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

} // namespace

extern "C" {

/// Every family with its menu name, forms (code, description, whether it reads "Fraction Answers
/// OK") and default form code ("" when a form must be named, which also offers "none").
const char* quillora_catalogue()
{
    result = "[";
    for (const Family* family : families()) {
        if (result.size() > 1)
            result += ',';
        result += "{\"name\":";
        append_json_string(result, family->name);
        result += ",\"menu\":";
        append_json_string(result, family->menu_name);
        result += ",\"default\":";
        append_json_string(result,
            family->default_form
                ? family->forms[static_cast<std::size_t>(*family->default_form - 1)].code
                : "");
        result += ",\"forms\":[";
        for (const Form& form : family->forms) {
            if (result.back() == '}')
                result += ',';
            result += "{\"code\":";
            append_json_string(result, form.code);
            result += ",\"description\":";
            append_json_string(result, form.description);
            result += form.reads_fraction_answers ? ",\"fraction\":true}" : ",\"fraction\":false}";
        }
        result += "]}";
    }
    result += ']';
    return result.c_str();
}

/// Makes what `quillora-sheet FAMILY [FORM] --seed SEED --versions VERSIONS --paper PAPER
/// --format FORMAT` with the given flags writes, and with answers the key `--answers` writes; a
/// null form is left out. Returns 0 with the bytes in quillora_result() and quillora_key(), or 1
/// with the tool's one-line message in quillora_result().
int quillora_make(const char* family, const char* form, const char* seed, const char* versions,
    const char* paper, const char* format, int distinct, int fraction_answers, int answers)
{
    key.clear();
    std::vector<std::string> args;
    args.push_back(std::string("--seed=") + (seed ? seed : ""));
    args.push_back(std::string("--versions=") + (versions ? versions : ""));
    args.push_back(std::string("--paper=") + (paper ? paper : ""));
    args.push_back(std::string("--format=") + (format ? format : ""));
    if (distinct)
        args.emplace_back("--distinct");
    if (fraction_answers)
        args.emplace_back("--fraction-answers");
    // After "--" the family and the form are never read as options, whatever a link holds;
    // without a family the parser reports it missing.
    args.emplace_back("--");
    if (family) {
        args.emplace_back(family);
        if (form)
            args.emplace_back(form);
    }
    try {
        const SetRequest request = parse_request(args);
        RenderedSet set = render_set(request, *request.seed, *request.paper, answers != 0);
        result = std::move(set.worksheets);
        key = std::move(set.answers);
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

} // extern "C"
