// Save and Print of the active document window, through pre-answered dialogs, read back with
// LibreOffice and pdftotext.

#include "app/DocumentWindow.h"
#include "app/MainWindow.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "window_support.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <csignal>
#include <memory>
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
        } else {
            // The new file outgrows the limit while it is written, before any rename.
            getrlimit(RLIMIT_FSIZE, &oldLimit);
            rlimit small = oldLimit;
            small.rlim_cur = 512;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        makeWorksheet(worksheet("mixed", 3), 12);
        m_dialogs->saveAnswers << target;
        m_main->save();
        if (kind == QLatin1String("limit"))
            setrlimit(RLIMIT_FSIZE, &oldLimit);

        QCOMPARE(m_dialogs->warnings.size(), 1);
        QVERIFY2(
            m_dialogs->warnings.first().contains(target), qPrintable(m_dialogs->warnings.first()));
        QCOMPARE(readAll(existing), before);
        QVERIFY(m_main->isVisible());
        QCOMPARE(m_main->worksheetWindow()->textBox()->toPlainText(), worksheet("mixed", 3));
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
