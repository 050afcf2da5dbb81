// The main window: its shell, its stored geometry under a window manager, its numbered windows
// and the worksheet window, and the document window's layout.

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
#include <QTimer>
#include <QWindow>

#include <memory>

using namespace quillora;
using namespace quillora::test;

namespace {

// A window manager starting on a busy machine may take seconds before it frames a window.
constexpr int Slow = 20000;

const QStringList Keys { "MainLeft", "MainTop", "MainWidth", "MainHeight" };

void storeGeometry(const QRect& twips)
{
    const int values[] { twips.x(), twips.y(), twips.width(), twips.height() };
    for (int i = 0; i < 4; ++i)
        store().setValue("Settings/" + Keys[i], QString::number(values[i]));
}

QRect storedGeometry()
{
    int values[4] {};
    for (int i = 0; i < 4; ++i)
        values[i] = store().value("Settings/" + Keys[i], -1).toInt();
    return QRect(values[0], values[1], values[2], values[3]);
}

QRect twips(const QRect& pixels)
{
    return QRect(pixels.topLeft() * 15, pixels.size() * 15);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        store().clear();
        store().sync();
        m_main = std::make_unique<MainWindow>();
    }
    void cleanup() { m_main.reset(); }

    void shellHasItsMenuToolbarAndStatusBar()
    {
        QCOMPARE(m_main->windowTitle(), "Test Results");
        QStringList captions;
        for (QAction* menu : m_main->menuBar()->actions()) {
            captions << menu->text();
            for (QAction* item : menu->menu()->actions())
                captions << item->text();
        }
        captions << child<QLabel>(m_main.get(), "sbStatusBarStatus")->text();
        QCOMPARE(captions, (QStringList { "&File", "&Save", "&Print...", "E&xit", "Status" }));
        QVERIFY(!child<QLabel>(m_main.get(), "sbStatusBarTime")->text().isEmpty());
        // The built-in printer picture, where the desktop theme has none.
        const QIcon print = child<QAction>(m_main.get(), "tbToolBarPrint")->icon();
        QVERIFY(QIcon::hasThemeIcon("document-print")
            || matchesGolden(print.pixmap(16, 16).toImage(), "print-icon"));
    }

    // Under a window manager: a fresh window takes the stored outer bounds; a moved and resized
    // window stores its bounds, a minimized one nothing, a maximized one the whole screen, which
    // comes back as a normal window's bounds in the same run and is stored again unchanged.
    void storedGeometryUnderAWindowManager()
    {
        WindowManager manager;
        if (!manager.running())
            QSKIP("openbox could not be started");
        const auto outer = [this] { return m_main->windowHandle()->frameGeometry(); };
        const auto show = [this] {
            m_main->showMainWindow();
            QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), Slow));
        };
        storeGeometry(QRect(1500, 1200, 9000, 6750));
        show();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), QRect(100, 80, 600, 450), Slow);
        m_main->move(200, 150);
        m_main->resize(500, 400);
        QTRY_COMPARE_WITH_TIMEOUT(outer().topLeft(), QPoint(200, 150), Slow);
        const QRect moved = outer();
        m_main->close();
        QCOMPARE(storedGeometry(), twips(moved));
        show();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), moved, Slow);
        m_main->showMinimized();
        QTRY_VERIFY(m_main->isMinimized());
        m_main->close();
        QCOMPARE(storedGeometry(), twips(moved));

        show();
        m_main->showMaximized();
        const QRect screen = m_main->screen()->geometry();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), screen, Slow);
        m_main->close();
        QCOMPARE(storedGeometry(), twips(screen));
        show();
        QVERIFY(!m_main->isMaximized());
        QTRY_COMPARE_WITH_TIMEOUT(outer(), screen, Slow);
        QTest::qWait(200);
        QCOMPARE(outer(), screen);
        m_main->close();
        QCOMPARE(storedGeometry(), twips(screen));
    }

    // "Make It!" brings the worksheet into view under a window manager: a minimized main window
    // is restored, one behind another window raised and activated, the worksheet window restored
    // and active.
    void makeItBringsTheWorksheetIntoView_data()
    {
        QTest::addColumn<bool>("minimized");
        QTest::newRow("minimized") << true;
        QTest::newRow("behind another window") << false;
    }
    void makeItBringsTheWorksheetIntoView()
    {
        QFETCH(bool, minimized);
        WindowManager manager;
        if (!manager.running())
            QSKIP("openbox could not be started");
        Module1 module;
        module.start();
        ProblemDialog* dialog = module.dialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog, Slow));
        click(dialog, "optMultBin");
        click(dialog, "cmdMake");
        MainWindow* main = module.mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(main, Slow));
        QWidget* sub = main->worksheetWindow()->parentWidget();
        sub->showMinimized();
        QWidget other;
        if (minimized) {
            main->showMinimized();
            QTRY_VERIFY_WITH_TIMEOUT(!main->isActiveWindow(), Slow);
        } else {
            other.setGeometry(main->frameGeometry());
            other.show();
            QVERIFY(QTest::qWaitForWindowActive(&other, Slow));
        }
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, Slow));
        click(dialog, "cmdMake");
        QTRY_VERIFY_WITH_TIMEOUT(main->isActiveWindow(), Slow);
        QVERIFY(!main->isMinimized());
        QTRY_COMPARE_WITH_TIMEOUT(child<QMdiArea>(main, "mdiArea")->activeSubWindow(), sub, Slow);
        QVERIFY(!sub->isMinimized());
    }

    // A worksheet made while the main window is minimized becomes the active document when it
    // is restored, and only then: later moves and resizes leave the user's choice alone.
    void worksheetMadeWhileMinimizedBecomesActiveOnce()
    {
        handOver(*m_main, "first");
        auto* area = child<QMdiArea>(m_main.get(), "mdiArea");
        QMdiSubWindow* document1 = area->subWindowList().constFirst();
        area->setActiveSubWindow(document1);
        m_main->showMinimized();
        QTRY_VERIFY(m_main->isMinimized());
        handOver(*m_main, "second");
        QCOMPARE(m_main->activeDocument(), m_main->worksheetWindow());
        m_main->showNormal();
        QTRY_COMPARE(area->currentSubWindow(), m_main->worksheetWindow()->parentWidget());
        area->setActiveSubWindow(document1);
        m_main->move(m_main->pos() + QPoint(30, 20));
        m_main->resize(m_main->size() + QSize(40, 30));
        QTest::qWait(100);
        QCOMPARE(m_main->activeDocument()->windowTitle(), "Document 1");
    }

    // One worksheet window across runs, at the family's size; the numbered windows keep 9.75
    // points and grow their number at each reload; a closed worksheet window comes back fresh.
    void numberedWindowsAndTheWorksheetWindow()
    {
        auto* area = child<QMdiArea>(m_main.get(), "mdiArea");
        const auto captions = [area] {
            QStringList out;
            for (auto* sub : area->subWindowList())
                out << sub->widget()->windowTitle();
            return out;
        };
        const auto box = [this] { return m_main->worksheetWindow()->textBox(); };
        handOver(*m_main, "first");
        QPointer<DocumentWindow> worksheet = m_main->worksheetWindow();
        QCOMPARE(captions(), (QStringList { "Document 1", "Document" }));
        auto* document1 = qobject_cast<DocumentWindow*>(area->subWindowList()[0]->widget());
        QVERIFY(document1->textBox()->toPlainText().isEmpty());
        QCOMPARE(document1->textBox()->font().pointSizeF(), 9.75);
        document1->parentWidget()->close();
        QFont small = box()->font();
        small.setPointSizeF(8);
        box()->setFont(small);
        handOver(*m_main, "second");
        QCOMPARE(m_main->worksheetWindow(), worksheet.data());
        QCOMPARE(captions(), QStringList { "Document" });
        QCOMPARE(box()->toPlainText(), "second");
        QCOMPARE(box()->font().pointSizeF(), 12.0);

        worksheet->parentWidget()->close();
        QTRY_VERIFY(worksheet.isNull());
        m_main->showMainWindow(); // a family without a size step
        m_main->replaceWorksheetText("third");
        QCOMPARE(box()->font().pointSizeF(), 9.75);

        child<QAction>(m_main.get(), "mnuFileExit")->trigger();
        QVERIFY(!m_main->isVisible());
        QTRY_VERIFY(captions().isEmpty());
        handOver(*m_main, "fourth");
        QCOMPARE(captions(), (QStringList { "Document 2", "Document" }));
        QCOMPARE(box()->toPlainText(), "fourth");
    }

    // "Quit" ends the event loop without closing any window, so a moved main window is not saved.
    void quitSavesNothing()
    {
        storeGeometry(QRect(1500, 1500, 9000, 6000));
        Module1 module;
        module.start();
        ProblemDialog* dialog = module.dialog();
        click(dialog, "optMultBin");
        click(dialog, "cmdMake");
        module.mainWindow()->move(400, 400);
        QTimer::singleShot(0, dialog, [dialog] { click(dialog, "Command1"); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // "Quit" did not end it
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(storedGeometry(), QRect(1500, 1500, 9000, 6000));
        QVERIFY(module.mainWindow()->isVisible());
    }

    // A run drops what the user pasted: the worksheet is in the box's face at the family's size.
    void runDropsPastedFormats()
    {
        handOver(*m_main, "first");
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QTextCharFormat pasted;
        pasted.setFontFamilies({ "Liberation Sans" });
        pasted.setFontPointSize(18);
        box->textCursor().insertText("pasted", pasted);
        handOver(*m_main, "second\nsheet");
        const std::vector<TextRun> runs = textRuns(*box->document());
        QCOMPARE(runs.size(), std::size_t(1));
        QCOMPARE(QString::fromStdU16String(runs.front().font_family), "Courier New");
        QCOMPARE(runs.front().point_size, 12.0);
    }

    void boxKeepsItsBorder_data()
    {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<int>("margin");
        const QRect old(100, 100, 900, 600);
        QTest::newRow("5000x3000")
            << QSize(5000, 3000) << true << QRect(100, 100, 4800, 2800) << 4400;
        QTest::newRow("just fits") << QSize(200, 200) << true << QRect(100, 100, 0, 0) << -400;
        QTest::newRow("too narrow") << QSize(199, 3000) << false << old << 500;
        QTest::newRow("minimized") << QSize(0, 0) << false << old << 500;
    }
    void boxKeepsItsBorder()
    {
        QFETCH(QSize, inner);
        const auto layout = DocumentWindow::layoutFor(inner, QRect(100, 100, 900, 600));
        QTEST(layout.moved, "moved");
        QTEST(layout.box, "box");
        QTEST(layout.rightMargin, "margin");
    }

    // A resized, minimized and restored worksheet window keeps its laid-out box; a window moved
    // past the area's edge can be scrolled to.
    void documentWindowLayoutAndScrolling()
    {
        handOver(*m_main, "text");
        DocumentWindow* worksheet = m_main->worksheetWindow();
        auto* sub = qobject_cast<QMdiSubWindow*>(worksheet->parentWidget());
        sub->resize(420, 300);
        QTRY_COMPARE(worksheet->textBox()->geometry(),
            QRect(7, 7, worksheet->width() - 13, worksheet->height() - 13));
        const QRect laidOut = worksheet->textBox()->geometry();
        QCOMPARE(worksheet->textBox()->lineWrapColumnOrWidth(), laidOut.width() - 27);
        sub->showMinimized();
        QTRY_VERIFY(sub->isMinimized());
        sub->showNormal();
        QTRY_COMPARE(worksheet->textBox()->geometry(), laidOut);
        auto* area = child<QMdiArea>(m_main.get(), "mdiArea");
        sub->move(area->viewport()->width() - 50, area->viewport()->height() - 50);
        QTRY_VERIFY(area->horizontalScrollBar()->isVisible());
        QVERIFY(area->verticalScrollBar()->isVisible());
    }

private:
    std::unique_ptr<MainWindow> m_main;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
