#pragma once

#include "engine/page_layout.h"

#include <string>

namespace quillora {

/// The system's default paper as libpaper reads it (PAPERSIZE, PAPERCONF, /etc/papersize), or A4
/// when none of them is set or the name is unknown; an unknown name sets the warning, one line
/// for standard error.
Paper system_paper(std::string* warning = nullptr);

} // namespace quillora
