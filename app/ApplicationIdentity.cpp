#include "app/ApplicationIdentity.h"

#include <QApplication>
#include <QIcon>
#include <QSize>
#include <QString>

namespace quillora {

void describeApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    // No display name: on X11 Qt would append it to every window title, and the main window's
    // title is "Test Results" alone. Desktops take the name from the desktop entry instead.
    QApplication::setApplicationVersion(QStringLiteral(QUILLORA_VERSION));
    QGuiApplication::setDesktopFileName(QLatin1String(ApplicationId));
    // Every window without an icon of its own, the document windows included, shows this one.
    QApplication::setWindowIcon(applicationIcon());
}

QIcon applicationIcon()
{
    // The built-in copy is the checked-in PNG set, so it needs no image plug-in.
    QIcon builtIn;
    for (const int size : { 16, 22, 32, 48, 64, 128 })
        builtIn.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png")
                            .arg(size)
                            .arg(QLatin1String(ApplicationId)),
            QSize(size, size));
    return QIcon::fromTheme(QLatin1String(ApplicationId), builtIn);
}

} // namespace quillora
