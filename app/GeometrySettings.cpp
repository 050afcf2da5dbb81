#include "app/GeometrySettings.h"

#include "dialog/Twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <cmath>
#include <limits>

namespace quillora {

namespace {

constexpr qint64 MaxStoreBytes = 1 << 20;

// The store's file, $XDG_CONFIG_HOME/Quillora/Quillora.ini (the file QSettings' user scope
// names), or an empty name when it cannot be used safely: opening anything but a regular file
// (a pipe, a device) could block for ever, as could writing beside a lock file that is not a
// regular file.
QString storeFileName(bool writing)
{
    // The folder as QSettings finds it (a relative one from the current folder).
    const QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    const QString home = config.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : config;
    const QString name = home + QStringLiteral("/Quillora/Quillora.ini");
    const QFileInfo file(name);
    const QFileInfo lock(name + QStringLiteral(".lock"));
    if ((file.exists() && !file.isFile()) || (writing && lock.exists() && !lock.isFile()))
        return QString();
    // The program writes a few lines; a far larger file is someone else's, and QSettings would
    // read it whole into memory. It is left alone, read nor written.
    if (file.size() > MaxStoreBytes)
        return QString();
    return name;
}

constexpr int LockTimeoutMs = 500;

// Window coordinates and sizes beyond this many pixels are outside what the window system
// can place (X11 uses signed 16-bit values).
constexpr int PixelLimit = 32767;

// The decimal text of a single-precision number of twips. Anything else (the program only
// writes numbers) falls back to the default rather than moving the window off screen, as does a
// number whose pixels lie outside [least, PixelLimit].
int readTwips(const QSettings& settings, const QString& key, int fallback, int least)
{
    const QVariant stored = settings.value(key);
    if (!stored.isValid())
        return fallback;
    bool ok = false;
    const float value = stored.toString().trimmed().toFloat(&ok);
    constexpr float limit = 1e8f;
    if (!ok || !std::isfinite(value) || std::fabs(value) > limit)
        return fallback;
    const int twips = static_cast<int>(std::lround(value));
    const int pixels = toPixels(twips);
    if (pixels < least || pixels > PixelLimit)
        return fallback;
    return twips;
}

} // namespace

QRect GeometrySettings::load()
{
    const QString fileName = storeFileName(false);
    if (fileName.isEmpty())
        return QRect(DefaultLeft, DefaultTop, DefaultWidth, DefaultHeight);
    QSettings settings(fileName, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Settings"));
    // A window needs at least one pixel each way to be seen and grabbed again.
    return QRect(readTwips(settings, QStringLiteral("MainLeft"), DefaultLeft, -PixelLimit),
        readTwips(settings, QStringLiteral("MainTop"), DefaultTop, -PixelLimit),
        readTwips(settings, QStringLiteral("MainWidth"), DefaultWidth, 1),
        readTwips(settings, QStringLiteral("MainHeight"), DefaultHeight, 1));
}

void GeometrySettings::save(const QRect& twips)
{
    const QString fileName = storeFileName(true);
    if (fileName.isEmpty() || !QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return;
    {
        // QSettings waits for its lock without a time limit; a lock that another process keeps,
        // or one that can never be taken, must not hang the program at exit. The probe is
        // released before QSettings takes the lock itself.
        QLockFile probe(fileName + QStringLiteral(".lock"));
        if (!probe.tryLock(LockTimeoutMs))
            return;
    }
    QSettings settings(fileName, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("MainLeft"), QString::number(twips.x()));
    settings.setValue(QStringLiteral("MainTop"), QString::number(twips.y()));
    settings.setValue(QStringLiteral("MainWidth"), QString::number(twips.width()));
    settings.setValue(QStringLiteral("MainHeight"), QString::number(twips.height()));
}

} // namespace quillora
