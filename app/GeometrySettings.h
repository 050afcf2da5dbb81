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

    /// The stored values. An absent key, a value that is not a finite number, a position beyond
    /// ±32,767 pixels or a size outside 1 to 32,767 pixels gives that value's default. A store
    /// that cannot be read gives every default.
    static QRect load();
    /// Stores the values; a store that cannot be written is left as it is, silently.
    static void save(const QRect& twips);
};

} // namespace quillora
