#include "system/atomic_file.h"

#include "engine/text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Where a name leads once its symbolic links are followed, component by component as the
// kernel does (so `..` after a link leaves the link's target); a missing last part (or a
// missing folder and what follows) is kept as written.
struct Target {
    /// Absolute, without links, `.` or `..` up to the first part that does not exist.
    std::string path;
    int error = 0;
    /// The open descriptor of this process a name leads to (/dev/stdout, /dev/fd/N,
    /// /proc/self/fd/N), or -1.
    int descriptor = -1;
};

// Whether a resolved folder holds a process's descriptors: /proc/PID/fd or
// /proc/PID/task/TID/fd, and the PID.
bool descriptor_folder(std::string_view folder, long& pid)
{
    constexpr std::string_view proc = "/proc/";
    if (!folder.starts_with(proc) || !folder.ends_with("/fd"))
        return false;
    const std::string_view middle = folder.substr(proc.size(), folder.size() - proc.size() - 3);
    const std::string_view first = middle.substr(0, middle.find('/'));
    const bool digits = !first.empty() && first.size() < 10
        && first.find_first_not_of("0123456789") == std::string_view::npos;
    if (!digits)
        return false;
    pid = std::stol(std::string(first));
    const std::string_view rest = middle.substr(first.size());
    return rest.empty()
        || (rest.starts_with("/task/") && rest.find('/', 6) == std::string_view::npos);
}

// The descriptor number a name part spells, or -1.
int descriptor_number(std::string_view part)
{
    if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != part.npos)
        return -1;
    return std::stoi(std::string(part));
}

Target resolve(const std::string& name)
{
    Target target;
    std::string done; // the resolved folder so far; "" is the root
    std::vector<std::string> todo; // parts still to walk, the next one last
    const auto push = [&todo](std::string_view path) {
        // A trailing slash asks for a folder: the last part is then ".".
        if (path.ends_with('/'))
            todo.emplace_back(".");
        std::size_t end = path.size();
        while (end > 0) {
            const std::size_t slash = path.rfind('/', end - 1);
            const std::size_t begin = slash == path.npos ? 0 : slash + 1;
            if (end > begin)
                todo.emplace_back(path.substr(begin, end - begin));
            end = slash == path.npos ? 0 : slash;
        }
    };
    if (!name.starts_with('/')) {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) {
            target.error = errno;
            return target;
        }
        done = cwd == std::string_view("/") ? "" : cwd;
    }
    push(name);
    for (int links = 0; !todo.empty();) {
        std::string part = std::move(todo.back());
        todo.pop_back();
        if (part == ".")
            continue;
        if (part == "..") {
            done.erase(std::min(done.size(), done.rfind('/')));
            continue;
        }
        const std::string next = done + '/' + part;
        // A process's descriptors are links to what it has open, often no file at all (a pipe).
        long pid = 0;
        if (todo.empty() && descriptor_folder(done, pid)) {
            if (pid == ::getpid())
                target.descriptor = descriptor_number(part);
            target.path = next;
            return target;
        }
        struct stat status { };
        if (::lstat(next.c_str(), &status) != 0) {
            if (errno != ENOENT)
                target.error = errno;
            target.path = next;
            for (auto rest = todo.rbegin(); rest != todo.rend(); ++rest)
                target.path += '/' + *rest;
            return target;
        }
        if (S_ISLNK(status.st_mode)) {
            if (++links > 40) {
                target.error = ELOOP;
                return target;
            }
            char link[PATH_MAX];
            const ssize_t n = ::readlink(next.c_str(), link, sizeof link);
            if (n <= 0 || n == static_cast<ssize_t>(sizeof link)) {
                target.error = n < 0 ? errno : ENAMETOOLONG;
                return target;
            }
            if (link[0] == '/')
                done.clear();
            push(std::string_view(link, static_cast<std::size_t>(n)));
            continue;
        }
        if (!todo.empty() && !S_ISDIR(status.st_mode)) {
            target.error = ENOTDIR;
            return target;
        }
        done = next;
    }
    target.path = done.empty() ? "/" : done;
    return target;
}

// Whether a resolved name is the system's: anything in /proc, and in /dev what lies on /dev's own
// file system, so a mistyped device name never becomes a file among the devices. A file system
// mounted below /dev (a tmpfs at /dev/shm) holds ordinary files.
bool system_place(const std::string& path)
{
    if (path.starts_with("/proc/"))
        return true;
    if (!path.starts_with("/dev/"))
        return false;
    const std::string folder = path.substr(0, path.rfind('/'));
    struct stat devices { };
    struct stat place { };
    return ::stat("/dev", &devices) != 0 || ::stat(folder.c_str(), &place) != 0
        || place.st_dev == devices.st_dev;
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

// Writes a regular file over its old bytes, keeping its owner, group, mode and hard links: for a
// file its user may write but not replace with one of the same owner. Room for the new bytes is
// claimed first, so a full disk, a quota or a size limit fails before the old bytes change;
// stopping signals wait until the bytes are all there; a failed write puts the old bytes back.
WriteResult write_over(const std::string& path, const struct stat& existing, std::string_view bytes)
{
    // The old bytes, to put back if the write fails (none when the file cannot be read).
    std::optional<std::string> old;
    if (const int in = existing.st_size > (64 << 20)
            ? -1
            : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        in >= 0) {
        old.emplace(static_cast<std::size_t>(existing.st_size), '\0');
        if (::read(in, old->data(), old->size()) != static_cast<ssize_t>(old->size()))
            old.reset();
        ::close(in);
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0)
        return failed(errno);
    struct stat status { };
    rlimit limit {};
    const auto size = static_cast<off_t>(bytes.size());
    WriteResult result;
    if (::fstat(fd, &status) != 0)
        result = failed(errno);
    else if (status.st_dev != existing.st_dev || status.st_ino != existing.st_ino)
        result = failed(EAGAIN); // replaced meanwhile
    else if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && bytes.size() > limit.rlim_cur)
        result = failed(EFBIG);
    else if (size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        result = failed(errno);
    if (result.written) {
        sigset_t stopping, previous;
        sigemptyset(&stopping);
        for (const int signal : { SIGINT, SIGTERM, SIGHUP })
            sigaddset(&stopping, signal);
        ::sigprocmask(SIG_BLOCK, &stopping, &previous);
        result = write_to(fd, bytes);
        if (result.written && ::ftruncate(fd, size) != 0)
            result = failed(errno);
        if (!result.written && old && ::lseek(fd, 0, SEEK_SET) == 0 && write_to(fd, *old).written)
            (void)!::ftruncate(fd, static_cast<off_t>(old->size()));
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    }
    if (result.written && ::fsync(fd) != 0)
        result = failed(errno);
    if (::close(fd) != 0 && result.written)
        result = failed(errno);
    return result;
}

// A failure to make or rename the temporary file comes from the folder: the reason says which.
WriteResult failed_in(const std::string& folder, int error)
{
    return { false, std::string(std::strerror(error)) + " in the folder " + quoted_text(folder) };
}

WriteResult replace(const std::string& path, const struct stat* existing, std::string_view bytes)
{
    const std::string folder = path.substr(0, std::max<std::size_t>(path.rfind('/'), 1));
    // A short fixed name, so any legal target name also has a legal temporary name.
    const std::string temp = (folder == "/" ? "" : folder) + "/.quillora-XXXXXX";
    if (temp.size() >= sizeof g_temp)
        return failed(ENAMETOOLONG);
    // A file this user may write but not replace as it is (the folder forbids it, or the new file
    // could not have the old one's owner and group) is written over in place.
    const auto cannot_replace
        = [existing](int error) { return existing && (error == EACCES || error == EPERM); };

    TempGuard guard;
    std::memcpy(g_temp, temp.c_str(), temp.size() + 1);
    g_armed = 1;
    const int fd = ::mkstemp(g_temp);
    if (fd < 0) {
        const int error = errno;
        g_armed = 0;
        if (cannot_replace(error))
            return write_over(path, *existing, bytes);
        return error == EACCES || error == EPERM ? failed_in(folder, error) : failed(error);
    }

    // mkstemp makes the file private: give it the replaced file's owner, group and mode (owner
    // first, as a change of owner clears set-id bits), or the usual mode of a new file.
    mode_t mode = 0666;
    if (existing) {
        mode = existing->st_mode & 07777;
        if ((existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())
            && ::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
            ::close(fd);
            ::unlink(g_temp);
            g_armed = 0;
            return write_over(path, *existing, bytes);
        }
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
    int renamed = 0;
    if (result.written && ::rename(g_temp, path.c_str()) != 0) {
        renamed = errno;
        result
            = renamed == EACCES || renamed == EPERM ? failed_in(folder, renamed) : failed(renamed);
    }
    if (!result.written)
        ::unlink(g_temp);
    g_armed = 0;
    // A sticky folder lets only a file's owner replace it.
    if (cannot_replace(renamed))
        return write_over(path, *existing, bytes);
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
    // Nothing of the system's in /dev or /proc is ever replaced, and opening a pipe may wait for
    // a reader.
    if ((exists && !S_ISREG(status.st_mode)) || system_place(target.path)) {
        if (non_regular == NonRegularTarget::Refuse)
            return refused(exists ? not_regular(status.st_mode) : not_regular(S_IFREG));
        return write_in_place(target, bytes);
    }
    if (exists) {
        // A file its owner marked read-only is not replaced, even by a user the bits do not stop.
        if ((status.st_mode & 0222) == 0)
            return refused("The file is read-only");
        if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0)
            return failed(errno);
    }
    return replace(target.path, exists ? &status : nullptr, bytes);
}

Destination destination_of(const std::string& name)
{
    Destination destination;
    Target target;
    if (name == "-")
        target.descriptor = STDOUT_FILENO;
    else
        target = resolve(name);
    // A name that cannot be followed to its end is only itself.
    destination.path = target.error ? name : target.path;
    destination.descriptor = target.descriptor;
    struct stat status { };
    destination.exists = target.error == 0
        && (target.descriptor >= 0 ? ::fstat(target.descriptor, &status)
                                   : ::stat(target.path.c_str(), &status))
            == 0;
    if (!destination.exists)
        return destination;
    destination.device = status.st_dev;
    destination.inode = status.st_ino;
    if (target.descriptor >= 0) {
        destination.terminal = ::isatty(target.descriptor) == 1;
    } else if (S_ISCHR(status.st_mode)) {
        // Only an open device tells whether it is a terminal; opening one does not wait.
        const int fd = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        destination.terminal = fd >= 0 && ::isatty(fd) == 1;
        if (fd >= 0)
            ::close(fd);
    }
    return destination;
}

bool same_file(const Destination& a, const Destination& b)
{
    if (a.exists != b.exists)
        return false;
    return a.exists ? a.device == b.device && a.inode == b.inode : a.path == b.path;
}

} // namespace quillora
