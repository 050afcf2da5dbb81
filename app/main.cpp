#include "app/ApplicationIdentity.h"
#include "app/ProgramWindows.h"
#include "dialog/ProblemDialog.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[])
{
    // A file-size limit makes a save fail with a message instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    quillora::describeApplication();
    quillora::ProgramWindows windows;
    windows.start();
    return QApplication::exec();
}
