// The main window against a damaged or unreachable settings store: every bad value falls back to
// its default, and a store that cannot be read or written never stops the program.

#include "app/GeometrySettings.h"
#include "app/MainWindow.h"
#include "window_support.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sys/stat.h>

using namespace quillora;
using namespace quillora::test;

namespace {

constexpr std::array<const char*, 4> Keys { "MainLeft", "MainTop", "MainWidth", "MainHeight" };
constexpr std::array<int, 4> Defaults { GeometrySettings::DefaultLeft, GeometrySettings::DefaultTop,
    GeometrySettings::DefaultWidth, GeometrySettings::DefaultHeight };

// Points the settings store at `folder`; the program looks at XDG_CONFIG_HOME each time.
void useConfigHome(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
}

QSettings storeIn(const QString& folder)
{
    return QSettings(folder + QStringLiteral("/Quillora/Quillora.ini"), QSettings::IniFormat);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int pixels(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

// One generated settings file and, per key, the twips a reader may take from it besides the
// default (more than one when a key is written twice).
struct BadFile {
    QByteArray bytes;
    std::array<std::set<int>, 4> sane;
};

class BadFileMaker {
public:
    explicit BadFileMaker(std::uint32_t seed)
        : m_random(seed)
    {
    }

    BadFile make()
    {
        BadFile file;
        if (pick(6) != 0)
            file.bytes += junkLines();
        const int layout = pick(10);
        if (layout == 0)
            file.bytes += "[Other]\n"; // the keys in the wrong group
        else if (layout == 1)
            file.bytes += "[settings]\n"; // group names are case-sensitive
        else if (layout != 2) // else no group line at all
            file.bytes += "[Settings]\n";
        const bool counted = layout >= 3;
        for (std::size_t key = 0; key < Keys.size(); ++key) {
            const int copies = pick(8) == 0 ? 2 : pick(8) == 0 ? 0 : 1;
            for (int copy = 0; copy < copies; ++copy) {
                const auto [text, twips] = value(key >= 2);
                file.bytes += QByteArray(Keys[key]) + '=' + text + '\n';
                if (twips && counted)
                    file.sane[key].insert(*twips);
                if (pick(4) == 0)
                    file.bytes += junkLines();
            }
        }
        return file;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // Lines that are not settings: printable garbage, binary bytes, a very long line. Each ends
    // with a line feed and never with a backslash, so it cannot swallow the next line.
    QByteArray junkLines()
    {
        QByteArray out;
        switch (pick(4)) {
        case 0:
            for (int i = pick(60); i > 0; --i)
                out += static_cast<char>(0x20 + pick(95));
            break;
        case 1:
            for (int i = pick(200); i > 0; --i)
                out += static_cast<char>(pick(256));
            break;
        case 2:
            out = QByteArray(100000 + pick(100000), 'x');
            break;
        default:
            out = "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\xff)";
            break;
        }
        out.replace('\n', ' ').replace('\r', ' ').replace('\\', '/');
        if (pick(2) == 0)
            out.replace('[', '(');
        return out + '\n';
    }

    // A value text and, when it is sane, the twips it stands for. Sane sizes are kept within
    // what a test display shows quickly; out-of-range ones are far beyond the pixel limit.
    std::pair<QByteArray, std::optional<int>> value(bool size)
    {
        const int sane = size ? 3000 + pick(27000) : -7500 + pick(52500);
        switch (pick(24)) {
        case 0:
            return { QByteArray::number(sane), sane };
        case 1:
            return { " " + QByteArray::number(sane) + "  ", sane };
        case 2:
            return { '"' + QByteArray::number(sane) + '"', sane };
        case 3:
            return { QByteArray::number(sane) + ".25", sane };
        case 4:
            return { QByteArray::number(double(sane), 'e', 6), sane };
        case 5:
            return { "", std::nullopt };
        case 6:
            return { "nan", std::nullopt };
        case 7:
            return { pick(2) ? "inf" : "-inf", std::nullopt };
        case 8:
            return { "1e400", std::nullopt };
        case 9:
            return { "-1e39", std::nullopt };
        case 10:
            return { QByteArray::number(491520 + pick(1000000000)), std::nullopt };
        case 11:
            return { QByteArray::number(-491520 - pick(1000000000)), std::nullopt };
        case 12:
            return { "99999999999999999999999", std::nullopt };
        case 13: // tiny: a zero position, a size of no pixels
            return { "1e-300", size ? std::nullopt : std::optional<int>(0) };
        case 14:
            return { size ? QByteArray::number(-pick(40000)) : QByteArray("0x10"), std::nullopt };
        case 15:
            return { QByteArray::number(sane) + "px", std::nullopt };
        case 16:
            return { "1,2", std::nullopt };
        case 17:
            return { "@Variant(\\0\\0\\0\\x13\\0\\0\\0\\x1\\0\\0\\0\\x2)", std::nullopt };
        case 18:
            return { "@ByteArray(\\xff\\xfe)", std::nullopt };
        case 19:
            return { "@Variant(garbage", std::nullopt };
        case 20:
            return { QByteArray(5000, '9'), std::nullopt };
        case 21:
            return { size ? "0" : "-0", size ? std::nullopt : std::optional<int>(0) };
        case 22: {
            QByteArray junk;
            for (int i = 1 + pick(20); i > 0; --i)
                junk += static_cast<char>(0x80 + pick(128));
            return { junk, std::nullopt };
        }
        default:
            return { "\"\"", std::nullopt };
        }
    }

    std::mt19937 m_random;
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
    }
    void valueRanges()
    {
        QFETCH(QString, left);
        QFETCH(QString, width);
        const QString home = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        useConfigHome(home);
        {
            QSettings settings = storeIn(home);
            settings.beginGroup(QStringLiteral("Settings"));
            settings.setValue(QStringLiteral("MainLeft"), left);
            settings.setValue(QStringLiteral("MainWidth"), width);
        }
        QTEST(GeometrySettings::load(), "loaded");
    }

    // Generated damaged files: the window always comes up, each value the stored sane one or its
    // default, and closing it afterwards stores a geometry that reads back whole.
    void generatedBadFilesGiveAUsableWindow()
    {
        BadFileMaker maker(20240607);
        for (int i = 0; i < 240; ++i) {
            const BadFile file = maker.make();
            const QString home = m_dir.filePath(QStringLiteral("bad/%1").arg(i));
            QVERIFY(QDir().mkpath(home + QStringLiteral("/Quillora")));
            QVERIFY(writeBytes(home + QStringLiteral("/Quillora/Quillora.ini"), file.bytes));
            useConfigHome(home);

            auto main = std::make_unique<MainWindow>();
            main->showMainWindow();
            const QRect shown = main->geometry();
            const std::array<int, 4> got { shown.x(), shown.y(), shown.width(), shown.height() };
            for (std::size_t key = 0; key < Keys.size(); ++key) {
                std::set<int> allowed { pixels(Defaults[key]) };
                for (const int twips : file.sane[key])
                    allowed.insert(pixels(twips));
                QVERIFY2(allowed.count(got[key]) == 1,
                    qPrintable(
                        QStringLiteral("file %1: %2 is %3").arg(i).arg(Keys[key]).arg(got[key])));
            }
            QVERIFY(main->isVisible());
            main->close();
            const QRect stored = GeometrySettings::load();
            QCOMPARE(QRect(pixels(stored.x()), pixels(stored.y()), pixels(stored.width()),
                         pixels(stored.height())),
                main->frameGeometry());
        }
    }

    // A store that cannot be read or written: defaults, no hang, and what is there stays.
    void unreachableStoreNeverStopsTheProgram_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("settings folder is a file") << "folder-file";
        QTest::newRow("config home missing") << "missing";
        QTest::newRow("config home under a file") << "under-file";
        QTest::newRow("config home not creatable") << "proc";
        QTest::newRow("settings file is a folder") << "ini-folder";
        QTest::newRow("settings file is a pipe") << "pipe";
        QTest::newRow("lock file is a folder") << "lock-folder";
        QTest::newRow("lock held by another instance") << "lock-held";
    }
    void unreachableStoreNeverStopsTheProgram()
    {
        QFETCH(QString, kind);
        const QString base = m_dir.filePath(QStringLiteral("unreachable-") + kind);
        QVERIFY(QDir().mkpath(base));
        QString home = base;
        if (kind == QLatin1String("folder-file")) {
            QVERIFY(writeBytes(base + QStringLiteral("/Quillora"), "not a folder"));
        } else if (kind == QLatin1String("missing")) {
            home = base + QStringLiteral("/no/such/folder");
        } else if (kind == QLatin1String("under-file")) {
            QVERIFY(writeBytes(base + QStringLiteral("/file"), "not a folder"));
            home = base + QStringLiteral("/file/config");
        } else if (kind == QLatin1String("proc")) {
            home = QStringLiteral("/proc/quillora-no-such-entry/config");
        } else if (kind == QLatin1String("ini-folder")) {
            QVERIFY(QDir().mkpath(base + QStringLiteral("/Quillora/Quillora.ini")));
        } else if (kind == QLatin1String("pipe")) {
            QVERIFY(QDir().mkpath(base + QStringLiteral("/Quillora")));
            QCOMPARE(
                mkfifo(QFile::encodeName(base + QStringLiteral("/Quillora/Quillora.ini")), 0600),
                0);
        } else {
            QVERIFY(QDir().mkpath(base + QStringLiteral("/Quillora")));
            QVERIFY(writeBytes(
                base + QStringLiteral("/Quillora/Quillora.ini"), "[Settings]\nMainLeft=3000\n"));
            if (kind == QLatin1String("lock-folder"))
                QVERIFY(QDir().mkpath(base + QStringLiteral("/Quillora/Quillora.ini.lock")));
        }
        QLockFile otherInstance(base + QStringLiteral("/Quillora/Quillora.ini.lock"));
        if (kind == QLatin1String("lock-held"))
            QVERIFY(otherInstance.tryLock(0));
        useConfigHome(home);

        for (int start = 0; start < 2; ++start) {
            auto main = std::make_unique<MainWindow>();
            main->showMainWindow();
            QVERIFY(main->isVisible());
            const QRect shown = main->geometry();
            if (kind == QLatin1String("missing")) {
                // Created at the first close, read back at the second start.
                QCOMPARE(shown.topLeft(), start == 0 ? QPoint(67, 67) : QPoint(100, 120));
                main->move(100, 120);
            } else if (kind.startsWith(QLatin1String("lock-"))) {
                QCOMPARE(shown.topLeft(), QPoint(200, 67));
            } else {
                QCOMPARE(shown, QRect(67, 67, 433, 433));
            }
            main->close();
            QVERIFY(!main->isVisible());
        }
        if (kind == QLatin1String("folder-file") || kind == QLatin1String("under-file"))
            QVERIFY(QFileInfo(base + QStringLiteral("/")
                + (kind == QLatin1String("folder-file") ? "Quillora" : "file"))
                        .isFile());
        if (kind.startsWith(QLatin1String("lock-")))
            QCOMPARE(storeIn(base).value(QStringLiteral("Settings/MainLeft")).toString(),
                QStringLiteral("3000"));
        if (kind == QLatin1String("ini-folder"))
            QVERIFY(QFileInfo(base + QStringLiteral("/Quillora/Quillora.ini")).isDir());
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/quillora-no-such-entry")));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(StoredSettingsTest)
#include "stored_settings_test.moc"
