#include "system/system_paper.h"

#include <cstdlib>
#include <memory>
#include <paper.h>
#include <unistd.h>

namespace quillora {

namespace {

bool readable(const char* path)
{
    return path && *path && access(path, R_OK) == 0;
}

} // namespace

Paper system_paper()
{
    // systempapersizefile() is PAPERCONF or /etc/papersize. Without any setting libpaper falls back
    // to its compiled-in default; ours is A4.
    const char* variable = std::getenv("PAPERSIZE");
    if (!(variable && *variable) && !readable(systempapersizefile()))
        return A4Paper;
    paperinit();
    const std::unique_ptr<char, decltype(&std::free)> name(systempapername(), &std::free);
    const struct paper* info = name ? paperinfo(name.get()) : nullptr;
    if (!info)
        return A4Paper;
    // Names and sizes live in libpaper's own table for the whole process.
    return Paper { papername(info), paperpswidth(info), paperpsheight(info) };
}

} // namespace quillora
