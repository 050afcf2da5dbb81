// The main window against a damaged or unreachable settings store: every bad value falls back to
// its default, and a store that cannot be read or written never stops the program.

#include "app/GeometrySettings.h"
#include "window_support.h"

#include <QFileInfo>
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
constexpr std::array<int, 4> Defaults { GeometrySettings::DefaultLeft, GeometrySettings::DefaultTop,
    GeometrySettings::DefaultWidth, GeometrySettings::DefaultHeight };

// Points the settings store at `folder`; the program looks at XDG_CONFIG_HOME each time.
void useConfigHome(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
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
        // The keys in the wrong group, a group name in the wrong case, no group line, or right.
        const int layout = pick(10);
        file.bytes
            += layout < 3 ? std::array { "[Other]\n", "[settings]\n", "" }[layout] : "[Settings]\n";
        for (std::size_t key = 0; key < Keys.size(); ++key) {
            const int copies = pick(8) == 0 ? 2 : pick(8) == 0 ? 0 : 1;
            for (int copy = 0; copy < copies; ++copy) {
                const auto [text, twips] = value(key >= 2);
                file.bytes += QByteArray(Keys[key]) + '=' + text + '\n';
                if (twips && layout >= 3)
                    file.sane[key].insert(*twips);
                if (pick(4) == 0)
                    file.bytes += junkLines();
            }
        }
        return file;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    QByteArray bytes(int count, int from, int range)
    {
        QByteArray out;
        for (int i = count; i > 0; --i)
            out += static_cast<char>(from + pick(range));
        return out;
    }

    // Printable garbage, binary bytes, a very long line or a serialised variant. Each ends with a
    // line feed and never with a backslash, so it cannot swallow the next line.
    QByteArray junkLines()
    {
        const int kind = pick(4);
        QByteArray out = kind == 0 ? bytes(pick(60), 0x20, 95)
            : kind == 1            ? bytes(pick(200), 0, 256)
            : kind == 2            ? QByteArray(100000 + pick(100000), 'x')
                                   : QByteArray("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\xff)");
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
        const QByteArray n = QByteArray::number(sane);
        const std::optional<int> zero = size ? std::nullopt : std::optional<int>(0);
        const std::pair<QByteArray, std::optional<int>> values[] = { { n, sane },
            { " " + n + "  ", sane }, { '"' + n + '"', sane }, { n + ".25", sane },
            { QByteArray::number(double(sane), 'e', 6), sane }, { "", {} }, { "nan", {} },
            { pick(2) ? "inf" : "-inf", {} }, { "1e400", {} }, { "-1e39", {} },
            { QByteArray::number(491520 + pick(1000000000)), {} },
            { QByteArray::number(-491520 - pick(1000000000)), {} },
            { "99999999999999999999999", {} }, { "1e-300", zero }, // a size of no pixels
            { size ? QByteArray::number(-pick(40000)) : QByteArray("0x10"), {} }, { n + "px", {} },
            { "1,2", {} }, { "@Variant(\\0\\0\\0\\x13\\0\\0\\0\\x1\\0\\0\\0\\x2)", {} },
            { "@ByteArray(\\xff\\xfe)", {} }, { "@Variant(garbage", {} },
            { QByteArray(5000, '9'), {} }, { size ? "0" : "-0", zero },
            { bytes(1 + pick(20), 0x80, 128), {} }, { "\"\"", {} } };
        return values[pick(std::size(values))];
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
        row("word, trailing junk", "abc", "1200px", 1000, 6500);
        row("overflow", "1e400", "1e400", 1000, 6500);
    }
    void valueRanges()
    {
        QFETCH(QString, left);
        QFETCH(QString, width);
        const QString home = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        useConfigHome(home);
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
        BadFileMaker maker(20240607);
        for (int i = 0; i < 240; ++i) {
            const BadFile file = maker.make();
            const QString home = m_dir.filePath(QStringLiteral("bad/%1").arg(i));
            QVERIFY(QDir().mkpath(home + "/Quillora"));
            QVERIFY(writeBytes(home + "/Quillora/Quillora.ini", file.bytes));
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
        QTest::addColumn<QString>("home"); // relative to the case's folder
        QTest::newRow("settings folder is a file") << "";
        QTest::newRow("config home missing") << "/no/such/folder";
        QTest::newRow("config home under a file") << "/file/config";
        QTest::newRow("config home not creatable") << "/proc/quillora-no-such-entry/config";
        QTest::newRow("settings file is a folder") << "";
        QTest::newRow("settings file is a pipe") << "";
        QTest::newRow("lock is a folder") << "";
        QTest::newRow("lock held by another instance") << "";
    }
    void unreachableStoreNeverStopsTheProgram()
    {
        const QString kind = QString::fromLatin1(QTest::currentDataTag());
        const QString base = m_dir.filePath(kind);
        const QString ini = base + "/Quillora/Quillora.ini";
        const bool lock = kind.startsWith("lock");
        QVERIFY(QDir().mkpath(base));
        QFETCH(QString, home);
        home = home.startsWith("/proc") ? home : base + home;
        if (kind.contains("folder is a file"))
            QVERIFY(writeBytes(base + "/Quillora", "not a folder"));
        if (kind.contains("under a file"))
            QVERIFY(writeBytes(base + "/file", "not a folder"));
        if (kind.contains("file is a folder"))
            QVERIFY(QDir().mkpath(ini));
        if (kind.contains("pipe")) {
            QVERIFY(QDir().mkpath(base + "/Quillora"));
            QCOMPARE(mkfifo(QFile::encodeName(ini), 0600), 0);
        }
        if (lock) {
            QVERIFY(QDir().mkpath(base + "/Quillora"));
            QVERIFY(writeBytes(ini, "[Settings]\nMainLeft=3000\n"));
        }
        if (kind.contains("lock is a folder"))
            QVERIFY(QDir().mkpath(ini + ".lock"));
        QLockFile otherInstance(ini + ".lock");
        if (kind.contains("another instance"))
            QVERIFY(otherInstance.tryLock(0));
        useConfigHome(home);

        for (int start = 0; start < 2; ++start) {
            auto main = std::make_unique<MainWindow>();
            main->showMainWindow();
            QVERIFY(main->isVisible());
            const QRect shown = main->geometry();
            if (kind.contains("missing")) {
                // Created at the first close, read back at the second start.
                QCOMPARE(shown.topLeft(), start == 0 ? QPoint(67, 67) : QPoint(100, 120));
                main->move(100, 120);
            } else if (lock) {
                QCOMPARE(shown.topLeft(), QPoint(200, 67));
            } else {
                QCOMPARE(shown, QRect(67, 67, 433, 433));
            }
            main->close();
            QVERIFY(!main->isVisible());
        }
        if (kind.contains("folder is a file"))
            QVERIFY(QFileInfo(base + "/Quillora").isFile());
        if (kind.contains("under a file"))
            QVERIFY(QFileInfo(base + "/file").isFile());
        if (lock)
            QCOMPARE(
                QSettings(ini, QSettings::IniFormat).value("Settings/MainLeft").toString(), "3000");
        if (kind.contains("file is a folder"))
            QVERIFY(QFileInfo(ini).isDir());
        QVERIFY(!QFileInfo::exists("/proc/quillora-no-such-entry"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(StoredSettingsTest)
#include "stored_settings_test.moc"
