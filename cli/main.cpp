// quillora-sheet: makes worksheets from the command line, one or a class set of versions.

#include "engine/pdf_writer.h"
#include "engine/random_source.h"
#include "engine/rtf_writer.h"
#include "families/catalogue.h"
#include "system/output_file.h"
#include "system/system_paper.h"

#include <csignal>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace quillora;

namespace {

constexpr std::string_view Usage
    = "usage: quillora-sheet FAMILY [FORM] [--fraction-answers] [--seed N] [--versions K] "
      "[--distinct]\n"
      "                      [--format text|rtf|pdf] [--paper a4|letter] [--output FILE]\n"
      "       quillora-sheet --help | --version\n";

constexpr int MaxVersions = 1000;

enum class Format { Text, Rtf, Pdf };

enum ExitStatus { Done = 0, CannotWrite = 1, UsageError = 2 };

struct UsageFailure {
    std::string message;
};

void print_help(const std::string& program)
{
    std::cout << Usage
              << "\nMakes algebra worksheets, one or a class set of versions, and writes them as\n"
                 "UTF-8 text, rich text or print-ready PDF.\n\n"
              << "Families and their forms (mixed: the family's forms drawn at random; none: the\n"
                 "title and blank layout only):\n";
    for (const Family* family : families()) {
        std::cout << "  " << family->name << ": " << form_choices(*family);
        if (family->default_form)
            std::cout << " (default "
                      << family->forms[static_cast<std::size_t>(*family->default_form - 1)].code
                      << ")";
        std::cout << '\n';
        for (const Form& form : family->forms) {
            std::cout << "    " << form.code << std::string(16 - form.code.size(), ' ')
                      << form.description << '\n';
        }
    }
    std::cout
        << "\nOptions:\n"
           "  --fraction-answers  allow fractional answers (equations only)\n"
           "  --seed N            seed from 0 to 4294967295; without it the clock is used\n"
           "                      and the seed is reported on standard error\n"
           "  --versions K        K versions (1 to 1000, default 1); version i is the\n"
           "                      worksheet of seed N+i-1\n"
           "  --distinct          no problem twice on a sheet\n"
           "  --format FORMAT     text (default; versions joined by a form feed), rtf or\n"
           "                      pdf (each version from a new page)\n"
           "  --paper PAPER       a4 or letter for rtf and pdf (default: the system's paper)\n"
           "  --output FILE       write to FILE instead of standard output\n"
           "\nExamples:\n  "
        << program << " binomials Bin4 --seed 42 --format rtf --output sheet.rtf\n  " << program
        << " factoring mixed --versions 30 --distinct --format pdf --output class.pdf\n";
}

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

struct Request {
    const Family* family = nullptr;
    ProblemOptions options;
    std::optional<std::uint32_t> seed;
    int versions = 1;
    Format format = Format::Text;
    std::optional<Paper> paper;
    std::optional<std::string> output;
};

Request parse(const std::vector<std::string>& args)
{
    Request request;
    std::vector<std::string> positional;
    bool fraction_answers = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> value;
        if (arg.starts_with("--") && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
        }
        auto take_value = [&]() {
            if (value)
                return *value;
            if (i + 1 >= args.size())
                throw UsageFailure { "option '" + arg + "' needs a value" };
            return args[++i];
        };

        if (arg == "--seed") {
            const std::string text = take_value();
            request.seed = parse_number(text);
            if (!request.seed)
                throw UsageFailure { "invalid seed '" + text
                    + "' (a whole number from 0 to 4294967295)" };
        } else if (arg == "--versions") {
            const std::string text = take_value();
            const auto versions = parse_number(text);
            if (!versions || *versions < 1 || *versions > MaxVersions)
                throw UsageFailure { "invalid number of versions '" + text
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
                throw UsageFailure { "unknown format '" + text + "' (text, rtf, pdf)" };
        } else if (arg == "--paper") {
            const std::string text = take_value();
            if (text == A4Paper.name)
                request.paper = A4Paper;
            else if (text == LetterPaper.name)
                request.paper = LetterPaper;
            else
                throw UsageFailure { "unknown paper '" + text + "' (a4, letter)" };
        } else if (arg == "--output") {
            request.output = take_value();
            if (request.output->empty())
                throw UsageFailure { "empty output file name" };
        } else if (arg == "--fraction-answers" && !value) {
            fraction_answers = true;
        } else if (arg.starts_with("-") && arg != "-") {
            throw UsageFailure { "unknown option '" + args[i]
                + "' (--fraction-answers, --seed, --versions, --distinct, --format, --paper, "
                  "--output, --help, --version)" };
        } else {
            positional.push_back(arg);
        }
    }

    if (positional.empty())
        throw UsageFailure { "missing family (" + family_choices() + ")" };
    request.family = find_family(positional[0]);
    if (!request.family)
        throw UsageFailure { "unknown family '" + positional[0] + "' (" + family_choices() + ")" };
    const Family& family = *request.family;
    const std::string family_name(family.name);

    if (positional.size() > 2)
        throw UsageFailure { "unexpected argument '" + positional[2]
            + "' (one family and one form)" };
    if (positional.size() == 2) {
        const auto selection = parse_form(family, positional[1]);
        if (!selection)
            throw UsageFailure { "unknown form '" + positional[1] + "' for " + family_name + " ("
                + form_choices(family) + ")" };
        request.options.selection = *selection;
    } else if (family.default_form) {
        request.options.selection = FormSelection::form(*family.default_form);
    } else {
        throw UsageFailure { "missing form for " + family_name + " (" + form_choices(family)
            + ")" };
    }

    if (fraction_answers && !family.takes_fraction_answers())
        throw UsageFailure { "--fraction-answers does not apply to " + family_name
            + " (only to equations)" };
    request.options.fraction_answers_ok = fraction_answers;
    if (request.format == Format::Pdf && !request.output && isatty(STDOUT_FILENO))
        throw UsageFailure { "will not write PDF to a terminal (use --output FILE or a pipe)" };
    return request;
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit then shows up as a failed write that is reported, not as a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            print_help("quillora-sheet");
            return Done;
        }
        if (arg == "--version") {
            std::cout << "quillora-sheet " << QUILLORA_VERSION << '\n';
            return Done;
        }
    }

    Request request;
    try {
        request = parse(args);
    } catch (const UsageFailure& failure) {
        std::cerr << "quillora-sheet: " << failure.message << '\n';
        return UsageError;
    }

    const std::uint32_t first = request.seed.value_or(clock_seed());
    // Version i is the worksheet of seed first + i - 1, wrapping round at 2^32.
    const std::uint32_t last = first + static_cast<std::uint32_t>(request.versions - 1);
    if (!request.seed) {
        if (request.versions == 1)
            std::cerr << "seed: " << first << '\n';
        else
            std::cerr << "seeds: " << first << ".." << last << '\n';
    }

    std::vector<Text> sheets;
    sheets.reserve(static_cast<std::size_t>(request.versions));
    for (int i = 0; i < request.versions; ++i)
        sheets.push_back(
            make_sheet(*request.family, request.options, first + static_cast<std::uint32_t>(i)));
    const double size = request.family->sheet_font_size();
    std::string bytes;
    switch (request.format) {
    case Format::Text:
        bytes = to_utf8(join_pages(sheets));
        break;
    case Format::Rtf:
        bytes = worksheets_rtf(sheets, size, request.paper.value_or(system_paper()));
        break;
    case Format::Pdf:
        bytes = worksheets_pdf(sheets, size, request.paper.value_or(system_paper()));
        break;
    }

    const std::string error
        = request.output ? write_file_atomically(*request.output, bytes) : write_stdout(bytes);
    if (!error.empty()) {
        std::cerr << "quillora-sheet: cannot write '" << request.output.value_or("standard output")
                  << "': " << error << '\n';
        return CannotWrite;
    }
    return Done;
}
