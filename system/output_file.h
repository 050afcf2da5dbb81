#pragma once

#include <string>

namespace quillora {

/// Writes bytes to a file so that a failure leaves any existing file untouched: a regular file is
/// replaced through a temporary file in the same folder and a rename; a path that exists and is
/// not a regular file (a device such as /dev/null, a pipe) is written in place. Returns an empty
/// string on success, else the system's reason.
std::string write_file_atomically(const std::string& path, const std::string& bytes);

/// Writes bytes to standard output; returns an empty string on success, else the reason.
std::string write_stdout(const std::string& bytes);

} // namespace quillora
