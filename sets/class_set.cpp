#include "sets/class_set.h"

#include "engine/maths.h"
#include "engine/pdf_writer.h"
#include "engine/rtf_writer.h"
#include "families/catalogue.h"

#include <algorithm>
#include <string_view>

namespace quillora {

namespace {

// A whole number of at most ten decimal digits that fits 32 bits (seeds and version counts).
std::optional<std::uint32_t> parse_number(std::string_view text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace

bool takes_value(std::string_view arg)
{
    for (const std::string_view option :
        { "--seed", "--versions", "--format", "--paper", "--output", "--answers" }) {
        if (arg == option)
            return true;
    }
    return false;
}

SetRequest parse_request(const std::vector<std::string>& args)
{
    SetRequest request;
    std::vector<std::string> positional;
    bool fraction_answers = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--") { // what follows is the family and the form, whatever they look like
            positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
            break;
        }
        std::optional<std::string> value;
        if (arg.starts_with("--") && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
        }
        auto take_value = [&]() {
            if (value)
                return *value;
            if (i + 1 >= args.size())
                throw UsageError { "option '" + arg + "' needs a value" };
            return args[++i];
        };

        if (arg == "--seed") {
            const std::string text = take_value();
            request.seed = parse_number(text);
            if (!request.seed)
                throw UsageError { "invalid seed '" + text
                    + "' (a whole number from 0 to 4294967295)" };
        } else if (arg == "--versions") {
            const std::string text = take_value();
            const auto versions = parse_number(text);
            if (!versions || *versions < 1 || *versions > MaxVersions)
                throw UsageError { "invalid number of versions '" + text
                    + "' (a whole number from 1 to " + std::to_string(MaxVersions) + ")" };
            request.versions = static_cast<int>(*versions);
        } else if (arg == "--distinct" && !value) {
            request.options.distinct = true;
        } else if (arg == "--format") {
            const std::string text = take_value();
            if (text == "text")
                request.format = Format::Text;
            else if (text == "rtf")
                request.format = Format::Rtf;
            else if (text == "pdf")
                request.format = Format::Pdf;
            else
                throw UsageError { "unknown format '" + text + "' (text, rtf, pdf)" };
        } else if (arg == "--paper") {
            const std::string text = take_value();
            if (text == A4Paper.name)
                request.paper = A4Paper;
            else if (text == LetterPaper.name)
                request.paper = LetterPaper;
            else
                throw UsageError { "unknown paper '" + text + "' (a4, letter)" };
        } else if (arg == "--output") {
            request.output = take_value();
            if (request.output->empty())
                throw UsageError { "empty output file name" };
        } else if (arg == "--answers") {
            request.answers = take_value();
            if (request.answers->empty())
                throw UsageError { "empty answers file name" };
        } else if (arg == "--fraction-answers" && !value) {
            fraction_answers = true;
        } else if (arg.starts_with("-") && arg != "-") {
            throw UsageError { "unknown option '" + args[i]
                + "' (--fraction-answers, --seed, --versions, --distinct, --format, --paper, "
                  "--output, --answers, --help, --version)" };
        } else {
            positional.push_back(arg);
        }
    }

    if (positional.empty())
        throw UsageError { "missing family (" + family_choices() + ")" };
    request.family = find_family(positional[0]);
    if (!request.family)
        throw UsageError { "unknown family '" + positional[0] + "' (" + family_choices() + ")" };
    const Family& family = *request.family;
    const std::string family_name(family.name);

    if (positional.size() > 2)
        throw UsageError { "unexpected argument '" + positional[2]
            + "' (one family and one form)" };
    if (positional.size() == 2) {
        const auto selection = parse_form(family, positional[1]);
        if (!selection)
            throw UsageError { "unknown form '" + positional[1] + "' for " + family_name + " ("
                + form_choices(family) + ")" };
        request.options.selection = *selection;
    } else if (family.default_form) {
        request.options.selection = FormSelection::form(*family.default_form);
    } else {
        throw UsageError { "missing form for " + family_name + " (" + form_choices(family) + ")" };
    }

    if (fraction_answers && !family.takes_fraction_answers())
        throw UsageError { "--fraction-answers does not apply to " + family_name
            + " (only to equations)" };
    request.options.fraction_answers_ok = fraction_answers;
    return request;
}

Text version_label(int i, int versions, std::uint32_t seed)
{
    Text label;
    if (versions > 1) {
        label += u"Version ";
        append_number(label, i + 1);
        label += u" of ";
        append_number(label, versions);
        label += u" \u00B7 ";
    }
    label += u"seed ";
    append_number(label, static_cast<long long>(seed));
    return label;
}

Text answer_key(const Family& family, const std::vector<Problem>& problems, TextView label)
{
    Text key(family.title);
    key += u"\nAnswers\n";
    key += label;
    key += u'\n';
    std::vector<Text> entries;
    std::size_t width = 0; // of the left column
    for (std::size_t i = 0; i < problems.size(); ++i) {
        Text entry = number_text(static_cast<long long>(i + 1));
        entry += u".) ";
        append_maths_text(entry, problems[i].answer());
        if (i % 2 == 0)
            width = std::max(width, entry.size());
        entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < entries.size(); i += 2) {
        key += u'\n';
        key += entries[i];
        if (i + 1 < entries.size()) {
            key.append(width + 3 - entries[i].size(), u' ');
            key += entries[i + 1];
        }
        key += u'\n';
    }
    return key;
}

namespace {

std::string render(const std::vector<Text>& sheets, Format format, double size, const Paper& paper,
    const PageFurniture& furniture)
{
    switch (format) {
    case Format::Text:
        return to_utf8(join_pages(sheets));
    case Format::Rtf:
        return worksheets_rtf(sheets, size, paper, &furniture);
    case Format::Pdf:
        return worksheets_pdf(sheets, size, paper, &furniture);
    }
    return {};
}

} // namespace

RenderedSet render_set(
    const SetRequest& request, std::uint32_t first, const Paper& paper, bool answers)
{
    const Family& family = *request.family;
    const auto versions = static_cast<std::size_t>(request.versions);
    std::vector<Text> sheets;
    sheets.reserve(versions);
    std::vector<Text> keys;
    std::vector<Problem> problems;
    PageFurniture furniture;
    furniture.name_line = true;
    furniture.title = family.title;
    for (int i = 0; i < request.versions; ++i) {
        const std::uint32_t seed = version_seed(first, i);
        problems.clear();
        sheets.push_back(make_sheet(family, request.options, seed, answers ? &problems : nullptr));
        // labels only where a page shows them
        if (request.format != Format::Text || answers)
            furniture.footers.push_back(version_label(i, request.versions, seed));
        if (answers)
            keys.push_back(answer_key(family, problems, furniture.footers.back()));
    }
    furniture.subject = request.versions == 1 ? u"seed " : u"seeds ";
    append_number(furniture.subject, static_cast<long long>(first));
    if (request.versions > 1) {
        furniture.subject += u"..";
        append_number(
            furniture.subject, static_cast<long long>(version_seed(first, request.versions - 1)));
    }

    RenderedSet set;
    const double size = family.sheet_font_size();
    set.worksheets = render(sheets, request.format, size, paper, furniture);
    if (answers) {
        furniture.name_line = false;
        furniture.title += u" \u2014 Answers";
        set.answers = render(keys, request.format, size, paper, furniture);
    }
    return set;
}

} // namespace quillora
