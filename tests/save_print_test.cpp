// Save and Print of the active document window, through pre-answered dialogs, read back with
// LibreOffice and pdftotext.

#include "app/DocumentWindow.h"
#include "app/MainWindow.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "window_support.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <array>
#include <csignal>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

using namespace quillora;
using namespace quillora::test;

namespace {

QString worksheet(const char* form, std::uint32_t seed)
{
    const FamilyEntry* family = find_family("binomials");
    Mt19937Source random(seed);
    return QString::fromStdU16String(family->run({ *parse_form(*family, form) }, random).text);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under the folder and its bytes; folders as an empty entry ending in '/'.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next();
        if (it.fileInfo().isDir())
            files.insert(name + QLatin1Char('/'), QByteArray());
        else
            files.insert(name, readAll(name));
    }
    return files;
}

// The document's characters as the file should hold them: paragraphs and soft line breaks as
// line feeds, every other character as it is (toPlainText would turn no-break spaces into
// blanks).
QString documentText(const QTextDocument& document)
{
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text += QLatin1Char('\n');
        text += block.text().replace(QChar::LineSeparator, QLatin1Char('\n'));
    }
    return text;
}

// Where two texts first differ, with the code units around it.
QString difference(const QString& got, const QString& want)
{
    qsizetype at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    auto units = [at](const QString& text) {
        QStringList out;
        for (qsizetype i = std::max<qsizetype>(0, at - 3); i < std::min(text.size(), at + 6); ++i)
            out << QString::number(text[i].unicode(), 16);
        return out.join(QLatin1Char(' '));
    };
    return QStringLiteral("lengths %1 and %2, first difference at %3: got [%4], want [%5]")
        .arg(got.size())
        .arg(want.size())
        .arg(at)
        .arg(units(got), units(want));
}

// Generated texts of the kinds a user may type or paste, typed in runs of mixed formats.
class TextMaker {
public:
    explicit TextMaker(std::uint32_t seed)
        : m_random(seed)
    {
    }

    void type(QTextCursor& cursor)
    {
        for (int pieces = 1 + pick(60); pieces > 0; --pieces) {
            QTextCharFormat format;
            format.setFontWeight(pick(4) == 0 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(pick(6) == 0);
            format.setFontUnderline(pick(8) == 0);
            if (pick(10) == 0)
                format.setFontPointSize(8 + pick(20));
            cursor.insertText(piece(), format);
        }
    }

    // About `size` characters of mostly plain words with every other kind mixed in.
    QString longText(qsizetype size)
    {
        QString text;
        text.reserve(size + 100);
        while (text.size() < size)
            text += pick(4) == 0 ? piece() : ascii(1 + pick(70)) + QLatin1Char('\n');
        return text;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    QString ascii(int length)
    {
        QString out;
        for (int i = 0; i < length; ++i)
            out += QChar(0x20 + pick(95));
        return out;
    }

    QString oneOf(std::initializer_list<char32_t> characters)
    {
        const char32_t c = *(characters.begin() + pick(static_cast<int>(characters.size())));
        return QString::fromUcs4(&c, 1);
    }

    QString piece()
    {
        switch (pick(16)) {
        case 0:
        case 1:
            return ascii(1 + pick(30));
        case 2: // what the file format itself uses
            return QString::fromLatin1(std::array { "{", "}", "\\", "\\par ", "{\\rtf1 ",
                "\\u1234?", "}{", "\\'e9", "\\\\{" }[pick(9)]);
        case 3:
            return QString(1 + pick(3), QLatin1Char('\t'));
        case 4: // paragraphs, a soft line break, a pasted Windows line end
            return oneOf({ U'\n', U'\n', U'\u2028', U'\r' })
                + (pick(3) == 0 ? QStringLiteral("\r\n") : QString());
        case 5:
            return QString(1 + pick(8), QLatin1Char(' '));
        case 6:
            return oneOf(
                { U'\u00e9', U'\u00fc', U'\u00df', U'\u00b2', U'\u00f7', U'\u00b5', U'\u00ff',
                    U'\u20ac', U'\u201c', U'\u201d', U'\u2014', U'\u2026', U'\u2022', U'\u0152' });
        case 7: // Greek, Cyrillic, CJK and Hangul (above U+7FFF, negative in the file)
            return oneOf({ U'\u03b1', U'\u03a9', U'\u0416', U'\u044f', U'\u4e2d', U'\u6587',
                U'\u8a9e', U'\uac00', U'\ud55c', U'\uff21', U'\uffe5' });
        case 8: // right-to-left words and the direction marks
            return oneOf({ U'\u05e9', U'\u05dc', U'\u05d5', U'\u05dd', U'\u0633', U'\u0644',
                       U'\u0627', U'\u0645', U'\u0661', U'\u200e', U'\u200f', U'\u202b', U'\u202c',
                       U'\u2067', U'\u2069' })
                + QStringLiteral("\u05e9\u05dc\u05d5\u05dd 12 \u0633\u0644\u0627\u0645");
        case 9: // outside the Basic Multilingual Plane
            return oneOf({ U'\U0001F600', U'\U0001D400', U'\U00010000', U'\U00020000',
                       U'\U0010FFFD', U'\U0001F469' })
                + (pick(2) ? QStringLiteral("\u200d\U0001F4BB") : QString());
        case 10: // invisible and combining characters
            return oneOf({ U'\u00a0', U'\u00ad', U'\u200b', U'\u200d', U'\ufeff', U'\u0301',
                U'\ufffd', U'\ue000', U'\uf8ff' });
        case 11: // control characters
            return oneOf({ 0x01, 0x07, 0x08, 0x0b, 0x0c, 0x1b, 0x1f, 0x7f, 0x80, 0x9f });
        case 12:
            return QString(QChar(0));
        default:
            return ascii(1 + pick(12)) + QLatin1Char(' ');
        }
    }

    std::mt19937 m_random;
};

} // namespace

class SavePrintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        std::signal(SIGXFSZ, SIG_IGN);
    }
    void init()
    {
        m_main = std::make_unique<MainWindow>();
        m_dialogs = new ScriptedCommonDialog;
        m_main->setCommonDialog(m_dialogs);
    }
    void cleanup() { m_main.reset(); }

    // The file holds the document's real contents, the user's edits and formats included.
    void savedFileReadsBackInLibreOffice()
    {
        makeWorksheet(worksheet("mixed", 7), 12);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QTextCursor cursor(box->document());
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("Name: {x} \\ \u00e9 \u00b2 \u2014"), bold);
        const QString edited = box->toPlainText();
        const QString first = path("edited.rtf");
        m_dialogs->saveAnswers << first;
        child<QAction>(m_main.get(), "tbToolBarSave")->trigger();

        makeWorksheet(worksheet("Bin3", 8), 10);
        const QString second = path("ten.rtf");
        m_dialogs->saveAnswers << second;
        child<QAction>(m_main.get(), "mnuFileSave")->trigger();
        QVERIFY(m_dialogs->warnings.isEmpty());

        const QString out = path("office");
        QVERIFY(convertWithLibreOffice(
            QStringLiteral("txt:Text (encoded):UTF8"), { first, second }, out));
        QVERIFY(convertWithLibreOffice(QStringLiteral("fodt"), { first, second }, out));
        auto text = [&](const char* name) {
            QByteArray bytes = readAll(out + QLatin1Char('/') + QLatin1String(name));
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            return QString::fromUtf8(bytes);
        };
        // LibreOffice ends a last paragraph that holds text with a line feed.
        QCOMPARE(text("edited.txt"), edited + QLatin1Char('\n'));
        QCOMPARE(text("ten.txt"), worksheet("Bin3", 8));
        const QByteArray flat12 = readAll(out + QStringLiteral("/edited.fodt"));
        QVERIFY(flat12.contains("style:font-name=\"Courier New\""));
        QVERIFY(flat12.contains("fo:font-size=\"12pt\""));
        QVERIFY(flat12.contains("fo:font-weight=\"bold\""));
        QVERIFY(readAll(out + QStringLiteral("/ten.fodt")).contains("fo:font-size=\"10pt\""));
    }

    void saveOffersThePreviousName()
    {
        makeWorksheet(QStringLiteral("sheet"), 12);
        const QString name = path("twice.rtf");
        m_dialogs->saveAnswers << name << name << QString();
        m_main->save();
        const QByteArray once = readAll(name);
        m_main->save();
        QCOMPARE(readAll(name), once);
        m_main->save(); // cancelled
        QCOMPARE(m_dialogs->offeredNames, (QStringList { QString(), name, name }));
        QVERIFY(m_dialogs->warnings.isEmpty());
    }

    void toolbarKeysAreCaseSensitive()
    {
        makeWorksheet(QStringLiteral("sheet"), 12);
        m_main->toolbarButtonClick(QStringLiteral("save"));
        m_main->toolbarButtonClick(QStringLiteral("PRINT"));
        m_main->toolbarButtonClick(QStringLiteral("Other"));
        QVERIFY(m_dialogs->offeredNames.isEmpty());
        QVERIFY(m_dialogs->printSelectionOffers.isEmpty());
        m_main->toolbarButtonClick(QStringLiteral("Print"));
        QCOMPARE(m_dialogs->printSelectionOffers.size(), 1);
    }

    void failedSaveWarnsOnceAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("parent is a file") << "file-parent";
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("full disk") << "full";
        QTest::newRow("file size limit") << "limit";
        QTest::newRow("target is a folder") << "folder";
        QTest::newRow("name too long") << "long-name";
        QTest::newRow("read-only file") << "read-only-file";
    }
    void failedSaveWarnsOnceAndKeepsTheFile()
    {
        QFETCH(QString, kind);
        const QString existing = path(kind + QStringLiteral("-kept.rtf"));
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\\rtf1 the teacher's earlier sheet}");
        }
        const QByteArray before = readAll(existing);
        QString target = existing;
        rlimit oldLimit {};
        if (kind == QLatin1String("missing")) {
            target = path(QStringLiteral("no-such-folder/sheet.rtf"));
        } else if (kind == QLatin1String("file-parent")) {
            target = existing + QStringLiteral("/sheet.rtf");
        } else if (kind == QLatin1String("read-only")) {
            if (geteuid() == 0)
                QSKIP("running as root: permission bits do not stop root");
            const QString folder = path(QStringLiteral("locked"));
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            target = folder + QStringLiteral("/sheet.rtf");
        } else if (kind == QLatin1String("full")) {
            target = QStringLiteral("/dev/full");
        } else if (kind == QLatin1String("folder")) {
            target = path(QStringLiteral("folder-target"));
            QDir().mkpath(target);
            QFile inside(target + QStringLiteral("/inside.rtf"));
            QVERIFY(inside.open(QIODevice::WriteOnly));
            inside.write("inside");
        } else if (kind == QLatin1String("long-name")) {
            target = path(QString(300, QLatin1Char('n')) + QStringLiteral(".rtf"));
        } else if (kind == QLatin1String("read-only-file")) {
            // Marked read-only by its owner: refused even where the bits would not stop a write.
            QVERIFY(QFile::setPermissions(existing,
                QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        } else {
            // The new file outgrows the limit while it is written, before any rename.
            getrlimit(RLIMIT_FSIZE, &oldLimit);
            rlimit small = oldLimit;
            small.rlim_cur = 512;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        makeWorksheet(worksheet("mixed", 3), 12);
        const QMap<QString, QByteArray> filesBefore = snapshot(m_dir.path());
        m_dialogs->saveAnswers << target;
        m_main->save();
        if (kind == QLatin1String("limit"))
            setrlimit(RLIMIT_FSIZE, &oldLimit);

        QCOMPARE(m_dialogs->warnings.size(), 1);
        QVERIFY2(
            m_dialogs->warnings.first().contains(target), qPrintable(m_dialogs->warnings.first()));
        QCOMPARE(readAll(existing), before);
        QCOMPARE(snapshot(m_dir.path()), filesBefore);
        QVERIFY(m_main->isVisible());
        QCOMPARE(m_main->worksheetWindow()->textBox()->toPlainText(), worksheet("mixed", 3));
    }

    // Texts a user may type or paste, saved through the window and read back by LibreOffice in
    // one call; saving the same document twice gives the same bytes.
    void typedTextsSurviveSaveAndLibreOffice()
    {
        TextMaker maker(4711);
        QStringList files;
        QStringList expected;
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        makeWorksheet(QString(), 12);
        for (int i = 0; i < 61; ++i) {
            box->clear();
            QTextCursor cursor(box->document());
            if (i == 60)
                cursor.insertText(maker.longText(1 << 20));
            else
                maker.type(cursor);
            const QString name = path(QStringLiteral("typed-%1.rtf").arg(i));
            const QString again = path(QStringLiteral("typed-%1-again.rtf").arg(i));
            m_dialogs->saveAnswers << name << again;
            m_main->save();
            m_main->save();
            QVERIFY(m_dialogs->warnings.isEmpty());
            QCOMPARE(readAll(again), readAll(name));
            files << name;
            expected << documentText(*box->document());
        }
        const QString out = path(QStringLiteral("typed-office"));
        QVERIFY(convertWithLibreOffice(QStringLiteral("txt:Text (encoded):UTF8"), files, out));
        for (qsizetype i = 0; i < files.size(); ++i) {
            QByteArray bytes
                = readAll(out + QLatin1Char('/') + QFileInfo(files[i]).completeBaseName() + ".txt");
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            // LibreOffice ends a last paragraph that holds text with a line feed.
            QString want = expected[i];
            if (!want.isEmpty() && !want.endsWith(QLatin1Char('\n')))
                want += QLatin1Char('\n');
            // C0 control characters other than the tab (a typed Ctrl+G, a pasted form feed or
            // NUL) stay in the document and in the file, as \uN; LibreOffice drops them on
            // reading, as its documents cannot hold them.
            want.removeIf([](QChar c) {
                return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n');
            });
            const QString got = QString::fromUtf8(bytes);
            QVERIFY2(
                got == want, qPrintable(files[i] + QStringLiteral(": ") + difference(got, want)));
        }
    }

    // Another process that has the file open for reading does not block the save on Linux; it
    // keeps reading the old contents whole, as the new file is written beside the old one and
    // renamed over it.
    void saveOverAFileHeldOpenForReading()
    {
        const QString name = path(QStringLiteral("held.rtf"));
        const QByteArray old(100000, 'o');
        {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        QProcess reader;
        reader.setStandardInputFile(name);
        reader.start(QStringLiteral("sleep"), { QStringLiteral("60") });
        QVERIFY(reader.waitForStarted());
        makeWorksheet(worksheet("Bin2", 5), 12);
        m_dialogs->saveAnswers << name;
        m_main->save();
        QVERIFY(m_dialogs->warnings.isEmpty());
        const QByteArray held = readAll(QStringLiteral("/proc/%1/fd/0").arg(reader.processId()));
        reader.kill();
        reader.waitForFinished();
        QCOMPARE(held, old);
        QVERIFY(readAll(name).startsWith("{\\rtf1"));
    }

    void saveWithoutDocumentWindowDoesNothing()
    {
        makeWorksheet(QStringLiteral("sheet"), 12);
        child<QMdiArea>(m_main.get(), "mdiArea")->closeAllSubWindows();
        QTRY_VERIFY(!m_main->activeDocument());
        m_dialogs->saveAnswers << path("never.rtf");
        m_main->save();
        m_main->print();
        QVERIFY(m_dialogs->offeredNames.isEmpty());
        QVERIFY(m_dialogs->printSelectionOffers.isEmpty());
        QVERIFY(!QFile::exists(path("never.rtf")));
    }

    void printWithoutSelectionPrintsEverything()
    {
        const QString sheet = worksheet("mixed", 21);
        makeWorksheet(sheet, 12);
        const QString pdf = path("all.pdf");
        m_dialogs->printAnswer = { true, pdf, false };
        child<QAction>(m_main.get(), "mnuFilePrint")->trigger();
        QCOMPARE(m_dialogs->printSelectionOffers, QList<bool> { false });
        QCOMPARE(wordsPerLine(pdfText(pdf)), wordsPerLine(sheet));
    }

    void printWithSelectionPrintsOnlyIt()
    {
        const QString sheet = worksheet("Bin4", 22);
        makeWorksheet(sheet, 12);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QTextCursor cursor(box->document());
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 4);
        cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 4);
        box->setTextCursor(cursor);
        const QString selected = cursor.selection().toPlainText();
        const QString pdf = path("selection.pdf");
        m_dialogs->printAnswer = { true, pdf, true };
        m_main->print();
        QCOMPARE(m_dialogs->printSelectionOffers, QList<bool> { true });
        QVERIFY(!wordsPerLine(selected).isEmpty());
        QCOMPARE(wordsPerLine(pdfText(pdf)), wordsPerLine(selected));
    }

    // A line far wider than the page is scaled down, never wrapped.
    void printNeverWrapsALine()
    {
        QString wide;
        for (int i = 0; i < 14; ++i)
            wide += QStringLiteral("%1.)  (5x - 12)(11x + 7)").arg(i + 1, 2) + QString(4, ' ');
        const QString sheet = QStringLiteral("Title\n\n") + wide + QStringLiteral("\nshort\n");
        makeWorksheet(sheet, 12);
        const QString pdf = path("wide.pdf");
        m_dialogs->printAnswer = { true, pdf, false };
        m_main->print();
        QCOMPARE(wordsPerLine(pdfText(pdf)), wordsPerLine(sheet));
    }

    void cancelledPrintPrintsNothing()
    {
        makeWorksheet(QStringLiteral("sheet"), 12);
        const QString pdf = path("cancelled.pdf");
        m_dialogs->printAnswer = { false, pdf, false };
        m_main->print();
        QCOMPARE(m_dialogs->printSelectionOffers.size(), 1);
        QVERIFY(!QFile::exists(pdf));
    }

private:
    void makeWorksheet(const QString& text, double size)
    {
        m_main->setWorksheetFontSize(size);
        m_main->showMainWindow();
        m_main->replaceWorksheetText(text);
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_main;
    ScriptedCommonDialog* m_dialogs = nullptr;
};

QTEST_MAIN(SavePrintTest)
#include "save_print_test.moc"
