// Save and Print of the active document window, through pre-answered dialogs, read back with
// LibreOffice and pdftotext.

#include "app/DocumentWindow.h"
#include "window_support.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace quillora;
using namespace quillora::test;
using namespace Qt::StringLiterals;

namespace {

// The document's characters as the file should hold them: paragraphs and soft line breaks as
// line feeds, every other character as it is (toPlainText would turn no-break spaces into
// blanks).
QString documentText(const QTextDocument& document)
{
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        text += (block == document.begin() ? "" : "\n")
            + block.text().replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
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

    // One character (code point) of the list.
    QString oneOf(QStringView characters)
    {
        const QList<uint> all = characters.toUcs4();
        const char32_t one = all[pick(static_cast<int>(all.size()))];
        return QString::fromUcs4(&one, 1);
    }

    QString piece()
    {
        switch (pick(16)) {
        case 0:
        case 1:
            return ascii(1 + pick(30));
        case 2: // what the file format itself uses
            return QStringList { "{", "}", "\\", "\\par ", "{\\rtf1 ", "\\u1234?", "}{", "\\'e9",
                "\\\\{" }[pick(9)];
        case 3:
            return QString(1 + pick(3), QLatin1Char('\t'));
        case 4: // paragraphs, a soft line break, a pasted Windows line end
            return oneOf(u"\n\n\u2028\r") + (pick(3) == 0 ? "\r\n" : "");
        case 5:
            return QString(1 + pick(8), QLatin1Char(' '));
        case 6:
            return oneOf(u"\u00e9\u00fc\u00df\u00b2\u00f7\u00b5\u00ff\u20ac\u201c\u201d\u2014\u2026"
                         u"\u2022\u0152");
        case 7: // Greek, Cyrillic, CJK and Hangul (above U+7FFF, negative in the file)
            return oneOf(u"\u03b1\u03a9\u0416\u044f\u4e2d\u6587\u8a9e\uac00\ud55c\uff21\uffe5");
        case 8: // right-to-left words and the direction marks
            return oneOf(u"\u05e9\u05dc\u05d5\u05dd\u0633\u0644\u0627\u0645\u0661\u200e\u200f"
                         u"\u202b\u202c\u2067\u2069")
                + u"\u05e9\u05dc\u05d5\u05dd 12 \u0633\u0644\u0627\u0645"_s;
        case 9: // outside the Basic Multilingual Plane
            return oneOf(u"\U0001F600\U0001D400\U00010000\U00020000\U0010FFFD\U0001F469")
                + (pick(2) ? u"\u200d\U0001F4BB"_s : QString());
        case 10: // invisible and combining characters
            return oneOf(u"\u00a0\u00ad\u200b\u200d\ufeff\u0301\ufffd\ue000\uf8ff");
        case 11: // control characters
            return oneOf(u"\x01\x07\x08\x0b\x0c\x1b\x1f\x7f\x80\x9f");
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
        std::signal(SIGPIPE, SIG_IGN);
    }
    void init()
    {
        m_main = std::make_unique<MainWindow>();
        m_dialogs = new ScriptedCommonDialog;
        m_main->setCommonDialog(m_dialogs);
    }
    void cleanup() { m_main.reset(); }

    // The file holds the document's real contents, the user's edits and formats included; Save
    // offers the previous name, and a cancelled Save writes nothing.
    void savedFileReadsBackInLibreOffice()
    {
        handOver(*m_main, engineSheet("binomials", "mixed", 7), 12);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QTextCursor cursor(box->document());
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(u"Name: {x} \\ \u00e9 \u00b2 \u2014"_s, bold);
        const QString edited = box->toPlainText();
        const QString first = path("edited.rtf");
        m_dialogs->saveAnswers << first << first << QString();
        child<QAction>(m_main.get(), "tbToolBarSave")->trigger();
        const QByteArray once = readAll(first);
        m_main->save();
        QCOMPARE(readAll(first), once);
        m_main->save(); // cancelled
        QCOMPARE(m_dialogs->offeredNames, (QStringList { QString(), first, first }));

        handOver(*m_main, engineSheet("binomials", "Bin3", 8), 10);
        const QString second = path("ten.rtf");
        m_dialogs->saveAnswers << second;
        child<QAction>(m_main.get(), "mnuFileSave")->trigger();
        QVERIFY(m_dialogs->warnings.isEmpty());

        const QString out = path("office");
        QVERIFY(convertWithLibreOffice("txt:Text (encoded):UTF8", { first, second }, out));
        QVERIFY(convertWithLibreOffice("fodt", { first, second }, out));
        // LibreOffice ends a last paragraph that holds text with a line feed.
        QCOMPARE(officeText(out + "/edited.txt"), edited + QLatin1Char('\n'));
        QCOMPARE(officeText(out + "/ten.txt"), engineSheet("binomials", "Bin3", 8));
        const QByteArray flat12 = readAll(out + "/edited.fodt");
        QVERIFY(flat12.contains("style:font-name=\"Courier New\""));
        QVERIFY(flat12.contains("fo:font-size=\"12pt\""));
        QVERIFY(flat12.contains("fo:font-weight=\"bold\""));
        QVERIFY(readAll(out + "/ten.fodt").contains("fo:font-size=\"10pt\""));
    }

    void toolbarKeysAreCaseSensitive()
    {
        handOver(*m_main, "sheet");
        for (const char* key : { "save", "PRINT", "Other" })
            m_main->toolbarButtonClick(key);
        QVERIFY(m_dialogs->offeredNames.isEmpty());
        QVERIFY(m_dialogs->printSelectionOffers.isEmpty());
        m_main->toolbarButtonClick("Print");
        QCOMPARE(m_dialogs->printSelectionOffers.size(), 1);
    }

    void failedSaveWarnsOnceAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("target"); // relative to the scratch folder; empty: the file
        QTest::newRow("missing folder") << "no-such-folder/sheet.rtf";
        QTest::newRow("parent is a file") << "parent is a file-kept.rtf/sheet.rtf";
        QTest::newRow("read-only folder") << "locked/sheet.rtf";
        QTest::newRow("device") << "/dev/full";
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("socket") << "socket";
        QTest::newRow("file size limit") << "";
        QTest::newRow("target is a folder") << "folder-target";
        QTest::newRow("name too long") << QString(300, QLatin1Char('n')) + ".rtf";
        QTest::newRow("read-only file") << "";
    }
    void failedSaveWarnsOnceAndKeepsTheFile()
    {
        const QString kind = QString::fromLatin1(QTest::currentDataTag());
        const QString existing = path(kind + "-kept.rtf");
        QFETCH(QString, target);
        target = target.isEmpty() ? existing : target.startsWith('/') ? target : path(target);
        const QByteArray before = "{\\rtf1 the teacher's earlier sheet}";
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        rlimit oldLimit {};
        int listening = -1;
        if (kind == "read-only folder") {
            if (geteuid() == 0)
                QSKIP("running as root: permission bits do not stop root");
            QDir().mkpath(path("locked"));
            QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        } else if (kind == "target is a folder") {
            QDir().mkpath(target);
            QFile inside(target + "/inside.rtf");
            QVERIFY(inside.open(QIODevice::WriteOnly) && inside.write("inside") == 6);
        } else if (kind == "read-only file") {
            // Marked read-only by its owner: refused even where the bits would not stop a write.
            QVERIFY(QFile::setPermissions(existing,
                QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        } else if (kind == "named pipe") {
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        } else if (kind == "socket") {
            sockaddr_un address { .sun_family = AF_UNIX, .sun_path = {} };
            const QByteArray name = QFile::encodeName(target);
            QVERIFY(name.size() < qsizetype(sizeof address.sun_path));
            std::copy(name.begin(), name.end(), address.sun_path);
            listening = socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(listening >= 0);
            QCOMPARE(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            QCOMPARE(listen(listening, 1), 0);
        } else if (kind == "file size limit") {
            // The new file outgrows the limit while it is written, before any rename.
            getrlimit(RLIMIT_FSIZE, &oldLimit);
            rlimit small = oldLimit;
            small.rlim_cur = 512;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        handOver(*m_main, engineSheet("binomials", "mixed", 3));
        const auto filesBefore = snapshot({ m_dir.path() }, true);
        m_dialogs->saveAnswers << target;
        // A save that waits for the pipe's reader is let go after a while, and then fails below.
        std::thread reader;
        if (kind == "named pipe")
            reader = std::thread([target] {
                std::this_thread::sleep_for(std::chrono::seconds(5));
                ::close(::open(QFile::encodeName(target).constData(), O_RDONLY | O_NONBLOCK));
            });
        QElapsedTimer saving;
        saving.start();
        m_main->save();
        const qint64 waited = saving.elapsed();
        if (reader.joinable())
            reader.join();
        if (listening >= 0)
            ::close(listening);
        if (kind == "file size limit")
            setrlimit(RLIMIT_FSIZE, &oldLimit);

        QVERIFY2(waited < 2000, "Save waited");
        QCOMPARE(m_dialogs->warnings.size(), 1);
        QVERIFY2(m_dialogs->warnings.first().contains(target), qPrintable(m_dialogs->warnings[0]));
        QCOMPARE(readAll(existing), before);
        QVERIFY(snapshot({ m_dir.path() }, true) == filesBefore);
        QVERIFY(m_main->isVisible());
        QCOMPARE(m_main->worksheetWindow()->textBox()->toPlainText(),
            engineSheet("binomials", "mixed", 3));
    }

    // Texts a user may type or paste, saved through the window and read back by LibreOffice in
    // one call; saving the same document twice gives the same bytes.
    void typedTextsSurviveSaveAndLibreOffice()
    {
        TextMaker maker(4711);
        QStringList files;
        QStringList expected;
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        handOver(*m_main, QString());
        for (int i = 0; i < 61; ++i) {
            box->clear();
            QTextCursor cursor(box->document());
            if (i == 60)
                cursor.insertText(maker.longText(1 << 20));
            else
                maker.type(cursor);
            const QString name = path(QStringLiteral("typed-%1.rtf").arg(i));
            m_dialogs->saveAnswers << name << name + ".again";
            m_main->save();
            m_main->save();
            QVERIFY(m_dialogs->warnings.isEmpty());
            QCOMPARE(readAll(name + ".again"), readAll(name));
            files << name;
            expected << documentText(*box->document());
        }
        const QString out = path("typed-office");
        QVERIFY(convertWithLibreOffice("txt:Text (encoded):UTF8", files, out));
        for (qsizetype i = 0; i < files.size(); ++i) {
            // LibreOffice ends a last paragraph that holds text with a line feed. C0 control
            // characters other than the tab (a typed Ctrl+G, a pasted form feed or NUL) stay in
            // the document and in the file, as \uN; LibreOffice drops them on reading.
            QString want = expected[i];
            if (!want.isEmpty() && !want.endsWith(QLatin1Char('\n')))
                want += QLatin1Char('\n');
            want.removeIf([](QChar c) { return c.unicode() < 0x20 && c != '\t' && c != '\n'; });
            const QString got = officeText(QStringLiteral("%1/typed-%2.txt").arg(out).arg(i));
            QVERIFY2(got == want, qPrintable(files[i]));
        }
    }

    // Another process that has the file open for reading does not block the save on Linux; it
    // keeps reading the old contents whole, as the new file is written beside the old one and
    // renamed over it.
    void saveOverAFileHeldOpenForReading()
    {
        const QString name = path("held.rtf");
        const QByteArray old(100000, 'o');
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        QProcess reader;
        reader.setStandardInputFile(name);
        reader.start("sleep", { "60" });
        QVERIFY(reader.waitForStarted());
        handOver(*m_main, engineSheet("binomials", "Bin2", 5));
        m_dialogs->saveAnswers << name;
        m_main->save();
        QVERIFY(m_dialogs->warnings.isEmpty());
        const QByteArray held = readAll(QStringLiteral("/proc/%1/fd/0").arg(reader.processId()));
        reader.kill();
        reader.waitForFinished();
        QCOMPARE(held, old);
        QVERIFY(readAll(name).startsWith("{\\rtf1"));
    }

    void noDocumentWindowNoSaveNoPrint()
    {
        handOver(*m_main, "sheet");
        child<QMdiArea>(m_main.get(), "mdiArea")->closeAllSubWindows();
        QTRY_VERIFY(!m_main->activeDocument());
        m_dialogs->saveAnswers << path("never.rtf");
        m_main->save();
        m_main->print();
        QVERIFY(m_dialogs->offeredNames.isEmpty());
        QVERIFY(m_dialogs->printSelectionOffers.isEmpty());
        QVERIFY(!QFile::exists(path("never.rtf")));
    }

    // The whole document, or only the selection when there is one; a line far wider than the
    // page is scaled down, never wrapped.
    void printReadsBack_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<bool>("selection");
        QString wide;
        for (int i = 0; i < 14; ++i)
            wide += QStringLiteral("%1.)  (5x - 12)(11x + 7)").arg(i + 1, 2) + QString(4, ' ');
        QTest::newRow("all") << engineSheet("binomials", "mixed", 21) << false;
        QTest::newRow("selection") << engineSheet("binomials", "Bin4", 22) << true;
        QTest::newRow("no wrap") << "Title\n\n" + wide + "\nshort\n" << false;
    }
    void printReadsBack()
    {
        QFETCH(QString, sheet);
        QFETCH(bool, selection);
        handOver(*m_main, sheet);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        if (selection) {
            QTextCursor cursor(box->document());
            cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 4);
            cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 4);
            box->setTextCursor(cursor);
            sheet = cursor.selection().toPlainText();
            QVERIFY(!wordsPerLine(sheet).isEmpty());
        }
        const QString pdf = path(QString::fromLatin1(QTest::currentDataTag()) + ".pdf");
        m_dialogs->printAnswer = { true, pdf, selection };
        child<QAction>(m_main.get(), "mnuFilePrint")->trigger();
        QCOMPARE(m_dialogs->printSelectionOffers, QList<bool> { selection });
        QCOMPARE(pdfWords(pdf), wordsPerLine(sheet));
    }

    // Half an inch clear on every side of the system's paper, each page starting with its text at
    // the top margin, and no block of non-blank lines (a stacked fraction, a row of the grid)
    // split across two pages. Two fraction-equation sheets in one document take two Letter pages
    // pages at 10 points; the fractions grid is wider than the page and is scaled down.
    void printoutKeepsMarginsAndBlocks_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<double>("size");
        QTest::addColumn<QByteArray>("paper");
        QTest::addColumn<int>("pages");
        QTest::newRow("two fraction-equation sheets")
            << engineSheet("fraction-equations", "mixed", 5) + '\n'
                + engineSheet("fraction-equations", "mixed", 6)
            << 10.0 << QByteArray("letter") << 2;
        QTest::newRow("fractions grid")
            << engineSheet("fractions", "mixed", 5) << 9.75 << QByteArray("a4") << 1;
    }
    void printoutKeepsMarginsAndBlocks()
    {
        QFETCH(QString, sheet);
        QFETCH(double, size);
        QFETCH(QByteArray, paper);
        qputenv("PAPERSIZE", paper);
        handOver(*m_main, sheet, size);
        const QString pdf = path(QString::fromLatin1(QTest::currentDataTag()) + ".pdf");
        m_dialogs->printAnswer = { true, pdf, false };
        m_main->print();
        qunsetenv("PAPERSIZE");

        const QString boxes = QString::fromUtf8(runTool("pdftotext", { "-bbox", pdf, "-" }));
        static const QRegularExpression number(R"re(([a-zA-Z]+)="([0-9.]+)")re");
        QList<QRectF> words;
        QSizeF page;
        int pages = 0;
        for (const QString& tag : boxes.split('<')) {
            QMap<QString, double> at;
            for (const auto& match : number.globalMatch(tag))
                at[match.captured(1)] = match.captured(2).toDouble();
            if (tag.startsWith("page ")) {
                ++pages;
                page = QSizeF(at["width"], at["height"]);
                QCOMPARE(qRound(page.width()), paper == "a4" ? 595 : 612);
                words.clear();
            } else if (tag.startsWith("word ")) {
                const QRectF word(QPointF(at["xMin"], at["yMin"]), QPointF(at["xMax"], at["yMax"]));
                const QRectF inside = QRectF(QPointF(), page).adjusted(35.5, 35.5, -35.5, -35.5);
                QVERIFY2(inside.contains(word), qPrintable(tag));
                // The first word of a page stands at its top margin: no blank lines above it.
                if (words.isEmpty())
                    QVERIFY2(word.top() < 36 + size, qPrintable(tag));
                words << word;
            }
        }
        QTEST(pages, "pages");

        // Every page ends where a block of the sheet ends.
        QList<int> blockEnds;
        int lines = 0;
        bool inBlock = false;
        for (const QString& line : sheet.split('\n')) {
            const bool blank = line.trimmed().isEmpty();
            if (inBlock && blank)
                blockEnds << lines;
            lines += blank ? 0 : 1;
            inBlock = !blank;
        }
        blockEnds << lines;
        int printed = 0;
        const QString layout = QString::fromUtf8(runTool("pdftotext", { "-layout", pdf, "-" }));
        for (const QString& pageText : layout.split('\f', Qt::SkipEmptyParts)) {
            printed += wordsPerLine(pageText).size();
            QVERIFY2(blockEnds.contains(printed), qPrintable(pageText));
        }
        QCOMPARE(pdfWords(pdf), wordsPerLine(sheet));
    }

    void cancelledPrintPrintsNothing()
    {
        handOver(*m_main, "sheet");
        m_dialogs->printAnswer = { false, path("cancelled.pdf"), false };
        m_main->print();
        QCOMPARE(m_dialogs->printSelectionOffers.size(), 1);
        QVERIFY(!QFile::exists(path("cancelled.pdf")));
    }

    // The real print dialog offers no page range, though Qt's CUPS dialog turns it back on when
    // it shows; the selection choice is there, and chosen, only when there is a selection.
    void printDialogOffersNoPageRange_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::newRow("no selection") << false;
        QTest::newRow("selection") << true;
    }
    void printDialogOffersNoPageRange()
    {
        QFETCH(bool, selection);
        QtCommonDialog dialogs;
        QPrinter printer;
        QStringList shown;
        bool selectionChosen = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            for (const char* name : { "printAll", "printRange", "from", "to", "pagesRadioButton",
                     "pagesLineEdit", "printSelection" }) {
                auto* widget = dialog->findChild<QWidget*>(name);
                if (widget && !widget->isHidden())
                    shown << name;
            }
            selectionChosen = dialog->findChild<QAbstractButton*>("printSelection")->isChecked();
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        });
        QVERIFY(!dialogs.choosePrinter(m_main.get(), printer, selection));
        const QStringList offered
            = selection ? QStringList { "printAll", "printSelection" } : QStringList { "printAll" };
        QCOMPARE(shown, offered);
        QCOMPARE(selectionChosen, selection);
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_main;
    ScriptedCommonDialog* m_dialogs = nullptr;
};

QTEST_MAIN(SavePrintTest)
#include "save_print_test.moc"
