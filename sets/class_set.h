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

/// How PDF pages are set: typeset mathematics in Times, or the fixed-pitch text of the sheet.
enum class Style { Typeset, Plain };

/// What quillora-sheet and the web page are asked for: a family, its options, and how many
/// versions to write in which format.
struct SetRequest {
    const Family* family = nullptr;
    ProblemOptions options;
    /// The first version's seed; none means the caller's clock seed.
    std::optional<std::uint32_t> seed;
    int versions = 1;
    Format format = Format::Text;
    Style style = Style::Typeset;
    /// None means the system's paper.
    std::optional<Paper> paper;
    std::optional<std::string> output;
    /// Whether the answer keys are made too, in the same format.
    bool keys = false;
    /// The tool's file for the keys.
    std::optional<std::string> answers;
    /// The address the web page is published at, for each worksheet's QR code and link to its
    /// self-check page; empty for the web page's own address, which the page fills in.
    std::optional<std::string> check_url;
};

/// A request that cannot be made, with the one-line message that says why (the bad value and
/// the valid choices).
struct UsageError {
    std::string message;
};

/// The seed of version i (0-based) of a set that starts at first: first + i, wrapping at 2^32.
constexpr std::uint32_t version_seed(std::uint32_t first, int i)
{
    return first + static_cast<std::uint32_t>(i);
}

/// "Version i of K · seed N" for version i (0-based) of K, or "seed N" for a set of one: what
/// a printed page says so that its sheet can be made again.
Text version_label(int i, int versions, std::uint32_t seed);

/// The answer key of one sheet from its problems: the title, "Answers" and the label, then an
/// entry "n.) answer" per problem in problem order, two to a line with at least two blanks
/// between them.
Text answer_key(const Family& family, const std::vector<Problem>& problems, TextView label);

/// A class set as bytes in the request's format.
struct RenderedSet {
    std::string worksheets;
    /// Empty unless asked for.
    std::string answers;
};

/// The worksheets of every version, as bytes in the request's format on the given paper: text
/// joined by form feeds, or RTF or PDF with each version from a new page under the name line and
/// above its label. With keys, also the versions' answer keys, the same way (without the name
/// line). The worksheets are the same either way.
RenderedSet render_set(const SetRequest& request, std::uint32_t first, const Paper& paper);

} // namespace quillora
