// quillora-sheet: makes worksheets from the command line, one or a class set of versions.

#include "engine/random_source.h"
#include "engine/text.h"
#include "sets/class_set.h"
#include "sets/options.h"
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

enum ExitStatus { Done = 0, CannotWrite = 1, UsageFailure = 2 };

} // namespace

int main(int argc, char** argv)
{
    // A file size limit then shows up as a failed write that is reported, not as a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    SetRequest request;
    // Where the worksheets and the key go, links followed; both are checked before anything is
    // written, so a refused request changes no file.
    const auto stdout_or
        = [](const std::optional<std::string>& name) { return destination_of(name.value_or("-")); };
    try {
        const ToolCommand command = parse_request(args);
        if (command.action == Action::Help) {
            std::cout << help_text();
            return Done;
        }
        if (command.action == Action::Version) {
            std::cout << "quillora-sheet " << QUILLORA_VERSION << '\n';
            return Done;
        }
        request = command.request;
        const Destination sheets = stdout_or(request.output);
        const std::optional<Destination> keys
            = request.answers ? std::optional(destination_of(*request.answers)) : std::nullopt;
        if (request.format == Format::Pdf && (sheets.terminal || (keys && keys->terminal)))
            throw UsageError { "will not write PDF to a terminal (use --output FILE or a pipe)" };
        if (keys && same_file(*keys, stdout_or(std::nullopt))
            && (sheets.descriptor == STDOUT_FILENO || same_file(sheets, *keys)))
            throw UsageError { "--answers " + quoted_text(*request.answers)
                + " is standard output, where the worksheets go (give one of them a file)" };
        if (keys && same_file(*keys, sheets))
            throw UsageError { "--answers and --output name the same file "
                + quoted_text(*request.answers) + " (the key would replace the worksheets)" };
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

    const RenderedSet set = render_set(request, first, paper);
    // "-" is standard output, as no --output is.
    const auto write = [](const std::optional<std::string>& name, const std::string& bytes) {
        const WriteResult result = !name || *name == "-"
            ? write_to(STDOUT_FILENO, bytes)
            : write_file(*name, bytes, NonRegularTarget::WriteInPlace);
        if (!result.written)
            std::cerr << "quillora-sheet: cannot write "
                      << quoted_text(name && *name != "-" ? *name : "standard output") << ": "
                      << result.reason << '\n';
        return result.written;
    };
    if (!write(request.output, set.worksheets)
        || (request.answers && !write(request.answers, set.answers)))
        return CannotWrite;
    return Done;
}
