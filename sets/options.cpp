#include "sets/options.h"

#include "engine/text.h"
#include "families/catalogue.h"
#include "sets/check_code.h"

#include <algorithm>

namespace quillora {

namespace {

// A whole number that fits 32 bits (seeds and version counts), with any number of leading zeros.
std::optional<std::uint32_t> parse_number(std::string_view text)
{
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    const std::string_view digits
        = text.substr(first > 0 && first == text.size() ? first - 1 : first);
    if (digits.empty() || digits.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// A value for a message, escaped, and cut after 64 bytes so that a huge value (a link can hold
// megabytes) still makes one short line.
std::string quoted(std::string_view value)
{
    constexpr std::size_t Longest = 64;
    if (value.size() <= Longest)
        return quoted_text(value);
    std::size_t cut = Longest;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
        --cut; // not inside a character
    std::string out = quoted_text(value.substr(0, cut));
    return out.insert(out.size() - 1, "\u2026");
}

// The place of value in a '|'-separated list of choices; throws the option's message if none.
std::size_t choice(std::string_view name, std::string_view choices, std::string_view value)
{
    std::string listed;
    std::size_t place = 0;
    for (std::size_t start = 0;; ++place) {
        const std::size_t end = std::min(choices.find('|', start), choices.size());
        if (choices.substr(start, end - start) == value)
            return place;
        listed += (listed.empty() ? "" : ", ") + std::string(choices.substr(start, end - start));
        if (end == choices.size())
            break;
        start = end + 1;
    }
    throw UsageError { "unknown " + std::string(name) + " " + quoted(value) + " (" + listed + ")" };
}

std::string file_name(std::string_view name, std::string_view value)
{
    if (value.empty())
        throw UsageError { "empty " + std::string(name) + " file name" };
    return std::string(value);
}

constexpr Option Options[] = {
    { .name = "fraction-answers",
        .help = "allow fractional answers (equations only)",
        .manual = R"(Allow fractions as answers (the "Fraction Answers OK" box of the window
program).
Equations only; with any other family it is a usage error.)",
        .apply = [](SetRequest& r, std::string_view) { r.options.fraction_answers_ok = true; },
        .applies_to = [](const Family& family) { return family.takes_fraction_answers(); },
        .control = PageControl::Checkbox,
        .label = FractionAnswersCaption,
        .hint = "Equations only: answers may be fractions." },
    { .name = "seed",
        .value = "N",
        .help = "seed from 0 to 4294967295; without it the clock is used\n"
                "and the seed is reported on standard error",
        .manual = R"(Seed the random draws with
.IR N ,
a whole number from 0 to 4294967295.
Without it the seed is the time of day in milliseconds since local midnight,
and it is reported on standard error.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                r.seed = parse_number(value);
                if (!r.seed)
                    throw UsageError { "invalid seed " + quoted(value)
                        + " (a whole number from 0 to 4294967295)" };
            },
        .control = PageControl::Number,
        .label = "Seed",
        .hint = "Blank: a new set each time. A seed makes its set again.",
        .placeholder = "random" },
    { .name = "versions",
        .value = "K",
        .help = "K versions (1 to 1000, default 1); version i is the\n"
                "worksheet of seed N+i-1",
        .manual = R"(Make
.I K
versions of the worksheet,
.I K
from 1 to 1000 (default 1).
Version
.I i
is exactly the worksheet of seed
.IR N + i \-1
(modulo 2\(ha32).
Text output joins the versions with a form feed; RTF and PDF start each
version on a new page.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                const auto versions = parse_number(value);
                if (!versions || *versions < 1 || *versions > MaxVersions)
                    throw UsageError { "invalid number of versions " + quoted(value)
                        + " (a whole number from 1 to " + std::to_string(MaxVersions) + ")" };
                r.versions = static_cast<int>(*versions);
            },
        .control = PageControl::Number,
        .label = "Versions",
        .hint = "1 to 1000, one per pupil, each a different sheet.",
        .placeholder = "1" },
    { .name = "distinct",
        .help = "no problem twice on a sheet",
        .manual = "Never put the same problem twice on one worksheet.",
        .apply = [](SetRequest& r, std::string_view) { r.options.distinct = true; },
        .control = PageControl::Checkbox,
        .label = "No repeated problems" },
    { .name = "format",
        .value = "FORMAT",
        .choices = "text|rtf|pdf",
        .help = "text (default; versions joined by a form feed), rtf or\n"
                "pdf (each version from a new page)",
        .manual = R"(.B text
(the default) writes the worksheet as UTF-8 text, line for line as the window
shows it.
.B rtf
writes what the window program's Save writes, with a line for the pupil's name
and the date above each sheet and its label below it; each sheet prints on one
page.
.B pdf
writes printable pages, typeset unless
.B \-\-style plain
is given.
Every page carries the name line at its top and the label of its sheet,
.RI "\(lqVersion " i " of " K " \(pc seed " N \(rq
(for a single sheet
.RI "\(lqseed " N \(rq),
at its foot, so a printed page can be made again; the document's title,
creator and subject (the seeds) name the set.
A PDF is never written to a terminal: give
.B \-\-output
or redirect standard output.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                r.format = static_cast<Format>(choice("format", "text|rtf|pdf", value));
            } },
    { .name = "style",
        .value = "STYLE",
        .choices = "typeset|plain",
        .help = "pdf pages typeset (default: Times, full-size fractions,\n"
                "raised exponents) or plain (the fixed-pitch page)",
        .manual = R"(How PDF pages are set.
.B typeset
(the default) sets the mathematics as a textbook does, in the PDF standard
Times and Symbol fonts: fractions at full size over a rule, exponents raised,
a true minus sign, an italic
.IR x ,
spaced around operators and the equals sign.
Each version is one page: the title as a heading, a line saying what to do (such as
\(lqSolve for x.\(rq), and the problems numbered in the family's columns, spread
down the page with room to work.
A key is one page a version too, each problem beside its answer.
.B plain
writes the fixed-pitch pages the window program prints, in Courier: a line is
never wrapped (a sheet too wide for the page is scaled down) and a page break
never splits a problem.
PDF only: with another format it is a usage error.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                r.style = static_cast<Style>(choice("style", "typeset|plain", value));
            },
        .format_only = "pdf" },
    { .name = "paper",
        .value = "PAPER",
        .choices = "a4|letter",
        .help = "a4 or letter for rtf and pdf (default: the system's paper)",
        .manual = R"(The paper of PDF pages and of the RTF page setup.
The default is the system's default paper, as
.BR papersize (5)
describes
.RB ( PAPERSIZE ,
.BR PAPERCONF ,
.IR /etc/papersize );
A4 when none is set.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                r.paper = choice("paper", "a4|letter", value) == 0 ? A4Paper : LetterPaper;
            },
        .control = PageControl::Choice,
        .label = "Paper" },
    { .name = "output",
        .value = "FILE",
        .help = "write to FILE instead of standard output",
        .manual = R"(Write to
.I FILE
instead of standard output.
The file is written to a temporary file in the same folder and then renamed,
so a failed write leaves an existing
.I FILE
as it was.)",
        .apply
        = [](SetRequest& r, std::string_view value) { r.output = file_name("output", value); } },
    { .name = "answers",
        .value = "FILE",
        .help = "also write the answer key of every version to FILE, in the\n"
                "same format, each key from a new page",
        .manual = R"(Also write the answer key of every version to
.IR FILE ,
in the same format and written the same way as
.BR \-\-output .
Each key starts on a new page (a form feed in text) and is headed by the
worksheet's title,
.BR Answers ,
and its version's label; its entries
.RI \(lq n ".) " answer \(rq
follow the problems' numbers, two to a line.
Products are expanded in descending powers, factorisations are complete over
the integers with the common monomial factor first, solutions are
.RI "\(lqx = " p / q \(rq
in lowest terms (or
.B no solution
and
.BR "every x" ),
and fractions are in lowest terms, an improper one followed by its mixed
number.
.I FILE
may not be the
.B \-\-output
file.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                r.answers = file_name("answers", value);
                r.keys = true;
            },
        .control = PageControl::Checkbox,
        .label = "Answer key",
        .hint = "One key per version, in the same order.",
        .page_apply = [](SetRequest& r) { r.keys = true; } },
    { .name = "check-url",
        .value = "URL",
        .help = "print on every worksheet a QR code of its self-check page\n"
                "on the web page published at URL (text, rtf: the link)",
        .manual = R"(Print on every worksheet, in its footer beside the label, a QR code that
leads to that version's self-check page on the web page published at
.IR URL ,
with the link in small type under it.
The page shows that one sheet with an answer box per problem and marks the
pupil's answers in the browser; it shows the answers only through the key link
the web page gives a teacher.
.I URL
is the address the folder
.B make web
builds was published at: http:// or https://, at most 110 characters, without
blanks, a query (?) or a fragment (#).
Text and RTF worksheets get the link line only; answer keys are unchanged.)",
        .apply =
            [](SetRequest& r, std::string_view value) {
                if (!is_site_address(value))
                    throw UsageError { "invalid check URL " + quoted(value)
                        + " (an http:// or https:// address of at most "
                        + std::to_string(MaxSiteLength) + " characters, without blanks, ? or #)" };
                r.check_url = std::string(value);
            },
        .control = PageControl::Checkbox,
        .label = "Self-check codes",
        .hint = "A QR code on each sheet, leading to its self-check page on this site.",
        .page_apply = [](SetRequest& r) { r.check_url = std::string(); } },
    { .name = "help",
        .manual = "Print the usage, the families and their forms, and exit.",
        .action = Action::Help,
        .short_name = "-h" },
    { .name = "version", .manual = "Print the version and exit.", .action = Action::Version },
};

// "--fraction-answers, --seed, ..., --version": the tool's options for a message.
std::string option_list()
{
    std::string out;
    for (const Option& option : Options)
        out += (out.empty() ? "--" : ", --") + std::string(option.name);
    return out;
}

// The family and the form named, or the family's default form. Throws UsageError.
void choose_family_and_form(SetRequest& request, const std::vector<std::string>& positional)
{
    if (positional.empty())
        throw UsageError { "missing family (" + family_choices() + ")" };
    request.family = find_family(positional[0]);
    if (!request.family)
        throw UsageError { "unknown family " + quoted(positional[0]) + " (" + family_choices()
            + ")" };
    const Family& family = *request.family;
    const std::string family_name(family.name);
    if (positional.size() > 2)
        throw UsageError { "unexpected argument " + quoted(positional[2])
            + " (one family and one form)" };
    if (positional.size() == 2) {
        const auto selection = parse_form(family, positional[1]);
        if (!selection)
            throw UsageError { "unknown form " + quoted(positional[1]) + " for " + family_name
                + " (" + form_choices(family) + ")" };
        request.options.selection = *selection;
    } else if (family.default_form) {
        request.options.selection = FormSelection::form(*family.default_form);
    } else {
        throw UsageError { "missing form for " + family_name + " (" + form_choices(family) + ")" };
    }
}

// Each option given that does not apply to the request's family or format is a usage error.
void check_families(const SetRequest& request, const std::vector<const Option*>& given)
{
    constexpr std::string_view Formats[] = { "text", "rtf", "pdf" };
    for (const Option* option : given) {
        const std::string_view format = Formats[static_cast<std::size_t>(request.format)];
        if (!option->format_only.empty() && option->format_only != format)
            throw UsageError { "--" + std::string(option->name) + " does not apply to "
                + std::string(format) + " (only to " + std::string(option->format_only) + ")" };
        if (!option->applies_to || option->applies_to(*request.family))
            continue;
        std::string only;
        for (const Family* family : families()) {
            if (option->applies_to(*family))
                only += (only.empty() ? "" : ", ") + std::string(family->name);
        }
        throw UsageError { "--" + std::string(option->name) + " does not apply to "
            + std::string(request.family->name) + " (only to " + only + ")" };
    }
    // a blank sheet has no answers to check, so no self-check page
    if (request.check_url && request.options.selection.is_none())
        throw UsageError { "--check-url does not apply to none (only to a sheet with problems)" };
}

const Option* find_option(std::string_view name)
{
    for (const Option& option : Options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

} // namespace

std::span<const Option> options()
{
    return Options;
}

ToolCommand parse_request(const std::vector<std::string>& args)
{
    ToolCommand command;
    SetRequest& request = command.request;
    std::vector<std::string> positional;
    std::vector<const Option*> given;
    std::optional<UsageError> mistake;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--") { // what follows is the family and the form, whatever they look like
            positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
            break;
        }
        if (!arg.starts_with("-") || arg == "-") {
            positional.emplace_back(arg);
            continue;
        }
        std::optional<std::string_view> value;
        if (arg.starts_with("--") && arg.find('=') != std::string_view::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
        }
        const auto option
            = std::find_if(std::begin(Options), std::end(Options), [arg](const Option& o) {
                  return arg == "--" + std::string(o.name) || arg == o.short_name;
              });
        try {
            if (option == std::end(Options) || (value && option->value.empty()))
                throw UsageError { "unknown option " + quoted(args[i]) + " (" + option_list()
                    + ")" };
            if (!option->value.empty() && !value) {
                if (i + 1 >= args.size())
                    throw UsageError { "option " + quoted(arg) + " needs a value" };
                value = args[++i];
            }
            if (option->action != Action::Make) {
                command.action = option->action;
                return command;
            }
            option->apply(request, value.value_or(""));
            given.push_back(&*option);
        } catch (const UsageError& failure) {
            if (!mistake)
                mistake = failure;
        }
    }
    if (mistake)
        throw *mistake;
    choose_family_and_form(request, positional);
    check_families(request, given);
    return command;
}

std::string usage_text()
{
    constexpr std::size_t Width = 96;
    const std::string indent(22, ' ');
    std::string out = "usage: quillora-sheet FAMILY [FORM]";
    std::size_t line = 0;
    std::string actions;
    for (const Option& option : Options) {
        if (option.action != Action::Make) {
            actions += (actions.empty() ? " --" : " | --") + std::string(option.name);
            continue;
        }
        // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on " " + string.
        std::string item = "[--";
        item.append(option.name);
        if (!option.value.empty())
            item.append(" ").append(option.choices.empty() ? option.value : option.choices);
        item += ']';
        if (out.size() - line + 1 + item.size() > Width) {
            out += "\n" + indent;
            line = out.size() - indent.size();
        } else {
            out += ' ';
        }
        out += item;
    }
    return out + "\n       quillora-sheet" + actions + "\n";
}

std::string help_text()
{
    std::string out = usage_text()
        + "\nMakes algebra worksheets, one or a class set of versions, and writes them as\n"
          "UTF-8 text, rich text or print-ready PDF.\n\n"
          "Families and their forms (mixed: the family's forms drawn at random; none: the\n"
          "title and blank layout only):\n";
    for (const Family* family : families()) {
        out += "  " + std::string(family->name) + ": " + form_choices(*family);
        if (family->default_form)
            out += " (default "
                + std::string(family->forms[std::size_t(*family->default_form - 1)].code) + ")";
        out += '\n';
        for (const Form& form : family->forms)
            out += "    " + std::string(form.code) + std::string(16 - form.code.size(), ' ')
                + std::string(form.description) + '\n';
    }
    out += "\nOptions:\n";
    for (const Option& option : Options) {
        if (option.help.empty())
            continue;
        std::string name = "--" + std::string(option.name);
        if (!option.value.empty())
            name += " " + std::string(option.value);
        out += "  " + name + std::string(name.size() < 18 ? 20 - name.size() : 2, ' ');
        for (const char c : option.help)
            out += c == '\n' ? "\n                      " : std::string(1, c);
        out += '\n';
    }
    return out
        + "\nExamples:\n"
          "  quillora-sheet binomials Bin4 --seed 42 --format rtf --output sheet.rtf\n"
          "  quillora-sheet factoring mixed --versions 30 --distinct --format pdf --output "
          "class.pdf \\\n"
          "      --answers keys.pdf\n";
}

PageRequest page_request(const std::vector<std::pair<std::string, std::string>>& settings,
    std::string_view format, std::uint32_t fallback_seed)
{
    std::vector<std::string> names { std::string(FamilySetting), std::string(FormSetting) };
    for (const Option& option : Options) {
        if (option.control != PageControl::None)
            names.emplace_back(option.name);
    }
    std::vector<std::string> seen;
    for (const auto& [name, value] : settings) {
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            std::string listed;
            for (const std::string& each : names)
                listed += (listed.empty() ? "" : ", ") + each;
            throw UsageError { "unknown setting " + quoted(name) + " (" + listed + ")" };
        }
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            throw UsageError { "setting " + quoted(name) + " given twice" };
        seen.push_back(name);
        const Option* option = find_option(name);
        if (option && option->control == PageControl::Checkbox && value != "0" && value != "1")
            throw UsageError { "invalid " + name + " " + quoted(value) + " (1 or 0)" };
    }
    const auto value_of = [&settings](std::string_view name) -> std::optional<std::string> {
        for (const auto& [each, value] : settings) {
            if (each == name && !value.empty())
                return value;
        }
        return std::nullopt;
    };

    PageRequest page;
    SetRequest& request = page.request;
    find_option("format")->apply(request, format);
    std::vector<const Option*> given;
    std::vector<std::pair<std::string, std::string>> chosen;
    for (const Option& option : Options) {
        auto value = value_of(option.name);
        if (!value && option.name == "seed")
            value = std::to_string(fallback_seed);
        if (option.control == PageControl::None || !value
            || (option.control == PageControl::Checkbox && *value == "0"))
            continue;
        if (option.control != PageControl::Checkbox)
            option.apply(request, *value);
        else if (option.page_apply)
            option.page_apply(request);
        else
            option.apply(request, {});
        given.push_back(&option);
        // a number as the libraries read it, without leading zeros
        if (std::all_of(value->begin(), value->end(), [](char c) { return c >= '0' && c <= '9'; }))
            value = std::to_string(std::stoull(*value));
        chosen.emplace_back(option.name, *value);
    }
    std::vector<std::string> positional;
    if (const auto family = value_of(FamilySetting)) {
        positional.push_back(*family);
        if (const auto form = value_of(FormSetting))
            positional.push_back(*form);
    }
    choose_family_and_form(request, positional);
    check_families(request, given);
    if (!request.paper)
        request.paper = A4Paper;

    const Family& family = *request.family;
    const std::string form = positional.size() == 2
        ? positional[1]
        : std::string(family.forms[std::size_t(*family.default_form - 1)].code);
    page.settings = { { std::string(FamilySetting), std::string(family.name) },
        { std::string(FormSetting), form } };
    page.settings.insert(page.settings.end(), chosen.begin(), chosen.end());
    page.stem = std::string(family.name) + "-" + form + "-seed-" + std::to_string(*request.seed)
        + (request.versions == 1 ? "" : "-x" + std::to_string(request.versions));
    return page;
}

} // namespace quillora
