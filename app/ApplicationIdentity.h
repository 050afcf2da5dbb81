#pragma once

class QIcon;

namespace quillora {

/// The id shared by the desktop entry, the metainfo, the icon and the desktop file name that
/// Wayland uses as the app id.
inline constexpr char ApplicationId[] = "org.quillora.Quillora";

/// Names the program to the desktop (name, display name, version, desktop file name) and makes
/// the program's icon the window icon of every window. Call once, right after QApplication.
void describeApplication();

/// The program's icon: the installed one from the icon theme, else the copy built into the
/// program, so no window ever falls back to the toolkit's logo.
QIcon applicationIcon();

} // namespace quillora
