#include "app/GeometrySettings.h"

#include <QSettings>
#include <QString>

#include <cmath>
#include <limits>

namespace quillora {

namespace {

QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillora"),
        QStringLiteral("Quillora"));
}

// The decimal text of a single-precision number of twips. Anything else (the program only
// writes numbers) falls back to the default rather than moving the window off screen.
int readTwips(const QSettings& settings, const QString& key, int fallback)
{
    const QString text = settings.value(key, QString::number(fallback)).toString();
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    constexpr float limit = 1e8f;
    if (!ok || !std::isfinite(value) || std::fabs(value) > limit)
        return fallback;
    return static_cast<int>(std::lround(value));
}

} // namespace

QRect GeometrySettings::load()
{
    QSettings settings = store();
    settings.beginGroup(QStringLiteral("Settings"));
    return QRect(readTwips(settings, QStringLiteral("MainLeft"), DefaultLeft),
        readTwips(settings, QStringLiteral("MainTop"), DefaultTop),
        readTwips(settings, QStringLiteral("MainWidth"), DefaultWidth),
        readTwips(settings, QStringLiteral("MainHeight"), DefaultHeight));
}

void GeometrySettings::save(const QRect& twips)
{
    QSettings settings = store();
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("MainLeft"), QString::number(twips.x()));
    settings.setValue(QStringLiteral("MainTop"), QString::number(twips.y()));
    settings.setValue(QStringLiteral("MainWidth"), QString::number(twips.width()));
    settings.setValue(QStringLiteral("MainHeight"), QString::number(twips.height()));
}

} // namespace quillora
