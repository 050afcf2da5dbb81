// quillora-sheet: makes worksheets from the command line, one or a class set of versions.

#include "engine/random_source.h"
#include "families/catalogue.h"
#include "sets/class_set.h"
#include "system/atomic_file.h"
#include "system/system_paper.h"

#include <csignal>
#include <cstdint>
#include <iostream>
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
      "                      [--answers FILE]\n"
      "       quillora-sheet --help | --version\n";

enum ExitStatus { Done = 0, CannotWrite = 1, UsageFailure = 2 };

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
           "  --answers FILE      also write the answer key of every version to FILE, in the\n"
           "                      same format, each key from a new page\n"
           "\nExamples:\n  "
        << program << " binomials Bin4 --seed 42 --format rtf --output sheet.rtf\n  " << program
        << " factoring mixed --versions 30 --distinct --format pdf --output class.pdf \\\n"
           "      --answers keys.pdf\n";
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit then shows up as a failed write that is reported, not as a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--")
            break;
        // The value of an option is never taken for an option itself: --output --help names a
        // file.
        if (takes_value(arg)) {
            ++i;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            print_help("quillora-sheet");
            return Done;
        }
        if (arg == "--version") {
            std::cout << "quillora-sheet " << QUILLORA_VERSION << '\n';
            return Done;
        }
    }

    SetRequest request;
    // Where the worksheets and the key go, links followed; both are checked before anything is
    // written, so a refused request changes no file.
    const auto stdout_or
        = [](const std::optional<std::string>& name) { return destination_of(name.value_or("-")); };
    try {
        request = parse_request(args);
        const Destination sheets = stdout_or(request.output);
        const std::optional<Destination> keys
            = request.answers ? std::optional(destination_of(*request.answers)) : std::nullopt;
        if (request.format == Format::Pdf && (sheets.terminal || (keys && keys->terminal)))
            throw UsageError { "will not write PDF to a terminal (use --output FILE or a pipe)" };
        if (keys && same_file(*keys, stdout_or(std::nullopt))
            && (sheets.descriptor == STDOUT_FILENO || same_file(sheets, *keys)))
            throw UsageError { "--answers " + quoted_name(*request.answers)
                + " is standard output, where the worksheets go (give one of them a file)" };
        if (keys && same_file(*keys, sheets))
            throw UsageError { "--answers and --output name the same file "
                + quoted_name(*request.answers) + " (the key would replace the worksheets)" };
    } catch (const UsageError& failure) {
        std::cerr << "quillora-sheet: " << failure.message << '\n';
        return UsageFailure;
    }

    const std::uint32_t first = request.seed.value_or(clock_seed());
    // Version i is the worksheet of seed first + i - 1, wrapping round at 2^32.
    const std::uint32_t last = version_seed(first, request.versions - 1);
    if (!request.seed) {
        if (request.versions == 1)
            std::cerr << "seed: " << first << '\n';
        else
            std::cerr << "seeds: " << first << ".." << last << '\n';
    }
    std::string warning;
    const Paper paper = request.paper ? *request.paper : system_paper(&warning);
    if (!warning.empty())
        std::cerr << "quillora-sheet: " << warning << '\n';

    const RenderedSet set = render_set(request, first, paper, request.answers.has_value());
    // "-" is standard output, as no --output is.
    const auto write = [](const std::optional<std::string>& name, const std::string& bytes) {
        const WriteResult result = !name || *name == "-"
            ? write_to(STDOUT_FILENO, bytes)
            : write_file(*name, bytes, NonRegularTarget::WriteInPlace);
        if (!result.written)
            std::cerr << "quillora-sheet: cannot write "
                      << quoted_name(name && *name != "-" ? *name : "standard output") << ": "
                      << result.reason << '\n';
        return result.written;
    };
    if (!write(request.output, set.worksheets)
        || (request.answers && !write(request.answers, set.answers)))
        return CannotWrite;
    return Done;
}
