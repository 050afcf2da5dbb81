// The yardstick for start-up: a Qt Widgets program that shows one empty dialog, as large as the
// problem dialog, with the same paint probe.

#include "app/StartupProbe.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setFixedSize(494, 407);
    dialog.show();
    quillora::exitAfterFirstPaint(&dialog);
    return QApplication::exec();
}
