#include "system/system_paper.h"

#include "engine/text.h"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <paper.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora {

namespace {

// The paper name in a paper file: the first word of its first line that is neither blank nor a
// comment. Only a regular file is read, opened without waiting (a named pipe or a device in
// its place must not hang the program), and only its first kilobytes.
std::string name_in_file(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    struct stat status { };
    std::string text;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.assign(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::size_t first = at;
        while (first < end && std::isspace(static_cast<unsigned char>(text[first])))
            ++first;
        if (first < end && text[first] != '#') {
            std::size_t last = first;
            while (last < end && !std::isspace(static_cast<unsigned char>(text[last])))
                ++last;
            return text.substr(first, last - first);
        }
        at = end + 1;
    }
    return {};
}

} // namespace

Paper system_paper(std::string* warning)
{
    // PAPERSIZE when it names something, else the file PAPERCONF names, else /etc/papersize;
    // A4 where none of them names a paper libpaper knows.
    std::string name, source = "PAPERSIZE";
    if (const char* variable = std::getenv("PAPERSIZE"); variable && *variable) {
        name = variable;
    } else {
        const char* file = std::getenv("PAPERCONF");
        source = file && *file ? file : "/etc/papersize";
        name = name_in_file(source.c_str());
        source = quoted_text(source);
    }
    if (name.empty())
        return A4Paper;
    paperinit();
    const struct paper* info = paperinfo(name.c_str());
    if (!info) {
        if (warning)
            *warning = "unknown paper " + quoted_text(name) + " in " + source + " (using a4)";
        return A4Paper;
    }
    // Names and sizes live in libpaper's own table for the whole process.
    return Paper { papername(info), paperpswidth(info), paperpsheight(info) };
}

} // namespace quillora
