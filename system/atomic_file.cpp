#include "system/atomic_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora {

namespace {

WriteResult failed(int error)
{
    return { false, std::strerror(error) };
}

WriteResult refused(const char* reason)
{
    return { false, reason };
}

bool starts_with(const std::string& path, std::string_view prefix)
{
    return std::string_view(path).substr(0, prefix.size()) == prefix;
}

// Where a path's symbolic links lead, and what was passed on the way.
struct Target {
    std::string path;
    int error = 0;
    /// A link or file inside /dev or /proc: a device, a terminal, a descriptor of this process.
    bool system = false;
    /// The open descriptor a link names (/dev/stdout, /dev/fd/N, /proc/self/fd/N), or -1.
    int descriptor = -1;
};

// N when the path is /dev/fd/N or /proc/self/fd/N, else -1.
int descriptor_of(const std::string& path)
{
    for (const std::string_view folder : { "/dev/fd/", "/proc/self/fd/" }) {
        if (!starts_with(path, folder) || path.size() == folder.size()
            || path.size() > folder.size() + 9)
            continue;
        int fd = 0;
        for (const char c : path.substr(folder.size())) {
            if (c < '0' || c > '9')
                return -1;
            fd = fd * 10 + (c - '0');
        }
        return fd;
    }
    return -1;
}

// Follows symbolic links from the path to the file they name, which need not exist yet.
Target resolve(const std::string& path)
{
    Target target { path };
    for (int hops = 0;; ++hops) {
        const std::string& p = target.path;
        target.system = target.system || starts_with(p, "/dev/") || starts_with(p, "/proc/");
        target.descriptor = descriptor_of(p);
        if (target.descriptor >= 0)
            return target;
        struct stat status { };
        if (::lstat(p.c_str(), &status) != 0) {
            if (errno != ENOENT)
                target.error = errno;
            return target;
        }
        if (!S_ISLNK(status.st_mode))
            return target;
        if (hops == 40) {
            target.error = ELOOP;
            return target;
        }
        char link[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), link, sizeof link);
        if (n < 0 || n == static_cast<ssize_t>(sizeof link)) {
            target.error = n < 0 ? errno : ENAMETOOLONG;
            return target;
        }
        std::string next(link, static_cast<std::size_t>(n));
        const std::size_t slash = p.rfind('/');
        if (next.front() != '/' && slash != std::string::npos)
            next = p.substr(0, slash + 1) + next;
        target.path = std::move(next);
    }
}

// Why a target that is not a regular file is refused.
const char* not_regular(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "It is a named pipe, not a regular file";
    if (S_ISSOCK(mode))
        return "It is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "It is a device, not a regular file";
    return "It is a system file, not a regular file";
}

// The temporary file being written, removed by the handler when a signal stops the process.
// One write at a time: both programs write from one thread.
char g_temp[PATH_MAX + 32];
volatile std::sig_atomic_t g_armed = 0;

extern "C" void remove_temp_and_stop(int signal)
{
    if (g_armed)
        ::unlink(g_temp);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installs the handler for the signals that stop a process by default while a temporary file
// exists, and puts the earlier handlers back afterwards.
class TempGuard {
public:
    TempGuard()
    {
        struct sigaction action { };
        action.sa_handler = remove_temp_and_stop;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 3; ++i) {
            ::sigaction(Signals[i], nullptr, &m_previous[i]);
            m_installed[i] = m_previous[i].sa_handler == SIG_DFL
                && ::sigaction(Signals[i], &action, nullptr) == 0;
        }
    }
    ~TempGuard()
    {
        g_armed = 0;
        for (int i = 0; i < 3; ++i) {
            if (m_installed[i])
                ::sigaction(Signals[i], &m_previous[i], nullptr);
        }
    }
    TempGuard(const TempGuard&) = delete;
    TempGuard& operator=(const TempGuard&) = delete;

private:
    static constexpr int Signals[3] = { SIGINT, SIGTERM, SIGHUP };
    struct sigaction m_previous[3] {};
    bool m_installed[3] {};
};

WriteResult write_in_place(const Target& target, std::string_view bytes)
{
    // A link to one of this process's descriptors means that descriptor, as the shell set it up.
    if (target.descriptor >= 0)
        return write_to(target.descriptor, bytes);
    const int fd = ::open(target.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failed(errno);
    WriteResult result = write_to(fd, bytes);
    if (::close(fd) != 0 && result.written)
        result = failed(errno);
    return result;
}

WriteResult replace(const std::string& path, const struct stat* existing, std::string_view bytes)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    // A short fixed name, so any legal target name also has a legal temporary name.
    const std::string temp = folder + (folder == "." ? "/" : "") + ".quillora-XXXXXX";
    if (temp.size() >= sizeof g_temp)
        return failed(ENAMETOOLONG);

    TempGuard guard;
    std::memcpy(g_temp, temp.c_str(), temp.size() + 1);
    g_armed = 1;
    const int fd = ::mkstemp(g_temp);
    if (fd < 0) {
        g_armed = 0;
        return failed(errno);
    }

    // mkstemp makes the file private: give it the replaced file's owner, group and mode (owner
    // first, as a change of owner clears set-id bits), or the usual mode of a new file.
    mode_t mode = 0666;
    if (existing) {
        mode = existing->st_mode & 07777;
        if ((existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())
            && ::fchown(fd, existing->st_uid, existing->st_gid) != 0)
            (void)!::fchown(fd, static_cast<uid_t>(-1), existing->st_gid);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    WriteResult result = write_to(fd, bytes);
    if (result.written && ::fchmod(fd, mode) != 0)
        result = failed(errno);
    if (result.written && ::fsync(fd) != 0)
        result = failed(errno);
    if (::close(fd) != 0 && result.written)
        result = failed(errno);
    if (result.written && ::rename(g_temp, path.c_str()) != 0)
        result = failed(errno);
    if (!result.written)
        ::unlink(g_temp);
    g_armed = 0;
    return result;
}

} // namespace

WriteResult write_to(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

WriteResult write_file(
    const std::string& path, std::string_view bytes, NonRegularTarget non_regular)
{
    const Target target = resolve(path);
    if (target.error != 0)
        return failed(target.error);
    struct stat status { };
    const bool exists = target.descriptor >= 0 ? ::fstat(target.descriptor, &status) == 0
                                               : ::stat(target.path.c_str(), &status) == 0;
    if (target.descriptor >= 0 && !exists)
        return failed(errno);
    if (exists && S_ISDIR(status.st_mode))
        return failed(EISDIR);
    // Nothing in /dev or /proc is ever replaced, and opening a pipe may wait for a reader.
    if ((exists && !S_ISREG(status.st_mode)) || target.system) {
        if (non_regular == NonRegularTarget::Refuse)
            return refused(exists ? not_regular(status.st_mode) : not_regular(S_IFREG));
        return write_in_place(target, bytes);
    }
    if (exists) {
        // A file its owner marked read-only is not replaced, even by a user the bits do not stop.
        if ((status.st_mode & 0222) == 0)
            return refused("The file is read-only");
        if (::access(target.path.c_str(), W_OK) != 0)
            return failed(errno);
    }
    return replace(target.path, exists ? &status : nullptr, bytes);
}

std::string quoted_name(std::string_view name, char quote)
{
    std::string out(1, quote);
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == quote) {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + quote;
}

} // namespace quillora
