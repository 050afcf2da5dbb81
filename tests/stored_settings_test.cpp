// The main window against a damaged or unreachable settings store: every bad value falls back to
// its default, and a store that cannot be read or written never stops the program.

#include "app/GeometrySettings.h"
#include "window_support.h"

#include <QLockFile>
#include <QTemporaryDir>

#include <random>
#include <set>
#include <sys/stat.h>

using namespace quillora;
using namespace quillora::test;

namespace {

const char* const Keys[] { "MainLeft", "MainTop", "MainWidth", "MainHeight" };

int pixels(int twips)
{
    return qRound(twips / 15.0);
}

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class StoredSettingsTest : public QObject {
    Q_OBJECT

private slots:
    // Each value is judged alone; the boundaries are the pixel limits and a one-pixel size.
    // A row: the stored left and width, then the left and width loaded.
    void valueRanges_data()
    {
        QTest::addColumn<QList<QByteArray>>("row");
        for (const char* row : { "491505 491505 491505 491505", "491513 491513 1000 6500",
                 "-491505 8 -491505 8", "-491513 7 1000 6500", "0 -15 0 6500", "-3000 0 -3000 6500",
                 "1500.4 1500.6 1500 1501", "1.5e3 2e4 1500 20000", "1e39 -1e39 1000 6500",
                 "nan inf 1000 6500", "abc 1200px 1000 6500" })
            QTest::newRow(row) << QByteArray(row).split(' ');
    }
    void valueRanges()
    {
        QFETCH(QList<QByteArray>, row);
        const QString home = m_dir.filePath(QTest::currentDataTag());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
        write(home + "/Quillora/Quillora.ini",
            "[Settings]\nMainLeft=" + row[0] + "\nMainWidth=" + row[1] + "\n");
        QCOMPARE(GeometrySettings::load(), QRect(row[2].toInt(), 1000, row[3].toInt(), 6500));
    }

    // Generated damaged files (junk lines, the group missing or misspelt, keys missing or twice,
    // values out of range or not numbers): the window always comes up, each value the stored
    // sane one or its default, and closing it stores a geometry that reads back whole.
    void generatedBadFilesGiveAUsableWindow()
    {
        const int defaults[] { 1000, 1000, 6500, 6500 };
        std::mt19937 random(20240607);
        const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
        // Junk: one line, never ending in a backslash, so it cannot swallow the next line.
        const auto junk = [&]() {
            QByteArray out = pick(2) ? QByteArray(100000 + pick(100000), 'x') : "";
            for (int i = pick(200); i > 0; --i)
                out += char(pick(256));
            return out.replace('\n', ' ').replace('\r', ' ').replace('\\', '/').replace('[', '(')
                + '\n';
        };
        for (int i = 0; i < 200; ++i) {
            // The keys in another group, a misspelt one, none, or the right one.
            const int layout = pick(10);
            const QList<QByteArray> groups { "[Other]\n", "[settings]\n", "", "[Settings]\n" };
            QByteArray bytes = junk() + groups[std::min(layout, 3)];
            std::set<int> sane[4];
            for (int key = 0; key < 4; ++key) {
                sane[key].insert(pixels(defaults[key]));
                for (int copy = pick(8) == 0 ? 2 : pick(8) == 0 ? 0 : 1; copy > 0; --copy) {
                    const int n = key >= 2 ? 3000 + pick(27000) : -7500 + pick(52500);
                    const QByteArray number = QByteArray::number(n);
                    // The first five stand for n, the next two for 0 (no size); the rest are bad.
                    const QByteArray values[] { number, " " + number + "  ", '"' + number + '"',
                        number + ".25", QByteArray::number(double(n), 'e', 6), "1e-300", "-0", "",
                        "nan", "-inf", "1e400", QByteArray::number(491520 + pick(1000000000)),
                        "99999999999999999999999", "-1e39", "0x10", number + "px", "1,2",
                        "@Variant(\\0\\0\\0\\x13\\0\\0\\0\\x1)", "@ByteArray(\\xff\\xfe)",
                        "@Variant(garbage", QByteArray(5000, '9'), "\xe9\xff" };
                    const int which = pick(std::size(values));
                    bytes += QByteArray(Keys[key]) + '=' + values[which] + '\n'
                        + (pick(4) ? "" : junk());
                    if (layout >= 3 && (which < 5 || (which < 7 && key < 2)))
                        sane[key].insert(pixels(which < 5 ? n : 0));
                }
            }
            const QString home = m_dir.filePath(QString("bad/%1").arg(i));
            write(home + "/Quillora/Quillora.ini", bytes);
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
            MainWindow main;
            main.showMainWindow();
            const QRect shown = main.geometry();
            for (int key = 0;
                 const int got : { shown.x(), shown.y(), shown.width(), shown.height() })
                QVERIFY2(sane[key++].count(got), qPrintable(QString("%1: %2").arg(i).arg(got)));
            main.close();
            const QRect stored = GeometrySettings::load();
            QCOMPARE(QRect(stored.topLeft() / 15, stored.size() / 15), main.frameGeometry());
        }
    }

    // A store that cannot be read or written: defaults, no hang, and what is there stays. With
    // no XDG_CONFIG_HOME the store is ~/.config/Quillora/Quillora.ini.
    void unreachableStoreNeverStopsTheProgram_data()
    {
        QTest::addColumn<QString>("home"); // relative to the case's folder
        QTest::addColumn<QString>("file"); // made a file there, a folder ("/"), a pipe ("|")
        QTest::addColumn<int>("left"); // where the second start finds the window
        const auto row = [](const char* tag, const char* home, const char* file, int left) {
            QTest::newRow(tag) << home << file << left;
        };
        row("config home missing", "/no/such", "", 100);
        row("no config home", "-", "", 100);
        row("config home under a file", "/file/config", "file", 67);
        row("config home in /proc", "/proc/quillora-no-such-entry", "", 67);
        row("settings folder is a file", "", "Quillora", 67);
        row("settings file is a folder", "", "Quillora/Quillora.ini/", 67);
        row("settings file is a pipe", "", "Quillora/Quillora.ini|", 67);
        row("lock is a folder", "", "Quillora/Quillora.ini.lock/", 200);
        row("lock held by another instance", "", "", 200);
    }
    void unreachableStoreNeverStopsTheProgram()
    {
        const QString base = m_dir.filePath(QTest::currentDataTag()) + "/";
        QFETCH(QString, home);
        QFETCH(QString, file);
        QFETCH(int, left);
        const QString ini = base + "Quillora/Quillora.ini";
        QDir().mkpath(base + (file.startsWith("Quillora/") || left == 200 ? "Quillora" : ""));
        if (left == 200)
            write(ini, "[Settings]\nMainLeft=3000\n");
        if (file.endsWith('/'))
            QDir().mkpath(base + file);
        else if (file.endsWith('|'))
            QCOMPARE(mkfifo(QFile::encodeName(base + file.chopped(1)), 0600), 0);
        else if (!file.isEmpty())
            write(base + file, "a file");
        QLockFile otherInstance(ini + ".lock");
        if (QTest::currentDataTag() == QLatin1String("lock held by another instance"))
            QVERIFY(otherInstance.tryLock(0));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(base + "home"));
        qputenv("XDG_CONFIG_HOME",
            home == "-" ? "" : QFile::encodeName(home.startsWith("/proc") ? home : base + home));
        const QStringList before = QDir(base).entryList(QDir::AllEntries | QDir::Hidden);
        for (int start = 0; start < 2; ++start) {
            MainWindow main;
            main.showMainWindow();
            const bool moved = start == 1 && left == 100;
            QCOMPARE(main.geometry(),
                QRect(moved || left != 100 ? left : 67, moved ? 120 : 67, 433, 433));
            main.move(100, 120);
            main.close();
        }
        qputenv("HOME", oldHome);
        QVERIFY(home != "-" || QFileInfo(base + "home/.config/Quillora/Quillora.ini").isFile());
        if (left != 100)
            QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::Hidden), before);
        QVERIFY(left != 200 || readAll(ini) == "[Settings]\nMainLeft=3000\n");
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(StoredSettingsTest)
#include "stored_settings_test.moc"
