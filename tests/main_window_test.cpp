// The main window: its stored geometry, its numbered windows and the worksheet window, and the
// document window's layout.

#include "app/DocumentExport.h"
#include "app/DocumentWindow.h"
#include "app/Module1.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <memory>

using namespace quillora;
using namespace quillora::test;

namespace {

QStringList captions(MainWindow& main)
{
    QStringList out;
    for (auto* sub : child<QMdiArea>(&main, "mdiArea")->subWindowList())
        out << sub->widget()->windowTitle();
    return out;
}

// A window manager starting on a busy machine may take seconds before it frames a window.
constexpr int WindowManagerTimeout = 20000;

const QStringList Keys { "MainLeft", "MainTop", "MainWidth", "MainHeight" };

void storeGeometry(const QStringList& values)
{
    QSettings settings = store();
    for (int i = 0; i < 4; ++i)
        settings.setValue("Settings/" + Keys[i], values[i]);
}

QStringList storedGeometry()
{
    QStringList out;
    for (const QString& key : Keys)
        out << store().value("Settings/" + key, "absent").toString();
    return out;
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
        QStringList menu;
        for (const char* name : { "mnuFileSave", "mnuFilePrint", "mnuFileExit" })
            menu << child<QAction>(m_main.get(), name)->text();
        QCOMPARE(menu, (QStringList { "&Save", "&Print...", "E&xit" }));
        QStringList keys;
        for (QAction* button : child<QToolBar>(m_main.get(), "tbToolBar")->actions()) {
            keys << button->data().toString();
            QVERIFY(!button->icon().isNull());
        }
        QCOMPARE(keys, (QStringList { "Save", "Print" }));
        QCOMPARE(child<QLabel>(m_main.get(), "sbStatusBarStatus")->text(), "Status");
        QVERIFY(!child<QLabel>(m_main.get(), "sbStatusBarDate")->text().isEmpty());
        QVERIFY(!child<QLabel>(m_main.get(), "sbStatusBarTime")->text().isEmpty());
    }

    void geometryRoundTrips()
    {
        m_main->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        m_main->move(200, 150);
        m_main->resize(500, 400);
        QTRY_COMPARE(m_main->frameGeometry(), QRect(200, 150, 500, 400));
        m_main->close();
        QCOMPARE(storedGeometry(), (QStringList { "3000", "2250", "7500", "6000" }));
        m_main->showMainWindow();
        QTRY_COMPARE(m_main->frameGeometry(), QRect(200, 150, 500, 400));
    }

    void minimizedWindowSavesNothing()
    {
        storeGeometry({ "1500", "1500", "9000", "6000" });
        m_main->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        m_main->move(300, 300);
        m_main->showMinimized();
        QTRY_VERIFY(m_main->isMinimized());
        m_main->close();
        QCOMPARE(storedGeometry(), (QStringList { "1500", "1500", "9000", "6000" }));
    }

    void maximizedWindowComesBackNormal()
    {
        m_main->showMainWindow();
        m_main->showMaximized();
        QTRY_VERIFY(m_main->isMaximized());
        const QRect bounds = m_main->frameGeometry();
        m_main->close();
        QCOMPARE(storedGeometry().at(2).toInt(), bounds.width() * 15);
        m_main->showMainWindow();
        QVERIFY(!m_main->isMaximized());
        QCOMPARE(m_main->frameGeometry().size(), bounds.size());
    }

    // With a window manager framing the window: the maximized bounds (the whole screen) are
    // stored, come back as a normal window's bounds in the same run, and are stored again
    // unchanged. The frame is read from the window system, as the program reads it.
    void maximizedBoundsRoundTripWithinOneRun()
    {
        WindowManager manager;
        if (!manager.running())
            QSKIP("openbox could not be started");
        const auto outer = [this] { return m_main->windowHandle()->frameGeometry(); };
        m_main->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), WindowManagerTimeout));
        m_main->showMaximized();
        const QRect screen = m_main->screen()->geometry();
        QTRY_COMPARE_WITH_TIMEOUT(outer(), screen, WindowManagerTimeout);
        m_main->close();
        const QStringList whole { QString::number(screen.x() * 15),
            QString::number(screen.y() * 15), QString::number(screen.width() * 15),
            QString::number(screen.height() * 15) };
        QCOMPARE(storedGeometry(), whole);
        m_main->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), WindowManagerTimeout));
        QVERIFY(!m_main->isMaximized());
        QTRY_COMPARE_WITH_TIMEOUT(outer(), screen, WindowManagerTimeout);
        QTest::qWait(200);
        QCOMPARE(outer(), screen);
        m_main->close();
        QCOMPARE(storedGeometry(), whole);
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
        QVERIFY(QTest::qWaitForWindowExposed(dialog, WindowManagerTimeout));
        click(dialog, "optMultBin");
        click(dialog, "cmdMake");
        MainWindow* main = module.mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(main, WindowManagerTimeout));
        // The worksheet window minimized inside the main window, so that another one is active.
        QWidget* sub = main->worksheetWindow()->parentWidget();
        sub->showMinimized();
        QWidget other;
        if (minimized) {
            main->showMinimized();
            QTRY_VERIFY_WITH_TIMEOUT(!main->isActiveWindow(), WindowManagerTimeout);
        } else {
            other.setGeometry(main->frameGeometry());
            other.show();
            QVERIFY(QTest::qWaitForWindowActive(&other, WindowManagerTimeout));
        }
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog, WindowManagerTimeout));
        click(dialog, "cmdMake");
        QTRY_VERIFY_WITH_TIMEOUT(main->isActiveWindow(), WindowManagerTimeout);
        QVERIFY(!main->isMinimized());
        QCOMPARE(main->activeDocument(), main->worksheetWindow());
        auto* area = child<QMdiArea>(main, "mdiArea");
        QTRY_COMPARE_WITH_TIMEOUT(area->activeSubWindow(), sub, WindowManagerTimeout);
        QVERIFY(!sub->isMinimized());
    }

    // A document window that extends past the area can be scrolled to.
    void areaScrollsToADocumentWindow()
    {
        handOver(*m_main, "sheet");
        auto* area = child<QMdiArea>(m_main.get(), "mdiArea");
        QWidget* sub = m_main->worksheetWindow()->parentWidget();
        sub->move(area->viewport()->width() - 50, area->viewport()->height() - 50);
        QTRY_VERIFY(area->horizontalScrollBar()->isVisible());
        QVERIFY(area->verticalScrollBar()->isVisible());
    }

    void oneWorksheetWindowAcrossRuns()
    {
        handOver(*m_main, "first");
        DocumentWindow* worksheet = m_main->worksheetWindow();
        QFont small = worksheet->textBox()->font();
        small.setPointSizeF(8);
        worksheet->textBox()->setFont(small);
        handOver(*m_main, "second");
        QCOMPARE(m_main->worksheetWindow(), worksheet);
        QCOMPARE(captions(*m_main), (QStringList { "Document 1", "Document" }));
        QCOMPARE(worksheet->textBox()->toPlainText(), "second");
        QCOMPARE(worksheet->textBox()->font().pointSizeF(), 12.0);
        QCOMPARE(m_main->activeDocument(), worksheet);
        auto* document1 = qobject_cast<DocumentWindow*>(
            child<QMdiArea>(m_main.get(), "mdiArea")->subWindowList().first()->widget());
        QCOMPARE(document1->textBox()->toPlainText(), QString());
        QCOMPARE(document1->textBox()->font().pointSizeF(), 9.75);
    }

    void closedWorksheetWindowComesBackEmpty()
    {
        handOver(*m_main, "first");
        QPointer<DocumentWindow> old = m_main->worksheetWindow();
        old->parentWidget()->close();
        QTRY_VERIFY(old.isNull());
        // A family without a size step finds the fresh window at 9.75 points.
        m_main->showMainWindow();
        m_main->replaceWorksheetText("again");
        QCOMPARE(captions(*m_main), (QStringList { "Document 1", "Document" }));
        QCOMPARE(m_main->worksheetWindow()->textBox()->font().pointSizeF(), 9.75);
    }

    void reloadOpensTheNextNumberAndAFreshWorksheetWindow()
    {
        handOver(*m_main, "first");
        QPointer<DocumentWindow> old = m_main->worksheetWindow();
        child<QAction>(m_main.get(), "mnuFileExit")->trigger();
        QVERIFY(!m_main->isVisible());
        QTRY_VERIFY(old.isNull());
        QVERIFY(captions(*m_main).isEmpty());
        handOver(*m_main, "second");
        QCOMPARE(captions(*m_main), (QStringList { "Document 2", "Document" }));
        QCOMPARE(m_main->worksheetWindow()->textBox()->toPlainText(), "second");
    }

    // "Quit" ends the event loop without closing any window, so a moved main window is not saved.
    void quitSavesNothing()
    {
        storeGeometry({ "1500", "1500", "9000", "6000" });
        Module1 module;
        module.start();
        ProblemDialog* dialog = module.dialog();
        click(dialog, "optMultBin");
        click(dialog, "cmdMake");
        QVERIFY(module.mainWindow()->isVisible());
        module.mainWindow()->move(400, 400);
        QTimer::singleShot(0, dialog, [dialog] { click(dialog, "Command1"); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // "Quit" did not end it
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(storedGeometry(), (QStringList { "1500", "1500", "9000", "6000" }));
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
        const DocumentWindow::Layout layout
            = DocumentWindow::layoutFor(inner, QRect(100, 100, 900, 600));
        QTEST(layout.moved, "moved");
        QTEST(layout.box, "box");
        QTEST(layout.rightMargin, "margin");
    }

    void minimizeAndRestoreKeepsTheLayout()
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
        QTRY_VERIFY(!sub->isMinimized());
        QTRY_COMPARE(worksheet->textBox()->geometry(), laidOut);
    }

private:
    std::unique_ptr<MainWindow> m_main;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
