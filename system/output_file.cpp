#include "system/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora {

namespace {

std::string write_all(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::strerror(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

std::string write_in_place(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    std::string error = write_all(fd, bytes);
    if (::close(fd) != 0 && error.empty())
        error = std::strerror(errno);
    return error;
}

} // namespace

std::string write_file_atomically(const std::string& path, const std::string& bytes)
{
    struct stat existing { };
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return std::strerror(EISDIR);
    if (exists && !S_ISREG(existing.st_mode))
        return write_in_place(path, bytes);

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return std::strerror(errno);

    // mkstemp makes the file private; give it the existing file's mode or the usual new-file mode.
    mode_t mode = 0666;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    std::string error = write_all(fd, bytes);
    if (error.empty() && ::fchmod(fd, mode) != 0)
        error = std::strerror(errno);
    if (error.empty() && ::fsync(fd) != 0)
        error = std::strerror(errno);
    if (::close(fd) != 0 && error.empty())
        error = std::strerror(errno);
    if (error.empty() && ::rename(temp.c_str(), path.c_str()) != 0)
        error = std::strerror(errno);
    if (!error.empty())
        ::unlink(temp.c_str());
    return error;
}

std::string write_stdout(const std::string& bytes)
{
    std::string error = write_all(STDOUT_FILENO, bytes);
    return error;
}

} // namespace quillora
