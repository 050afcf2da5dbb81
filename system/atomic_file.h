#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

/// What a write does with a target that exists and is not a regular file: a device, a pipe, a
/// socket, or a name of the system's in /dev or /proc (/dev/stdout, /dev/fd/N).
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
/// A file its user may write but not replace with one of the same owner and group (another
/// user's writable file, a file in a sticky or unwritable folder) is written over in place once
/// room for the new bytes is claimed, keeping owner, group, mode and hard links. A failure the
/// folder causes names the folder.
[[nodiscard]] WriteResult write_file(
    const std::string& path, std::string_view bytes, NonRegularTarget non_regular);

/// Where an output name leads, links followed: to tell two names of one file apart before
/// anything is written.
struct Destination {
    /// Absolute, links, `.` and `..` resolved; a missing last part as written.
    std::string path;
    /// This process's descriptor it names (`-`, /dev/stdout, /dev/fd/N, /proc/self/fd/N), or -1.
    int descriptor = -1;
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool terminal = false;
};

/// Where a name leads: `-` is standard output, as the tool reads it.
Destination destination_of(const std::string& name);

/// Whether two destinations are one file: the same existing file (or stream), or the same place
/// for a new one.
bool same_file(const Destination& a, const Destination& b);

/// Writes bytes to an open descriptor, retrying short writes and interruptions.
[[nodiscard]] WriteResult write_to(int fd, std::string_view bytes);

} // namespace quillora
