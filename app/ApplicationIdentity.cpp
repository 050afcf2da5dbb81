#include "app/ApplicationIdentity.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
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
    // The built-in copy of the installed PNG set, read as PNG and nothing else. An icon theme
    // lookup, QIcon::addFile and QPixmap::load all make Qt load every image-format plug-in
    // (JPEG, GIF, ICO) to learn what the files are, which the first paint would wait for.
    QIcon icon;
    for (const int size : { 16, 22, 32, 48, 64, 128 }) {
        QImageReader reader(
            QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(ApplicationId),
            "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace quillora
