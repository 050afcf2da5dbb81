// The main window: its shell, its stored geometry and its worksheet window under a window
// manager, and the worksheet window's place among the numbered windows.

#include "app/DocumentExport.h"
#include "app/DocumentWindow.h"
#include "app/Module1.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QWindow>

using namespace quillora;
using namespace quillora::test;

namespace {

constexpr int Slow = 20000; // openbox on a busy machine may take seconds to frame a window
const char* const Keys[] { "Settings/MainLeft", "Settings/MainTop", "Settings/MainWidth",
    "Settings/MainHeight" };

// The stored bounds, in pixels.
QRect stored()
{
    const auto at = [](int i) { return store().value(Keys[i]).toInt() / 15; };
    return QRect(at(0), at(1), at(2), at(3));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // openbox frames the windows of every test, so that minimize and maximize really happen.
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
    }
    void cleanup() { delete m_main; }

    void shellHasItsMenuAndStatusBar()
    {
        QStringList captions { m_main->windowTitle(),
            child<QLabel>(m_main, "sbStatusBarStatus")->text() };
        for (QAction* menu : m_main->menuBar()->actions())
            for (QAction* item : QList { menu } + menu->menu()->actions())
                captions << item->text();
        QCOMPARE(captions.join(' '), "Test Results Status &File &Save &Print... E&xit");
        QVERIFY(!child<QLabel>(m_main, "sbStatusBarTime")->text().isEmpty());
        // The built-in printer picture, where the desktop theme has none.
        const QIcon print = child<QAction>(m_main, "tbToolBarPrint")->icon();
        QVERIFY(QIcon::hasThemeIcon("document-print")
            || matchesGolden(print.pixmap(16, 16).toImage(), "print-icon"));
    }

    // The first worksheet window comes after an empty "Document 1" at 9.75 points. A run
    // restores a minimized main window. A worksheet that reaches a minimized main window
    // becomes the active window once it is restored, and only then: later moves and resizes
    // leave the user's choice alone.
    void worksheetWindowAmongTheNumberedOnes()
    {
        handOver(*m_main, "first");
        auto* area = child<QMdiArea>(m_main, "mdiArea");
        QMdiSubWindow* document1 = area->subWindowList().constFirst();
        QCOMPARE(document1->widget()->windowTitle(), "Document 1");
        QTextEdit* box = qobject_cast<DocumentWindow*>(document1->widget())->textBox();
        QVERIFY(box->toPlainText().isEmpty());
        QCOMPARE(box->font().pointSizeF(), 9.75);
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
        for (int i = 0; const int twips : { 1500, 1200, 9000, 6750 })
            store().setValue(Keys[i++], twips);
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

    // "Make It!" brings the worksheet into view: a main window behind another window is raised
    // and activated, a worksheet window minimized inside it restored and made active.
    void makeItBringsTheWorksheetIntoView()
    {
        Module1 module;
        module.start();
        ProblemDialog* dialog = module.dialog();
        click(dialog, "optMultBin");
        click(dialog, "cmdMake");
        MainWindow* main = module.mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(main, Slow));
        QWidget* sheet = main->worksheetWindow()->parentWidget();
        sheet->showMinimized();
        QWidget other;
        other.setGeometry(main->frameGeometry());
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other, Slow));
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, Slow));
        click(dialog, "cmdMake");
        QTRY_VERIFY_WITH_TIMEOUT(main->isActiveWindow(), Slow);
        QTRY_COMPARE(child<QMdiArea>(main, "mdiArea")->activeSubWindow(), sheet);
        QVERIFY(!sheet->isMinimized());
    }

    // A run drops what the user pasted: the worksheet is in the box's face at the family's size.
    // The box keeps its border as the window is resized, minimized and restored; a window moved
    // past the area's edge can be scrolled to.
    void worksheetWindowLayout()
    {
        handOver(*m_main, "first");
        DocumentWindow* sheet = m_main->worksheetWindow();
        QTextCharFormat pasted;
        pasted.setFontFamilies({ "Liberation Sans" });
        pasted.setFontPointSize(18);
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

private:
    QProcess m_manager;
    MainWindow* m_main = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
