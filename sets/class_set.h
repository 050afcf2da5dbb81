#pragma once

#include "engine/family.h"
#include "engine/page_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

/// The most versions one class set may hold.
inline constexpr int MaxVersions = 1000;

enum class Format { Text, Rtf, Pdf };

/// What quillora-sheet and the web page are asked for: a family, its options, and how many
/// versions to write in which format.
struct SetRequest {
    const Family* family = nullptr;
    ProblemOptions options;
    /// The first version's seed; none means the caller's clock seed.
    std::optional<std::uint32_t> seed;
    int versions = 1;
    Format format = Format::Text;
    /// None means the system's paper.
    std::optional<Paper> paper;
    std::optional<std::string> output;
};

/// A request that cannot be made, with the one-line message that says why (the bad value and
/// the valid choices).
struct UsageError {
    std::string message;
};

/// Whether an argument is an option whose value is the next argument (`--seed 5`, not
/// `--seed=5`).
bool takes_value(std::string_view arg);

/// Reads the tool's arguments (without the program name, --help and --version); throws
/// UsageError.
SetRequest parse_request(const std::vector<std::string>& args);

/// The seed of version i (0-based) of a set that starts at first: first + i, wrapping at 2^32.
constexpr std::uint32_t version_seed(std::uint32_t first, int i)
{
    return first + static_cast<std::uint32_t>(i);
}

/// The worksheets of every version, as bytes in the request's format on the given paper: text
/// joined by form feeds, or RTF or PDF with each version from a new page.
std::string render_worksheets(const SetRequest& request, std::uint32_t first, const Paper& paper);

} // namespace quillora
