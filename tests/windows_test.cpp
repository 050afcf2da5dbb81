// The windows under a window manager: the problem dialog against golden data, what the desktop
// sees of the program, the main window and its worksheet window, Save and Print (files read back
// with LibreOffice, printouts page by page with pdftotext), and the stored geometry.

#include "app/ApplicationIdentity.h"
#include "app/DocumentExport.h"
#include "app/GeometrySettings.h"
#include "window_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace quillora;
using namespace quillora::test;

namespace {

constexpr int Slow = 20000; // openbox on a busy machine may take seconds to frame a window

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

// One run's hand-over, as a driver makes it.
void handOver(MainWindow& main, const QString& text, double size = 12)
{
    main.setWorksheetFontSize(size);
    main.showMainWindow();
    main.replaceWorksheetText(text);
}

// Whether `image` is the golden picture tests/data/NAME.png. QUILLORA_UPDATE_GOLDEN=1 rewrites
// the golden files from what the program paints now (look at them before committing).
bool matchesGolden(const QImage& image, const QString& name)
{
    const QString file = QStringLiteral(QUILLORA_TEST_DATA "/") + name + ".png";
    if (qEnvironmentVariableIsSet("QUILLORA_UPDATE_GOLDEN"))
        image.save(file);
    return QImage(file).convertToFormat(QImage::Format_ARGB32)
        == image.convertToFormat(QImage::Format_ARGB32);
}

// The golden text tests/data/NAME; QUILLORA_UPDATE_GOLDEN=1 first rewrites it with `now`.
QString golden(const QString& name, const QString& now)
{
    QFile file(QUILLORA_TEST_DATA "/" + name);
    if (qEnvironmentVariableIsSet("QUILLORA_UPDATE_GOLDEN") && file.open(QIODevice::WriteOnly))
        file.write(now.toUtf8());
    file.close();
    return QString::fromUtf8(readAll(file.fileName()));
}

// The stored bounds, in pixels.
QRect stored()
{
    const QRect twips = GeometrySettings::load();
    return QRect(twips.topLeft() / 15, twips.size() / 15);
}

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    // openbox frames the windows, so that minimize and maximize really happen.
    void initTestCase()
    {
        m_manager.start("openbox", { "--sm-disable" });
        // It names its theme on the root window shortly before it takes on windows.
        for (int i = 0; i < 100 && !runTool("xprop", { "-root", "_OB_THEME" }).contains(" = "); ++i)
            QTest::qWait(50);
    }
    void cleanupTestCase()
    {
        m_manager.terminate();
        m_manager.waitForFinished();
    }
    void init()
    {
        store().clear();
        m_main = new MainWindow;
        m_main->setModalDialogs(m_dialogs = new ScriptedModalDialogs);
        m_dialog = new ProblemDialog(m_main);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog, Slow));
    }
    void cleanup()
    {
        delete m_dialog;
        delete m_main;
    }

    // Every control's class, name, caption, place, font, tool tip and first state, then the
    // frames each family shows, as tests/data/problem_dialog.txt holds them. The fixed-size
    // dialog offers minimize and close. "Quit", clicked or pressed with Enter, asks to end.
    void problemDialogMatchesTheGoldenDescription()
    {
        QString out;
        for (QWidget* widget : QList<QWidget*> { m_dialog } + m_dialog->findChildren<QWidget*>()) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            auto* frame = qobject_cast<QGroupBox*>(widget);
            if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_"))
                QDebug(&out) << widget->metaObject()->className() << widget->objectName()
                             << (button         ? button->text()
                                        : frame ? frame->title()
                                                : widget->windowTitle())
                             << (widget == m_dialog ? widget->rect() : widget->geometry())
                             << widget->font().family() << widget->font().pointSizeF()
                             << widget->toolTip() << widget->isHidden()
                             << (button && button->isChecked()) << "\n";
        }
        QDebug(&out) << m_dialog->windowFlags() << "\n";
        for (const QString family :
            { "optFractions", "optEquations", "optFB", "optMultBin", "optFactoring" }) {
            click(m_dialog, family);
            QDebug(&out) << family << "shows";
            for (auto* box : m_dialog->findChildren<QGroupBox*>())
                QDebug(&out) << (box->isVisible() ? box->objectName() : "");
            out += '\n';
        }
        QCOMPARE(out, golden("problem_dialog.txt", out));
        QTest::keyClick(m_dialog, Qt::Key_Escape); // the dialog stays open, nothing asked
        QVERIFY(m_dialog->isVisible());
        QSignalSpy quit(m_dialog, &ProblemDialog::quitRequested);
        QTest::keyClick(child(m_dialog, "Command1"), Qt::Key_Enter);
        click(m_dialog, "Command1");
        QCOMPARE(quit.count(), 2);
        // The program ends its event loop with status 0.
        ProgramWindows program;
        program.start();
        QTimer::singleShot(0, [&program] { click(program.dialog(), "Command1"); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    // A paste is done, or refused with one warning, within 2 s: an empty clipboard or selection
    // (Ctrl+V, a middle click) changes nothing; small rich text keeps its formats; rich text too
    // large or nested to lay out at once, or naming a picture in a file (a pipe here, which
    // would hang the window), comes as plain text in the worksheet's font (or is refused when
    // there is none); text beyond what a worksheet takes is refused.
    void pasteIsQuickAndKeepsTheFont_data()
    {
        QTest::addColumn<QByteArray>("html"); // null: no such format
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("warning");
        const QByteArray nested = QByteArray("<b>").repeated(200000) + "x"
            + QByteArray("</b>").repeated(200000); // 1.4 MB
        const QString refused = "Could not paste: the clipboard holds ";
        QTest::newRow("nothing") << QByteArray() << QString() << ""
                                 << "";
        QTest::newRow("small rich text") << QByteArray("<b>bold</b>") << "bold"
                                         << "bold"
                                         << "";
        QTest::newRow("nested rich text") << nested << "x"
                                          << "x"
                                          << "";
        QTest::newRow("nested rich text alone") << nested << QString() << ""
                                                << refused
                + "only formatted text, too large, too deeply nested or naming other files to lay "
                  "out at once.";
        QTest::newRow("10 MB of text")
            << QByteArray() << QString(10'000'000, 'a') << ""
            << refused + "10,000,000 characters, more than the 250,000 a worksheet takes at once.";
        QTest::newRow("picture from a pipe")
            << ("<i>a</i><img src=\"" + QFile::encodeName(path("picture")) + "\">") << "a"
            << "a"
            << "";
    }
    void pasteIsQuickAndKeepsTheFont()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, text);
        QFETCH(QString, pasted);
        QFETCH(QString, warning);
        mkfifo(QFile::encodeName(path("picture")), 0600);
        handOver(*m_main, "sheet");
        QTextEdit* box = m_main->activeDocument()->textBox();
        box->moveCursor(QTextCursor::End);
        auto* data = new QMimeData;
        if (!html.isNull())
            data->setHtml(QString::fromUtf8(html));
        if (!text.isNull())
            data->setText(text);
        QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
        QElapsedTimer took;
        took.start();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(box->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
        QVERIFY2(took.elapsed() < 2000, qPrintable(QString::number(took.elapsed())));
        box->grab(); // laid out and painted
        QCOMPARE(box->toPlainText(), "sheet" + pasted);
        QCOMPARE(m_dialogs->warnings, warning.isEmpty() ? QStringList() : QStringList(warning));
        const std::vector<TextRun> runs = textRuns(*box->document());
        QCOMPARE(runs.back().bold, html.startsWith("<b>bold"));
        QCOMPARE(runs.front().font_family, u"Courier New");
        QCOMPARE(runs.size(), std::size_t(html.startsWith("<b>bold") ? 2 : 1));
    }

    // Each picture button shows its equation, and its pressed look, as the golden pictures do.
    void pictureButtonsMatchTheGoldenPictures()
    {
        click(m_dialog, "optFB");
        for (const QString name : { "optFB1", "optFB2", "optFB3", "optFB4", "optFB5" }) {
            auto* button = child<QAbstractButton>(m_dialog, name);
            QCOMPARE(button->accessibleName(), button->toolTip());
            QVERIFY2(matchesGolden(button->grab().toImage(), name), qPrintable(name));
            click(m_dialog, name);
            QVERIFY2(matchesGolden(button->grab().toImage(), name + "-checked"), qPrintable(name));
        }
    }

    // The desktop finds the menu entry by the desktop file name (and Wayland's app id); every
    // window shows the program's icon, not the toolkit's.
    void desktopNameAndIcons()
    {
        describeApplication();
        QVERIFY(QFileInfo::exists(QUILLORA_DESKTOP_ENTRY));
        QCOMPARE(QGuiApplication::desktopFileName() + ".desktop",
            QFileInfo(QUILLORA_DESKTOP_ENTRY).fileName());
        handOver(*m_main, "sheet");
        const auto picture = [](const QIcon& icon) {
            return icon.pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
        };
        const QImage ours = picture(applicationIcon()),
                     logo
            = picture(QApplication::style()->standardIcon(QStyle::SP_TitleBarMenuButton));
        QVERIFY(!ours.isNull() && ours != logo);
        for (QWidget* window : QList<QWidget*> { m_dialog, m_main,
                 child<QMdiArea>(m_main, "mdiArea")->subWindowList().constLast() })
            QCOMPARE(picture(window->windowIcon()), ours);
    }

    void shellHasItsMenuAndStatusBar()
    {
        QStringList captions { m_main->windowTitle(),
            child<QLabel>(m_main, "sbStatusBarStatus")->text() };
        for (QAction* menu : m_main->menuBar()->actions())
            for (QAction* item : QList { menu } + menu->menu()->actions())
                captions << item->text();
        QCOMPARE(captions.join(' '), "Test Results Status &File &Save &Print... E&xit");
        for (const char* clock : { "sbStatusBarDate", "sbStatusBarTime" })
            QVERIFY(
                child<QLabel>(m_main, clock) && !child<QLabel>(m_main, clock)->text().isEmpty());
        // The built-in printer picture, where the desktop theme has none.
        const QIcon print = child<QAction>(m_main, "tbToolBarPrint")->icon();
        QVERIFY(QIcon::hasThemeIcon("document-print")
            || matchesGolden(print.pixmap(16, 16).toImage(), "print-icon"));
    }

    // A run restores a minimized main window. A worksheet that reaches a minimized main window
    // becomes the active window once it is restored, and only then: later moves and resizes
    // leave the user's choice alone. A run raises and activates a main window behind another
    // window and restores a worksheet window minimized inside it.
    void worksheetComesIntoView()
    {
        handOver(*m_main, "first");
        auto* area = child<QMdiArea>(m_main, "mdiArea");
        QMdiSubWindow* document1 = area->subWindowList().constFirst();
        QVERIFY(QTest::qWaitForWindowActive(m_main, Slow));
        area->setActiveSubWindow(document1);
        m_main->showMinimized(); // and wait until openbox has taken it down
        QTRY_VERIFY_WITH_TIMEOUT(!m_main->isActiveWindow(), Slow);
        handOver(*m_main, "second");
        QTRY_VERIFY_WITH_TIMEOUT(!m_main->isMinimized() && m_main->isActiveWindow(), Slow);
        area->setActiveSubWindow(document1);
        m_main->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(!m_main->isActiveWindow(), Slow);
        m_main->replaceWorksheetText("third"); // the main window stays minimized
        m_main->showNormal();
        QTRY_COMPARE(m_main->activeDocument(), m_main->worksheetWindow());
        area->setActiveSubWindow(document1);
        m_main->move(m_main->pos() + QPoint(30, 20));
        m_main->resize(m_main->size() + QSize(40, 30));
        QTest::qWait(100);
        QCOMPARE(m_main->activeDocument()->windowTitle(), "Document 1");

        QWidget* sheet = m_main->worksheetWindow()->parentWidget();
        sheet->showMinimized();
        QWidget other;
        other.setGeometry(m_main->frameGeometry());
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other, Slow));
        handOver(*m_main, "fourth");
        QTRY_VERIFY_WITH_TIMEOUT(m_main->isActiveWindow(), Slow);
        QTRY_COMPARE(area->activeSubWindow(), sheet);
        QVERIFY(!sheet->isMinimized());
    }

    // Under a window manager: a fresh window takes the stored outer bounds; a moved and resized
    // window stores its bounds, a minimized one nothing, a maximized one the whole screen, which
    // comes back as a normal window's bounds in the same run and is stored again unchanged.
    void storedGeometryUnderAWindowManager()
    {
        const auto outer = [this] { return m_main->windowHandle()->frameGeometry(); };
        const auto show = [this] {
            m_main->showMainWindow();
            QVERIFY(QTest::qWaitForWindowExposed(m_main, Slow));
        };
        GeometrySettings::save(QRect(1500, 1200, 9000, 6750));
        show();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), QRect(100, 80, 600, 450), Slow);
        m_main->move(200, 150);
        m_main->resize(500, 400);
        QTRY_COMPARE_WITH_TIMEOUT(outer().topLeft(), QPoint(200, 150), Slow);
        const QRect moved = outer();
        m_main->close();
        QCOMPARE(stored(), moved);
        show();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), moved, Slow);
        m_main->showMinimized();
        QTRY_VERIFY(m_main->isMinimized());
        m_main->close();
        QCOMPARE(stored(), moved);
        show();
        m_main->showMaximized();
        const QRect screen = m_main->screen()->geometry();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), screen, Slow);
        for (int run = 0; run < 2; ++run) {
            m_main->close();
            QCOMPARE(stored(), screen);
            show();
            QVERIFY(!m_main->isMaximized());
            QTRY_COMPARE_WITH_TIMEOUT(outer(), screen, Slow);
            QTest::qWait(200);
            QCOMPARE(outer(), screen);
        }
    }

    // A run drops what the user pasted: the worksheet is in the box's face at the family's size.
    // The box keeps its border as the window is resized, minimized and restored; a window moved
    // past the area's edge can be scrolled to.
    void worksheetWindowLayout()
    {
        handOver(*m_main, "first");
        DocumentWindow* sheet = m_main->worksheetWindow();
        QTextCharFormat pasted;
        pasted.setFont(QFont("Liberation Sans", 18));
        sheet->textBox()->textCursor().insertText("pasted", pasted);
        handOver(*m_main, "second\nsheet");
        const std::vector<TextRun> runs = textRuns(*sheet->textBox()->document());
        QVERIFY(
            runs.size() == 1 && runs[0].font_family == u"Courier New" && runs[0].point_size == 12);

        auto* sub = qobject_cast<QMdiSubWindow*>(sheet->parentWidget());
        sub->resize(420, 300);
        const QRect laidOut(7, 7, sheet->width() - 13, sheet->height() - 13);
        QTRY_COMPARE(sheet->textBox()->geometry(), laidOut);
        QCOMPARE(sheet->textBox()->lineWrapColumnOrWidth(), laidOut.width() - 27);
        sub->showMinimized();
        QTRY_VERIFY(sub->isMinimized());
        sub->showNormal();
        QTRY_COMPARE(sheet->textBox()->geometry(), laidOut);
        auto* area = child<QMdiArea>(m_main, "mdiArea");
        sub->move(area->viewport()->width() - 50, area->viewport()->height() - 50);
        QTRY_VERIFY(
            area->horizontalScrollBar()->isVisible() && area->verticalScrollBar()->isVisible());
    }

    // The real save dialog: Cancel writes nothing; Save writes the typed name (one name, quotes
    // and all, never a file the dialog lists); the next Save offers that name and replaces the
    // file without asking. The file holds the document's text and formats as LibreOffice reads
    // them.
    void realSaveDialog()
    {
        handOver(*m_main, engineSheet("binomials", "Bin3", 8), 10);
        m_main->setModalDialogs(new QtModalDialogs);
        const QString name = path("real.rtf");
        QStringList offered;
        const auto save = [&](bool accept, const QString& typed = {}) {
            whenModal<QFileDialog>([&offered, accept, typed](QFileDialog* dialog) {
                auto* box = child<QLineEdit>(dialog, "fileNameEdit");
                offered << dialog->windowTitle() + dialog->nameFilters().join('|') + box->text();
                // A name typed as a user does, into the focused box: the file list's selection
                // (the offered name, once the list has loaded) gives way to it.
                if (!typed.isEmpty()) {
                    for (auto* view : dialog->findChildren<QAbstractItemView*>())
                        view->clearSelection();
                    QApplication::setActiveWindow(dialog);
                    box->setFocus();
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
        QString warning; // the real warning box
        whenModal<QMessageBox>([&warning](QMessageBox* box) {
            warning = box->windowTitle() + ": " + box->text();
            box->accept();
        });
        // A name with quotes is one name, as typed: the file "victim" the dialog lists stays.
        write(path("victim"), "victim");
        QDir().mkpath(path("sheets"));
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        save(true, "~/sheets/week 3 \"victim\" quiz.rtf");
        qputenv("HOME", home);
        QCOMPARE(readAll(path("victim")), "victim");
        QCOMPARE(readAll(path("sheets/week 3 \"victim\" quiz.rtf")), rtf);
        save(true, path("none/a.rtf"));
        QCOMPARE(warning,
            "Save: Could not save \"" + path("none/a.rtf") + "\": No such file or directory");
        QCOMPARE(offered.join(' '),
            "SaveAll Files (*.*) SaveAll Files (*.*) SaveAll Files (*.*)real.rtf SaveAll Files "
            "(*.*)real.rtf SaveAll Files (*.*)real.rtf SaveAll Files (*.*)week 3 \"victim\" "
            "quiz.rtf");

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
            QVERIFY(!QtModalDialogs().choosePrinter(m_main, printer, selection));
            QCOMPARE(shown, selection ? "printSelection chosen" : "");
        }
    }

    // Save refuses a target that is not a regular file: one warning with the name and the reason,
    // the device or pipe left as it was, nothing opened or left behind. (The other failures are
    // the one writer's, in the tool's failure table.)
    void failedSaveWarnsOnceAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("full") << "It is a device, not a regular file"; // made here, c 1 7
        QTest::newRow("pipe") << "It is a named pipe, not a regular file";
    }
    void failedSaveWarnsOnceAndKeepsTheFile()
    {
        const QString target = path(QTest::currentDataTag());
        QFETCH(QString, reason);
        if (reason.contains("pipe"))
            QVERIFY(mkfifo(QFile::encodeName(target), 0600) == 0);
        else if (mknod(QFile::encodeName(target), S_IFCHR | 0600, makedev(1, 7)))
            QSKIP("cannot make a device node here (not root?)");
        handOver(*m_main, engineSheet("binomials", "mixed", 3));
        const QStringList entries = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
        m_dialogs->saveAnswers << target;
        m_main->save();
        QCOMPARE(m_dialogs->warnings, QStringList("Could not save \"" + target + "\": " + reason));
        QVERIFY(!QFileInfo(target).isFile());
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entries);
    }

    // Each page as tests/data/print-TAG.txt holds it: its share of the lines, ending where a
    // block of non-blank lines ends (a stacked fraction, a row of the grid), all of it at least
    // half an inch inside the system's paper. The whole document or only the selection; a line
    // wider than the page is scaled down, never wrapped. A cancelled print prints nothing.
    void printoutPageByPage_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("paper");
        const auto row = [](const char* tag, const QString& sheet, double size, const char* paper) {
            QTest::newRow(tag) << sheet << size << paper;
        };
        const QString fb = engineSheet("fraction-equations", "mixed", 5) + '\n'
            + engineSheet("fraction-equations", "mixed", 6);
        row("all", engineSheet("binomials", "mixed", 21), 12, "a4");
        row("selection", engineSheet("binomials", "Bin4", 22), 12, "a4");
        row("cancelled", "sheet", 12, "a4");
        row("no-wrap", "Title\n\n" + QString("(5x - 12)(11x + 7)    ").repeated(14) + "\nshort\n",
            12, "a4");
        row("block-to-next-page",
            QString("line\n").repeated(30) + "\n" + QString("block\n").repeated(40), 12, "a4");
        row("fractions-grid", engineSheet("fractions", "mixed", 5), 9.75, "a4");
        row("two-sheets-letter", fb, 10, "letter");
        row("three-sheets-a4", fb + '\n' + engineSheet("fraction-equations", "FB5", 7), 12, "a4");
    }
    void printoutPageByPage()
    {
        QFETCH(QString, sheet);
        QFETCH(double, size);
        QFETCH(QString, paper);
        const QString tag = QTest::currentDataTag(), pdf = path(tag + ".pdf");
        const bool selection = tag == "selection";
        qputenv("PAPERSIZE", paper.toLatin1());
        handOver(*m_main, sheet, size);
        QTextCursor cursor(m_main->worksheetWindow()->textBox()->document());
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 4);
        cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, selection ? 4 : 0);
        m_main->worksheetWindow()->textBox()->setTextCursor(cursor);
        m_dialogs->pdf = tag == "cancelled" ? std::nullopt : std::optional(pdf);
        m_dialogs->printSelection = selection;
        child<QAction>(m_main, selection ? "mnuFilePrint" : "tbToolBarPrint")->trigger();
        qunsetenv("PAPERSIZE");
        QCOMPARE(m_dialogs->selectionOffers, QList<bool> { selection });
        // The text inside the margins, blanks aside, pages ended by a line "----".
        const QSize inside = paper == "a4" ? QSize(595 - 72, 842 - 72) : QSize(612 - 72, 792 - 72);
        const QByteArray text = runTool("pdftotext",
            { "-layout", "-x", "36", "-y", "36", "-W", QString::number(inside.width()), "-H",
                QString::number(inside.height()), pdf, "-" });
        QString pages;
        for (const QString& line : QString::fromUtf8(text).replace('\f', "\n----\n").split('\n'))
            pages += line.simplified().isEmpty() ? QString() : line.simplified() + '\n';
        QCOMPARE(pages, golden("print-" + tag + ".txt", pages));
    }

    // The settings store's tests come last: they move the store elsewhere.

    // Stored values are judged one by one: a number of twips whose pixels lie within the window
    // system's limits (a size at least one pixel), or the default; the keys count only in their
    // group, whatever junk is around them. A row: the file, then the left and width loaded.
    void storedValues_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QRect>("loaded");
        const auto row = [](const QByteArray& values, int left, int width) {
            QTest::newRow(QByteArray(values).replace('\n', '|').left(60))
                << (values.contains('[') ? values : QByteArray("[Settings]\n").append(values))
                << QRect(left, 1000, width, 6500);
        };
        row("MainLeft=491505\nMainWidth=491505", 491505, 491505);
        row("MainLeft=491513\nMainWidth=491513", 1000, 6500);
        row("MainLeft=-491505\nMainWidth=8", -491505, 8);
        row("MainLeft=-491513\nMainWidth=7", 1000, 6500);
        row("MainLeft=-0\nMainWidth=-15", 0, 6500);
        row("MainLeft=1500.4\nMainWidth=1500.6", 1500, 1501);
        row("MainLeft=\" 1.5e3 \"\nMainWidth=2e4", 1500, 20000);
        row("MainLeft=1200px\nMainWidth=-1e39", 1000, 6500);
        row("MainLeft=@ByteArray(\\xff)\nMainWidth=@Variant(\\0)", 1000, 6500);
        row("[settings]\nMainLeft=1500\nMainWidth=3000", 1000, 6500);
        row(QByteArray(100000, 'x') + "\xe9\xff\n[Settings]\nMainLeft=1500\nMainWidth=3000\n", 1500,
            3000);
    }
    void storedValues()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QRect, loaded);
        const QString home = m_dir.filePath(QString("values/%1").arg(qHash(ini)));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
        write(home + "/Quillora/Quillora.ini", ini);
        QCOMPARE(GeometrySettings::load(), loaded);
    }

    // A store that cannot be read or written: the defaults, no hang, and what is there stays.
    // A missing folder is made; with no XDG_CONFIG_HOME the store is in ~/.config.
    void unreachableStore_data()
    {
        QTest::addColumn<QString>("home"); // XDG_CONFIG_HOME in the case's folder; "": none
        QTest::addColumn<int>("left"); // loaded after a save of 1500 twips
        QTest::newRow("config home missing") << "no/such" << 1500;
        QTest::newRow("no config home") << "" << 1500;
        QTest::newRow("settings file is a pipe") << "." << 1000;
        QTest::newRow("lock held by another instance") << "." << 3000;
        QTest::newRow("settings file too large") << "." << 1000;
    }
    void unreachableStore()
    {
        const QString tag = QTest::currentDataTag(), base = m_dir.filePath(tag) + "/";
        const QString ini = base + "Quillora/Quillora.ini";
        QFETCH(QString, home);
        QFETCH(int, left);
        QDir().mkpath(base + "Quillora");
        if (left == 3000 || tag.endsWith("large"))
            write(
                ini, "[Settings]\nMainLeft=3000\n" + QByteArray(tag.endsWith("large") << 21, ';'));
        QVERIFY(!tag.endsWith("pipe") || mkfifo(QFile::encodeName(ini), 0600) == 0);
        QLockFile otherInstance(ini + ".lock");
        QVERIFY(left != 3000 || otherInstance.tryLock(0));
        qputenv("HOME", QFile::encodeName(base + "home"));
        qputenv("XDG_CONFIG_HOME", home.isEmpty() ? "" : QFile::encodeName(base + home));
        const QStringList before = QDir(base).entryList(QDir::AllEntries | QDir::Hidden);
        GeometrySettings::save(QRect(1500, 1500, 4500, 4500));
        QCOMPARE(GeometrySettings::load().left(), left);
        QVERIFY(!home.isEmpty() || QFileInfo(base + "home/.config/Quillora/Quillora.ini").isFile());
        if (left != 1500)
            QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QProcess m_manager;
    QTemporaryDir m_dir;
    MainWindow* m_main = nullptr;
    ProblemDialog* m_dialog = nullptr;
    ScriptedModalDialogs* m_dialogs = nullptr;
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
