// Save and Print of the active document window: the real dialogs answered Cancel and Save, and
// pre-answered ones; files read back with LibreOffice, printouts page by page with pdftotext.

#include "app/DocumentWindow.h"
#include "window_support.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quillora;
using namespace quillora::test;
using namespace Qt::StringLiterals;

namespace {

// Answers the next modal dialog of type T from inside its event loop.
template <typename T> void whenModal(std::function<void(T*)> answer)
{
    QTimer::singleShot(50, [answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            answer(dialog);
        else
            whenModal(answer);
    });
}

void close(QWidget* dialog, const char* how)
{
    QMetaObject::invokeMethod(dialog, how, Qt::QueuedConnection);
}

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
        m_dialogs->setParent(this);
    }
    void cleanup() { m_main.reset(); }

    // The real save dialog: Cancel writes nothing; Save writes the file; the next Save offers
    // that name and replaces the file without asking; a failed save shows one warning. The
    // file holds the document's text and formats as LibreOffice reads them.
    void realSaveDialog()
    {
        handOver(*m_main, engineSheet("binomials", "Bin3", 8), 10);
        const QString name = path("real.rtf");
        QStringList offered;
        const auto answer = [&](bool accept, const QString& chosen = {}) {
            whenModal<QFileDialog>([&offered, accept, chosen](QFileDialog* dialog) {
                auto* nameBox = child<QLineEdit>(dialog, "fileNameEdit");
                offered << dialog->windowTitle() + " " + dialog->nameFilters().join('|') + " "
                        + nameBox->text();
                if (!chosen.isEmpty()) // typed into the name box, as a user does
                    nameBox->setText(chosen);
                close(dialog, accept ? "accept" : "reject");
            });
            child<QAction>(m_main.get(), "tbToolBarSave")->trigger();
        };
        answer(false);
        QVERIFY(QDir(path("")).isEmpty(QDir::Files));
        answer(true, name);
        const QByteArray first = readAll(name);
        QVERIFY(first.startsWith("{\\rtf1"));
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QTextCursor cursor(box->document());
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setFontPointSize(18);
        cursor.insertText(u"Name:\t{x} \\ \u00e9 \u00b2\u2028\u2014 \U0001F600"_s, bold);
        answer(false);
        QCOMPARE(readAll(name), first);
        answer(true);
        QVERIFY(readAll(name) != first);
        QCOMPARE(offered,
            QStringList(2, "Save All Files (*.*) ")
                + QStringList(2, "Save All Files (*.*) real.rtf"));

        QString warning;
        whenModal<QMessageBox>([&warning](QMessageBox* box) {
            warning = box->windowTitle() + ": " + box->text();
            close(box, "accept");
        });
        answer(true, path("missing/sheet.rtf"));
        QCOMPARE(warning,
            "Save: Could not save \"" + path("missing/sheet.rtf")
                + "\": No such file or directory");

        const QString out = path("office");
        for (const char* format : { "txt:Text (encoded):UTF8", "fodt" })
            QVERIFY(!runTool("soffice",
                { "-env:UserInstallation=file://" + out + "/profile", "--headless", "--convert-to",
                    format, "--outdir", out, name })
                         .isNull());
        // LibreOffice ends a last paragraph that holds text with a line feed.
        QCOMPARE(QString::fromUtf8(readAll(out + "/real.txt")).remove(QChar(0xFEFF)),
            box->toPlainText().replace(QChar::LineSeparator, '\n') + '\n');
        const QByteArray flat = readAll(out + "/real.fodt");
        for (const char* format : { "style:font-name=\"Courier New\"", "fo:font-size=\"10pt\"",
                 "fo:font-size=\"18pt\"", "fo:font-weight=\"bold\"" })
            QVERIFY2(flat.contains(format), format);
    }

    // The real print dialog offers no page range; the selection choice is there, and chosen,
    // only when there is a selection.
    void realPrintDialogOffersNoPageRange_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::newRow("no selection") << false;
        QTest::newRow("selection") << true;
    }
    void realPrintDialogOffersNoPageRange()
    {
        QFETCH(bool, selection);
        QtCommonDialog dialogs;
        QPrinter printer;
        QStringList shown;
        whenModal<QWidget>([&](QWidget* dialog) {
            for (const char* name : { "printAll", "printRange", "from", "to", "pagesRadioButton",
                     "pagesLineEdit", "printSelection" })
                if (auto* widget = child(dialog, name); widget && !widget->isHidden())
                    shown << name;
            if (child<QAbstractButton>(dialog, "printSelection")->isChecked())
                shown << "chosen";
            close(dialog, "reject");
        });
        QVERIFY(!dialogs.choosePrinter(m_main.get(), printer, selection));
        QCOMPARE(shown,
            (selection ? QStringList { "printAll", "printSelection", "chosen" }
                       : QStringList { "printAll" }));
    }

    // Every failure warns once with the name and the reason, keeps any file whole, leaves the
    // folder as it was and returns at once.
    void failedSaveWarnsOnceAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("target"); // relative to the scratch folder; "": the file
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "none/a.rtf"
                                        << "No such file or directory";
        QTest::newRow("parent is a file") << "parent is a file-kept.rtf/a.rtf"
                                          << "Not a directory";
        QTest::newRow("device") << "/dev/full"
                                << "It is a device, not a regular file";
        QTest::newRow("named pipe") << "pipe"
                                    << "It is a named pipe, not a regular file";
        QTest::newRow("socket") << "socket"
                                << "It is a socket, not a regular file";
        QTest::newRow("file size limit") << ""
                                         << "File too large";
        QTest::newRow("target is a folder") << "folder"
                                            << "Filename refers to a directory";
        QTest::newRow("name too long") << QString(300, 'n') << "File name too long";
        QTest::newRow("read-only file") << ""
                                        << "The file is read-only";
    }
    void failedSaveWarnsOnceAndKeepsTheFile()
    {
        const QString kind = QTest::currentDataTag();
        const QString existing = path(kind + "-kept.rtf");
        QFETCH(QString, target);
        target = target.isEmpty() ? existing : target.startsWith('/') ? target : path(target);
        const QByteArray before = "{\\rtf1 the teacher's earlier sheet}";
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        int listening = -1;
        if (kind == "target is a folder")
            QVERIFY(QDir().mkpath(target + "/inside"));
        if (kind == "read-only file") // refused even where the bits would not stop a write
            QVERIFY(QFile::setPermissions(existing, QFileDevice::ReadOwner));
        if (kind == "named pipe")
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        if (kind == "socket") {
            sockaddr_un address { .sun_family = AF_UNIX, .sun_path = {} };
            const QByteArray name = QFile::encodeName(target);
            QVERIFY(name.size() < qsizetype(sizeof address.sun_path));
            std::copy(name.begin(), name.end(), address.sun_path);
            listening = socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        }
        handOver(*m_main, engineSheet("binomials", "mixed", 3));
        m_main->setCommonDialog(m_dialogs);
        const auto filesBefore = snapshot({ m_dir.path() });
        m_dialogs->saveAnswers << target;
        rlimit small { 512, limit.rlim_max }; // the new file outgrows it while it is written
        if (kind == "file size limit")
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QElapsedTimer saving;
        saving.start();
        m_main->save();
        const qint64 waited = saving.elapsed();
        setrlimit(RLIMIT_FSIZE, &limit);
        ::close(listening);
        QVERIFY2(waited < 2000, "Save waited");
        QFETCH(QString, reason);
        QCOMPARE(m_dialogs->warnings,
            QStringList { QString("Could not save \"%1\": %2").arg(target, reason) });
        QCOMPARE(readAll(existing), before);
        QVERIFY(snapshot({ m_dir.path() }) == filesBefore);
    }

    // Cancelled, or with no document window: nothing is printed or saved.
    void nothingWithoutAnswerOrDocument()
    {
        handOver(*m_main, "sheet");
        m_main->setCommonDialog(m_dialogs);
        m_main->print();
        QCOMPARE(m_dialogs->selectionOffers, QList<bool> { false });
        child<QMdiArea>(m_main.get(), "mdiArea")->closeAllSubWindows();
        QTRY_VERIFY(!m_main->activeDocument());
        m_dialogs->saveAnswers << path("never.rtf");
        m_dialogs->pdf = path("never.pdf");
        m_main->save();
        m_main->print();
        QVERIFY(m_dialogs->offeredNames.isEmpty());
        QCOMPARE(m_dialogs->selectionOffers.size(), 1);
        QVERIFY(QDir(path("")).entryList({ "never*" }).isEmpty());
    }

    // Page by page: every page holds its share of the lines and nothing else, starts with text
    // at its top margin, ends where a block of non-blank lines ends (a stacked fraction, a row of
    // the grid), and keeps half an inch clear on every side of the system's paper. The whole
    // document or only the selection; a line wider than the page is scaled down, never wrapped.
    void printoutPageByPage_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QByteArray>("paper");
        QTest::addColumn<int>("pages");
        QString wide = "Title\n\n";
        for (int i = 0; i < 14; ++i)
            wide += QString("%1.)  (5x - 12)(11x + 7)    ").arg(i + 1, 2);
        const QString fb = engineSheet("fraction-equations", "mixed", 5) + '\n'
            + engineSheet("fraction-equations", "mixed", 6);
        QTest::newRow("all") << engineSheet("binomials", "mixed", 21) << 12.0 << false << "a4"_ba
                             << 1;
        QTest::newRow("selection")
            << engineSheet("binomials", "Bin4", 22) << 12.0 << true << "a4"_ba << 1;
        QTest::newRow("no wrap") << wide + "\nshort\n" << 12.0 << false << "a4"_ba << 1;
        QTest::newRow("fractions grid")
            << engineSheet("fractions", "mixed", 5) << 9.75 << false << "a4"_ba << 1;
        QTest::newRow("two sheets, letter") << fb << 10.0 << false << "letter"_ba << 2;
        QTest::newRow("three sheets, a4") << fb + '\n' + engineSheet("fraction-equations", "FB5", 7)
                                          << 12.0 << false << "a4"_ba << 4;
    }
    void printoutPageByPage()
    {
        QFETCH(QString, sheet);
        QFETCH(double, size);
        QFETCH(bool, selection);
        QFETCH(QByteArray, paper);
        qputenv("PAPERSIZE", paper);
        handOver(*m_main, sheet, size);
        m_main->setCommonDialog(m_dialogs);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        if (selection) {
            QTextCursor cursor(box->document());
            cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 4);
            cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 4);
            box->setTextCursor(cursor);
            sheet = cursor.selection().toPlainText();
        }
        const QString pdf = path(QTest::currentDataTag()) + ".pdf";
        m_dialogs->pdf = pdf;
        m_dialogs->printSelection = selection;
        child<QAction>(m_main.get(), selection ? "mnuFilePrint" : "tbToolBarPrint")->trigger();
        qunsetenv("PAPERSIZE");
        QCOMPARE(m_dialogs->selectionOffers, QList<bool> { selection });

        // The lines that end a block, counted in non-blank lines.
        QList<qsizetype> blockEnds;
        const QList<QStringList> lines = wordsPerLine(sheet);
        qsizetype count = 0;
        for (const QString& line : (sheet + "\n\n").split('\n')) {
            if (line.trimmed().isEmpty() && !blockEnds.contains(count))
                blockEnds << count;
            count += !line.trimmed().isEmpty();
        }
        const QString text = QString::fromUtf8(runTool("pdftotext", { "-layout", pdf, "-" }));
        QStringList pageTexts = text.split('\f');
        QCOMPARE(pageTexts.takeLast(), QString());
        QTEST(int(pageTexts.size()), "pages");
        qsizetype printed = 0;
        for (const QString& page : pageTexts) {
            const QList<QStringList> words = wordsPerLine(page);
            QCOMPARE(words, lines.mid(printed, words.size()));
            printed += words.size();
            QVERIFY2(!words.isEmpty() && blockEnds.contains(printed), qPrintable(page));
        }
        QCOMPARE(printed, lines.size());

        const QString boxes = QString::fromUtf8(runTool("pdftotext", { "-bbox", pdf, "-" }));
        static const QRegularExpression number(R"re(([a-zA-Z]+)="([0-9.]+)")re");
        QRectF page;
        bool first = false;
        for (const QString& tag : boxes.split('<')) {
            QMap<QString, double> at;
            for (const auto& match : number.globalMatch(tag))
                at[match.captured(1)] = match.captured(2).toDouble();
            if (tag.startsWith("page ")) {
                page = QRectF(0, 0, at["width"], at["height"]);
                QCOMPARE(qRound(page.width()), paper == "a4" ? 595 : 612);
                first = true;
            } else if (tag.startsWith("word ")) {
                const QRectF word(QPointF(at["xMin"], at["yMin"]), QPointF(at["xMax"], at["yMax"]));
                QVERIFY2(page.adjusted(35.5, 35.5, -35.5, -35.5).contains(word), qPrintable(tag));
                QVERIFY2(!first || word.top() < 36 + size, qPrintable(tag));
                first = false;
            }
        }
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_main;
    ScriptedCommonDialog* m_dialogs = nullptr;
};

QTEST_MAIN(SavePrintTest)
#include "save_print_test.moc"
