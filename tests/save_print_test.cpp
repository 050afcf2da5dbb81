// Save and Print of the active document window: the real dialogs answered Cancel and Save, and
// pre-answered ones; files read back with LibreOffice, printouts page by page with pdftotext.

#include "app/DocumentWindow.h"
#include "window_support.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quillora;
using namespace quillora::test;

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

// The words of each line that holds any, so texts compare regardless of blank widths.
QList<QStringList> words(const QString& text)
{
    QList<QStringList> lines;
    for (const QString& line : text.split('\n'))
        if (const QStringList words = line.split(' ', Qt::SkipEmptyParts); !words.isEmpty())
            lines << words;
    return lines;
}

} // namespace

class SavePrintTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_main = new MainWindow;
        m_dialogs = new ScriptedCommonDialog;
        m_dialogs->setParent(this);
    }
    void cleanup() { delete m_main; }

    // The real save dialog: Cancel writes nothing; Save writes the typed name; the next Save
    // offers that name and replaces the file without asking; a failed save shows one warning.
    // The file holds the document's text and formats as LibreOffice reads them.
    void realSaveDialog()
    {
        handOver(*m_main, engineSheet("binomials", "Bin3", 8), 10);
        const QString name = path("real.rtf"), missing = path("missing/a.rtf");
        QStringList offered;
        const auto save = [&](bool accept, const QString& typed = {}) {
            whenModal<QFileDialog>([&offered, accept, typed](QFileDialog* dialog) {
                auto* box = child<QLineEdit>(dialog, "fileNameEdit");
                offered << dialog->windowTitle() + dialog->nameFilters().join('|') + box->text();
                // A name typed as a user does: the file list's selection (the offered name, once
                // the list has loaded) gives way to it.
                if (!typed.isEmpty()) {
                    for (auto* view : dialog->findChildren<QAbstractItemView*>())
                        view->clearSelection();
                    box->setText(typed);
                }
                QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
            });
            child<QAction>(m_main, "tbToolBarSave")->trigger();
        };
        save(false);
        QVERIFY(QDir(m_dir.path()).isEmpty());
        save(true, name);
        const QByteArray first = readAll(name);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setFontPointSize(18);
        box->moveCursor(QTextCursor::End);
        box->textCursor().insertText(QString::fromUtf8("N:\t{x} \\ é ²\u2028— 😀"), bold);
        save(false);
        QCOMPARE(readAll(name), first);
        save(true);
        const QByteArray rtf = readAll(name);
        for (const char* part : { "{\\rtf1", "Courier New", "\\fs20\\b0", "\\fs36\\b\\i0" })
            QVERIFY2(rtf.contains(part) && !first.contains("\\fs36"), part);
        QString warning;
        whenModal<QMessageBox>([&warning](QMessageBox* box) {
            warning = box->windowTitle() + ": " + box->text();
            box->accept();
        });
        save(true, missing);
        QCOMPARE(warning, "Save: Could not save \"" + missing + "\": No such file or directory");
        QCOMPARE(offered.join(' '),
            "SaveAll Files (*.*) SaveAll Files (*.*) SaveAll Files (*.*)real.rtf SaveAll Files "
            "(*.*)real.rtf SaveAll Files (*.*)real.rtf");

        QVERIFY(!runTool("soffice",
            { "-env:UserInstallation=file://" + path("profile"), "--headless", "--convert-to",
                "txt:Text (encoded):UTF8", "--outdir", path(""), name })
                     .isNull());
        // LibreOffice ends a last paragraph that holds text with a line feed.
        QCOMPARE(QString::fromUtf8(readAll(path("real.txt"))).remove(QChar(0xFEFF)),
            box->toPlainText().replace(QChar::LineSeparator, '\n') + '\n');
    }

    // The real print dialog offers no page range; the selection choice is there, and chosen,
    // only when there is a selection.
    void realPrintDialogOffersNoPageRange()
    {
        for (const bool selection : { false, true }) {
            QPrinter printer;
            QString shown;
            whenModal<QWidget>([&shown](QWidget* dialog) {
                for (const QString name : { "printRange", "from", "to", "pagesRadioButton",
                         "pagesLineEdit", "printSelection" })
                    shown += child(dialog, name) && !child(dialog, name)->isHidden() ? name : "";
                shown += child<QAbstractButton>(dialog, "printSelection")->isChecked() ? " chosen"
                                                                                       : "";
                QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
            });
            QVERIFY(!QtCommonDialog().choosePrinter(m_main, printer, selection));
            QCOMPARE(shown, selection ? "printSelection chosen" : "");
        }
    }

    // Every failure warns once with the name and the reason, keeps any file whole and leaves
    // nothing behind.
    void failedSaveWarnsOnceAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("target"); // in the scratch folder; "": the existing file
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* tag, const QString& target, const char* reason) {
            QTest::newRow(tag) << target << reason;
        };
        row("missing folder", "none/a.rtf", "No such file or directory");
        row("parent is a file", "parent is a file.rtf/a.rtf", "Not a directory");
        row("name too long", QString(300, 'n'), "File name too long");
        row("device", "/dev/full", "It is a device, not a regular file");
        row("named pipe", "pipe", "It is a named pipe, not a regular file");
        row("target is a folder", "folder", "Filename refers to a directory");
        row("read-only file", "", "The file is read-only"); // refused even as root
        row("file size limit", "", "File too large"); // the new file outgrows it while written
    }
    void failedSaveWarnsOnceAndKeepsTheFile()
    {
        const QString kind = QTest::currentDataTag(), existing = path(kind + ".rtf");
        QFETCH(QString, target);
        QFETCH(QString, reason);
        target = target.isEmpty() ? existing : target.startsWith('/') ? target : path(target);
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{\\rtf1 earlier}") == 15);
        file.close();
        QVERIFY(kind != "target is a folder" || QDir().mkpath(target + "/inside"));
        QVERIFY(kind != "named pipe" || mkfifo(QFile::encodeName(target), 0600) == 0);
        QVERIFY(kind != "read-only file" || QFile::setPermissions(existing, QFile::ReadOwner));
        handOver(*m_main, engineSheet("binomials", "mixed", 3));
        m_main->setCommonDialog(m_dialogs);
        const QStringList entries = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
        m_dialogs->saveAnswers << target;
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small { kind == "file size limit" ? 512 : limit.rlim_cur, limit.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        m_main->save();
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(m_dialogs->warnings, QStringList("Could not save \"" + target + "\": " + reason));
        QCOMPARE(readAll(existing), "{\\rtf1 earlier}");
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entries);
    }

    // Page by page: every page holds its share of the lines and nothing else and ends where a
    // block of non-blank lines ends (a stacked fraction, a row of the grid); all text lies half an
    // inch inside the system's paper. The whole document or only the selection; a line wider than
    // the page is scaled down, never wrapped. A cancelled print prints nothing.
    void printoutPageByPage_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<double>("size");
        QTest::addColumn<QByteArray>("paper");
        QTest::addColumn<int>("pages");
        const auto row
            = [](const char* tag, const QString& sheet, double size, const char* paper, int pages) {
                  QTest::newRow(tag) << sheet << size << QByteArray(paper) << pages;
              };
        const QString fb = engineSheet("fraction-equations", "mixed", 5) + '\n'
            + engineSheet("fraction-equations", "mixed", 6);
        row("all", engineSheet("binomials", "mixed", 21), 12, "a4", 1);
        row("selection", engineSheet("binomials", "Bin4", 22), 12, "a4", 1);
        row("cancelled", "sheet", 12, "a4", 0);
        row("no wrap", "Title\n\n" + QString("(5x - 12)(11x + 7)    ").repeated(14) + "\nshort\n",
            12, "a4", 1);
        row("a block that goes whole to the next page",
            QString("line\n").repeated(30) + "\n" + QString("block\n").repeated(40), 12, "a4", 2);
        row("fractions grid", engineSheet("fractions", "mixed", 5), 9.75, "a4", 1);
        row("two sheets, letter", fb, 10, "letter", 2);
        row("three sheets, a4", fb + '\n' + engineSheet("fraction-equations", "FB5", 7), 12, "a4",
            4);
    }
    void printoutPageByPage()
    {
        QFETCH(QString, sheet);
        QFETCH(double, size);
        QFETCH(QByteArray, paper);
        QFETCH(int, pages);
        qputenv("PAPERSIZE", paper);
        handOver(*m_main, sheet, size);
        m_main->setCommonDialog(m_dialogs);
        const bool selection = QTest::currentDataTag() == QLatin1String("selection");
        QTextCursor cursor(m_main->worksheetWindow()->textBox()->document());
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 4);
        cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, selection ? 4 : 0);
        m_main->worksheetWindow()->textBox()->setTextCursor(cursor);
        sheet = selection ? cursor.selection().toPlainText() : sheet;
        const QString pdf = path(QTest::currentDataTag()) + ".pdf";
        m_dialogs->pdf = pages ? std::optional(pdf) : std::nullopt;
        m_dialogs->printSelection = selection;
        child<QAction>(m_main, selection ? "mnuFilePrint" : "tbToolBarPrint")->trigger();
        qunsetenv("PAPERSIZE");
        QCOMPARE(m_dialogs->selectionOffers, QList<bool> { selection });
        QCOMPARE(QFile::exists(pdf), pages > 0);

        QList<qsizetype> blockEnds; // counted in non-blank lines
        for (qsizetype count = 0; const QString& line : (sheet + "\n\n").split('\n'))
            line.trimmed().isEmpty() ? void(blockEnds << count) : void(++count);
        const QList<QStringList> lines = words(sheet);
        const auto text = [&pdf](QStringList crop) {
            return QString::fromUtf8(runTool("pdftotext", crop << "-layout" << pdf << "-"))
                .split('\f');
        };
        QStringList onPages = text({});
        QCOMPARE(onPages.takeLast(), QString());
        QCOMPARE(onPages.size(), pages);
        qsizetype printed = 0;
        for (const QString& page : onPages) {
            const QList<QStringList> onPage = words(page);
            QCOMPARE(onPage, lines.mid(printed, onPage.size()));
            printed += onPage.size();
            QVERIFY2(!onPage.isEmpty() && blockEnds.contains(printed), qPrintable(page));
        }
        QCOMPARE(printed, pages ? lines.size() : 0);
        const QSize inside = paper == "a4" ? QSize(595 - 72, 842 - 72) : QSize(612 - 72, 792 - 72);
        QCOMPARE(words(text({ "-x", "36", "-y", "36", "-W", QString::number(inside.width()), "-H",
                                QString::number(inside.height()) })
                           .join('\n')),
            words(text({}).join('\n')));
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    MainWindow* m_main = nullptr;
    ScriptedCommonDialog* m_dialogs = nullptr;
};

QTEST_MAIN(SavePrintTest)
#include "save_print_test.moc"
