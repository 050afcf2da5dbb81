#pragma once

#include "engine/page_layout.h"

namespace quillora {

/// The system's default paper as libpaper reads it (PAPERSIZE, PAPERCONF, /etc/papersize), or A4
/// when none of them is set or the name is unknown.
Paper system_paper();

} // namespace quillora
