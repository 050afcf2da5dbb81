#pragma once

#include "sets/class_set.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillora {

/// What the tool is asked to do besides making a set.
enum class Action { Make, Help, Version };

/// How the web page offers an option, if at all.
enum class PageControl { None, Checkbox, Number, Text, Choice };

/// One option of quillora-sheet and the web page, everything about it in one row: the tool's
/// parser, its usage line, --help and messages, the manual page, the bash completion, the page's
/// controls and its requests all read the table, options().
struct Option {
    /// "seed": the tool's --seed and the page's seed=.
    std::string_view name;
    /// The value's name in the usage line and the help, e.g. "N"; none for a flag.
    std::string_view value {};
    /// The values it takes, separated by '|', when they are a fixed list.
    std::string_view choices {};
    /// The help's description, lines separated by '\n'; none for the tool's actions.
    std::string_view help {};
    /// The manual page's paragraph about it, in roff, after its tag line.
    std::string_view manual {};
    /// Checks the value and records it in the request; throws UsageError with the message.
    void (*apply)(SetRequest& request, std::string_view value) = nullptr;
    /// The families it applies to; none for every family.
    bool (*applies_to)(const Family& family) = nullptr;
    /// The one format it applies to, e.g. "pdf"; none for every format.
    std::string_view format_only {};
    /// --help and --version, which stand for themselves and make no set.
    Action action = Action::Make;
    /// Another name for it on the command line ("-h").
    std::string_view short_name {};
    /// The web page's control for it, the control's label, hint and placeholder.
    PageControl control = PageControl::None;
    std::string_view label {};
    std::string_view hint {};
    std::string_view placeholder {};
    /// The page's reading of a ticked box, where it differs from the tool's (the answer key box
    /// asks for keys the page offers for download, not for a file).
    void (*page_apply)(SetRequest& request) = nullptr;
};

/// Every option, in the help's order.
std::span<const Option> options();

/// What the tool's arguments (without the program name) ask for. The first --help or --version
/// that is not an option's value wins over any mistake; otherwise the arguments must make a
/// request. After "--" every argument is the family or the form. Throws UsageError.
struct ToolCommand {
    Action action = Action::Make;
    SetRequest request;
};
ToolCommand parse_request(const std::vector<std::string>& args);

/// The tool's usage lines and its whole --help text.
std::string usage_text();
std::string help_text();

/// The web page's names for the family and the form; its other settings are the options it
/// shows.
inline constexpr std::string_view FamilySetting = "family";
inline constexpr std::string_view FormSetting = "form";

/// A page request as the page made it: the request, the settings that make it again for the
/// page's address (the family, the form, then the options given in the table's order, numbers
/// without leading zeros, the seed always), and the stem of its files' names, e.g.
/// "factoring-mixed-seed-100-x30".
struct PageRequest {
    SetRequest request;
    std::vector<std::pair<std::string, std::string>> settings;
    std::string stem;
};

/// Reads the page's settings (its address's or its controls' names and values) in the given
/// format, each name at most once: the family, the form, and the options with a control (a box
/// is "1" or "0"; an empty value is no value). Without a seed, fallback_seed is used; without a
/// paper, A4. Throws UsageError with the tool's messages, and the page's own for an unknown or
/// repeated setting or a box that is neither 1 nor 0.
PageRequest page_request(const std::vector<std::pair<std::string, std::string>>& settings,
    std::string_view format, std::uint32_t fallback_seed);

} // namespace quillora
