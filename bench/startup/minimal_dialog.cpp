// The yardstick for start-up: a Qt Widgets program that shows one empty dialog as large as the
// problem dialog. With --caption the dialog shows one line of text as well, which is what
// loading the font database costs any program that draws text.

#include <QApplication>
#include <QDialog>
#include <QLabel>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setFixedSize(494, 407);
    if (argc > 1 && std::strcmp(argv[1], "--caption") == 0)
        (new QLabel(QStringLiteral("Problem Type"), &dialog))->move(16, 16);
    dialog.show();
    return QApplication::exec();
}
