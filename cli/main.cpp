// quillora-sheet: makes one worksheet from the command line.

#include "cli/output_file.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "page/system_paper.h"
#include "rtf/rtf_writer.h"

#include <csignal>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace quillora;

namespace {

constexpr std::string_view Usage
    = "usage: quillora-sheet FAMILY [FORM] [--fraction-answers] [--seed N] [--format text|rtf] "
      "[--output FILE]\n"
      "       quillora-sheet --help | --version\n";

enum ExitStatus { Done = 0, CannotWrite = 1, UsageError = 2 };

struct UsageFailure {
    std::string message;
};

void print_help(const std::string& program)
{
    std::cout << Usage
              << "\nMakes one algebra worksheet and writes it as UTF-8 text or rich text.\n\n"
              << "Families and their forms:\n";
    for (const auto& family : families()) {
        std::cout << "  " << family.name << ": " << form_choices(family);
        if (family.default_form)
            std::cout << " (default "
                      << family.forms[static_cast<std::size_t>(*family.default_form - 1)] << ")";
        std::cout << '\n';
    }
    std::cout << "\nOptions:\n"
                 "  --fraction-answers  allow fractional answers (equations only)\n"
                 "  --seed N            seed from 0 to 4294967295; without it the clock is used\n"
                 "                      and the seed is reported on standard error\n"
                 "  --format text|rtf   output format (default text)\n"
                 "  --output FILE       write to FILE instead of standard output\n"
                 "\nExample: "
              << program << " binomials Bin4 --seed 42 --format rtf --output sheet.rtf\n";
}

std::optional<std::uint32_t> parse_seed(std::string_view text)
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
    const FamilyEntry* family = nullptr;
    ProblemOptions options;
    std::optional<std::uint32_t> seed;
    bool rtf = false;
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
            request.seed = parse_seed(text);
            if (!request.seed)
                throw UsageFailure { "invalid seed '" + text
                    + "' (a whole number from 0 to 4294967295)" };
        } else if (arg == "--format") {
            const std::string text = take_value();
            if (text != "text" && text != "rtf")
                throw UsageFailure { "unknown format '" + text + "' (text, rtf)" };
            request.rtf = text == "rtf";
        } else if (arg == "--output") {
            request.output = take_value();
            if (request.output->empty())
                throw UsageFailure { "empty output file name" };
        } else if (arg == "--fraction-answers" && !value) {
            fraction_answers = true;
        } else if (arg.starts_with("-") && arg != "-") {
            throw UsageFailure { "unknown option '" + args[i]
                + "' (--fraction-answers, --seed, --format, --output, --help, --version)" };
        } else {
            positional.push_back(arg);
        }
    }

    if (positional.empty())
        throw UsageFailure { "missing family (" + family_choices() + ")" };
    request.family = find_family(positional[0]);
    if (!request.family)
        throw UsageFailure { "unknown family '" + positional[0] + "' (" + family_choices() + ")" };
    const FamilyEntry& family = *request.family;
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

    if (fraction_answers && !family.takes_fraction_answers)
        throw UsageFailure { "--fraction-answers does not apply to " + family_name
            + " (only to equations)" };
    request.options.fraction_answers_ok = fraction_answers;
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

    const std::uint32_t seed = request.seed.value_or(clock_seed());
    if (!request.seed)
        std::cerr << "seed: " << seed << '\n';

    Mt19937Source random(seed);
    const RunResult result = request.family->run(request.options, random);
    const std::string bytes = request.rtf
        ? worksheet_rtf(result.text, result.font_size.value_or(FreshWindowFontSize), system_paper())
        : to_utf8(result.text);

    const std::string error
        = request.output ? write_file_atomically(*request.output, bytes) : write_stdout(bytes);
    if (!error.empty()) {
        std::cerr << "quillora-sheet: cannot write '" << request.output.value_or("standard output")
                  << "': " << error << '\n';
        return CannotWrite;
    }
    return Done;
}
