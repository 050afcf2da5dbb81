// What the desktop sees of the program: its desktop file name and the icon of every window.

#include "app/ApplicationIdentity.h"
#include "app/MainWindow.h"
#include "app/Module1.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

using namespace quillora;
using namespace quillora::test;

namespace {

QImage picture(const QIcon& icon)
{
    return icon.pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class ApplicationIdentityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { describeApplication(); }

    // Wayland's app id and the desktop's window matching use this name to find the menu entry.
    void desktopFileNameIsTheInstalledEntry()
    {
        const QFileInfo entry(QStringLiteral(QUILLORA_DESKTOP_ENTRY));
        QVERIFY(entry.exists());
        QCOMPARE(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"), entry.fileName());
    }

    void everyWindowShowsTheProgramIcon_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("problem dialog") << "dialog";
        QTest::newRow("main window") << "main";
        QTest::newRow("document window") << "document";
    }
    void everyWindowShowsTheProgramIcon()
    {
        QFETCH(QString, window);
        Module1 module;
        module.start();
        MainWindow* main = module.mainWindow();
        main->showMainWindow();
        main->new_document();
        QWidget* shown = module.dialog();
        if (window == "main")
            shown = main;
        else if (window == "document")
            shown = child<QMdiArea>(main, "mdiArea")->subWindowList().constLast();

        const QImage ours = picture(applicationIcon());
        QVERIFY2(!ours.isNull(), "the built-in icon is missing from the program");
        const QImage logo = picture(shown->style()->standardIcon(QStyle::SP_TitleBarMenuButton));
        QVERIFY(ours != logo);
        QCOMPARE(picture(shown->windowIcon()), ours);
    }
};

QTEST_MAIN(ApplicationIdentityTest)
#include "application_identity_test.moc"
