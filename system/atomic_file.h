#pragma once

#include <string>
#include <string_view>

namespace quillora {

/// What a write does with a target that exists and is not a regular file: a device, a pipe, a
/// socket, or anything reached through /dev or /proc (/dev/stdout, /dev/fd/N).
enum class NonRegularTarget {
    /// Written in place, never replaced (the tool: `--output /dev/stdout`).
    WriteInPlace,
    /// Refused before anything is opened (a window must never wait on a pipe).
    Refuse,
};

/// The outcome of a write: done, or the reason it failed, one line for a message.
struct WriteResult {
    bool written = true;
    std::string reason;
};

/// Writes bytes to a file so that a failure leaves any existing file whole: a regular file is
/// replaced through a temporary file in its folder and a rename. A symbolic link is written
/// through to its target and kept; a read-only file is refused; the replaced file's owner, group
/// and mode are kept; the temporary file is removed on failure and on SIGINT, SIGTERM and SIGHUP.
[[nodiscard]] WriteResult write_file(
    const std::string& path, std::string_view bytes, NonRegularTarget non_regular);

/// Writes bytes to an open descriptor, retrying short writes and interruptions.
[[nodiscard]] WriteResult write_to(int fd, std::string_view bytes);

/// A file name for a one-line message: between quotes, with control characters, the quote and
/// backslashes escaped C-style, so a name cannot break the line or reach a terminal raw.
std::string quoted_name(std::string_view name, char quote = '\'');

} // namespace quillora
