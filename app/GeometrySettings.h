#pragma once

#include <QRect>

namespace quillora {

/// The main window's place and outer size in the per-user settings store, in twips. Owns every
/// settings key of the program.
class GeometrySettings {
public:
    static constexpr int DefaultLeft = 1000;
    static constexpr int DefaultTop = 1000;
    static constexpr int DefaultWidth = 6500;
    static constexpr int DefaultHeight = 6500;

    /// The stored values; an absent key or a value that is not a number gives the default.
    static QRect load();
    static void save(const QRect& twips);
};

} // namespace quillora
