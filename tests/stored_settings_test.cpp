// The main window against a damaged or unreachable settings store: every bad value falls back to
// its default, and a store that cannot be read or written never stops the program.

#include "app/GeometrySettings.h"
#include "window_support.h"

#include <QLockFile>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <random>
#include <set>
#include <sys/stat.h>

using namespace quillora;
using namespace quillora::test;

namespace {

constexpr std::array<const char*, 4> Keys { "MainLeft", "MainTop", "MainWidth", "MainHeight" };

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int pixels(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

QRect pixels(const QRect& twips)
{
    return QRect(
        pixels(twips.x()), pixels(twips.y()), pixels(twips.width()), pixels(twips.height()));
}

// Damaged settings files: junk lines of every kind, the group missing or misspelt, keys missing
// or written twice, values out of range or not numbers. Each file comes with, per key, the
// twips a reader may take from it besides the default.
class BadFileMaker {
public:
    QByteArray bytes;
    std::array<std::set<int>, 4> sane;

    void make()
    {
        bytes = pick(6) ? junk() : "";
        const int layout = pick(10); // the keys in another group, a misspelt one, none, or right
        bytes
            += layout < 3 ? std::array { "[Other]\n", "[settings]\n", "" }[layout] : "[Settings]\n";
        for (std::size_t key = 0; key < Keys.size(); ++key) {
            sane[key].clear();
            for (int copy = pick(8) == 0 ? 2 : pick(8) == 0 ? 0 : 1; copy > 0; --copy) {
                const int n = key >= 2 ? 3000 + pick(27000) : -7500 + pick(52500);
                const QByteArray number = QByteArray::number(n);
                // The first five stand for n; the rest for nothing (a size) or 0 (a position).
                const QByteArray values[] = { number, " " + number + "  ", '"' + number + '"',
                    number + ".25", QByteArray::number(double(n), 'e', 6), "1e-300",
                    key >= 2 ? "0" : "-0", "", "nan", "-inf", "1e400", "-1e39",
                    QByteArray::number(491520 + pick(1000000000)), "99999999999999999999999",
                    key >= 2 ? QByteArray::number(-pick(40000)) : "0x10", number + "px", "1,2",
                    "@Variant(\\0\\0\\0\\x13\\0\\0\\0\\x1)", "@ByteArray(\\xff\\xfe)",
                    "@Variant(garbage", QByteArray(5000, '9'), random(1 + pick(20), 0x80, 128) };
                const int which = pick(std::size(values));
                bytes += QByteArray(Keys[key]) + '=' + values[which] + '\n';
                if (layout >= 3 && (which < 5 || (which < 7 && key < 2)))
                    sane[key].insert(which < 5 ? n : 0);
                if (pick(4) == 0)
                    bytes += junk();
            }
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    QByteArray random(int count, int from, int range)
    {
        QByteArray out;
        for (int i = count; i > 0; --i)
            out += char(from + pick(range));
        return out;
    }
    // Printable garbage, binary bytes, a very long line or a serialised variant, on one line
    // that ends without a backslash, so it cannot swallow the next line.
    QByteArray junk()
    {
        QByteArray out = std::array { random(pick(60), 0x20, 95), random(pick(200), 0, 256),
            QByteArray(100000 + pick(100000), 'x'),
            QByteArray("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\xff)") }[pick(4)];
        out.replace('\n', ' ').replace('\r', ' ').replace('\\', '/');
        return (pick(2) ? out.replace('[', '(') : out) + '\n';
    }

    std::mt19937 m_random { 20240607 };
};

} // namespace

class StoredSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Each value is judged alone; the boundaries are the pixel limits and a one-pixel size.
    void valueRanges_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QRect>("loaded");
        const auto row = [](const char* name, const char* left, const char* width, int x, int w) {
            QTest::newRow(name) << left << width << QRect(x, 1000, w, 6500);
        };
        row("largest", "491505", "491505", 491505, 491505);
        row("one pixel past", "491513", "491513", 1000, 6500);
        row("most negative position", "-491505", "8", -491505, 8);
        row("past it", "-491513", "7", 1000, 6500);
        row("negative size", "0", "-15", 0, 6500);
        row("zero size", "-3000", "0", -3000, 6500);
        row("fraction rounds", "1500.4", "1500.6", 1500, 1501);
        row("exponent", "1.5e3", "2e4", 1500, 20000);
        row("beyond float", "1e39", "-1e39", 1000, 6500);
        row("not finite", "nan", "inf", 1000, 6500);
        row("blank", "   ", "", 1000, 6500);
        row("word, trailing junk", "abc", "1200px", 1000, 6500);
    }
    void valueRanges()
    {
        QFETCH(QString, left);
        QFETCH(QString, width);
        const QString home = m_dir.filePath(QTest::currentDataTag());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
        {
            QSettings settings(home + "/Quillora/Quillora.ini", QSettings::IniFormat);
            settings.setValue("Settings/MainLeft", left);
            settings.setValue("Settings/MainWidth", width);
        }
        QTEST(GeometrySettings::load(), "loaded");
    }

    // Generated damaged files: the window always comes up, each value the stored sane one or its
    // default, and closing it afterwards stores a geometry that reads back whole.
    void generatedBadFilesGiveAUsableWindow()
    {
        const int defaults[] { GeometrySettings::DefaultLeft, GeometrySettings::DefaultTop,
            GeometrySettings::DefaultWidth, GeometrySettings::DefaultHeight };
        BadFileMaker file;
        for (int i = 0; i < 240; ++i) {
            file.make();
            const QString home = m_dir.filePath(QString("bad/%1").arg(i));
            QVERIFY(QDir().mkpath(home + "/Quillora"));
            QVERIFY(writeBytes(home + "/Quillora/Quillora.ini", file.bytes));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
            auto main = std::make_unique<MainWindow>();
            main->showMainWindow();
            const QRect shown = main->geometry();
            const int got[] { shown.x(), shown.y(), shown.width(), shown.height() };
            for (std::size_t key = 0; key < Keys.size(); ++key) {
                std::set<int> allowed { pixels(defaults[key]) };
                for (const int twips : file.sane[key])
                    allowed.insert(pixels(twips));
                QVERIFY2(allowed.count(got[key]),
                    qPrintable(QString("file %1: %2 is %3").arg(i).arg(Keys[key]).arg(got[key])));
            }
            main->close();
            QCOMPARE(pixels(GeometrySettings::load()), main->frameGeometry());
        }
    }

    // A store that cannot be read or written: defaults, no hang, and what is there stays. With
    // no XDG_CONFIG_HOME the store is ~/.config/Quillora/Quillora.ini.
    void unreachableStoreNeverStopsTheProgram_data()
    {
        QTest::addColumn<QString>("home"); // relative to the case's folder
        QTest::addColumn<QPoint>("second"); // where the second start finds the window
        const QPoint fallback(67, 67), moved(100, 120), locked(200, 67);
        QTest::newRow("settings folder is a file") << "" << fallback;
        QTest::newRow("config home missing") << "/no/such/folder" << moved;
        QTest::newRow("config home under a file") << "/file/config" << fallback;
        QTest::newRow("config home not creatable")
            << "/proc/quillora-no-such-entry/config" << fallback;
        QTest::newRow("no config home") << "-" << moved;
        QTest::newRow("settings file is a folder") << "" << fallback;
        QTest::newRow("settings file is a pipe") << "" << fallback;
        QTest::newRow("lock is a folder") << "" << locked;
        QTest::newRow("lock held by another instance") << "" << locked;
    }
    void unreachableStoreNeverStopsTheProgram()
    {
        const QString kind = QTest::currentDataTag();
        const QString base = m_dir.filePath(kind);
        const QString ini = base + "/Quillora/Quillora.ini";
        QVERIFY(QDir().mkpath(base + (kind.startsWith("config home") ? "" : "/Quillora")));
        QFETCH(QString, home);
        if (kind.contains("folder is a file") || kind.contains("under a file"))
            QVERIFY(QDir(base + "/Quillora").removeRecursively()
                && writeBytes(base + (kind.contains("under") ? "/file" : "/Quillora"), "a file"));
        if (kind.contains("file is a folder"))
            QVERIFY(QDir().mkpath(ini));
        if (kind.contains("pipe"))
            QCOMPARE(mkfifo(QFile::encodeName(ini), 0600), 0);
        if (kind.startsWith("lock"))
            QVERIFY(writeBytes(ini, "[Settings]\nMainLeft=3000\n"));
        if (kind.contains("lock is a folder"))
            QVERIFY(QDir().mkpath(ini + ".lock"));
        QLockFile otherInstance(ini + ".lock");
        if (kind.contains("another instance"))
            QVERIFY(otherInstance.tryLock(0));
        const QByteArray oldHome = qgetenv("HOME");
        if (home == "-") {
            qunsetenv("XDG_CONFIG_HOME");
            qputenv("HOME", QFile::encodeName(base + "/home"));
        } else {
            qputenv("XDG_CONFIG_HOME",
                QFile::encodeName(home.startsWith("/proc") ? home : base + home));
        }
        QFETCH(QPoint, second);
        for (int start = 0; start < 2; ++start) {
            auto main = std::make_unique<MainWindow>();
            main->showMainWindow();
            QVERIFY(main->isVisible());
            QCOMPARE(main->geometry().topLeft(),
                start == 0 && second == QPoint(100, 120) ? QPoint(67, 67) : second);
            if (second == QPoint(67, 67))
                QCOMPARE(main->geometry().size(), QSize(433, 433));
            main->move(100, 120);
            main->close();
        }
        qputenv("HOME", oldHome);
        if (home == "-")
            QVERIFY(QFileInfo(base + "/home/.config/Quillora/Quillora.ini").isFile());
        if (kind.contains("folder is a file") || kind.contains("under a file"))
            QVERIFY(QFileInfo(base + (kind.contains("under") ? "/file" : "/Quillora")).isFile());
        if (kind.startsWith("lock"))
            QCOMPARE(QSettings(ini, QSettings::IniFormat).value("Settings/MainLeft"), "3000");
        if (kind.contains("file is a folder"))
            QVERIFY(QFileInfo(ini).isDir());
        QVERIFY(!QFileInfo::exists("/proc/quillora-no-such-entry"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(StoredSettingsTest)
#include "stored_settings_test.moc"
