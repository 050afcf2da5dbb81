#include "app/Module1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLORA_VERSION));
    quillora::Module1 module;
    module.start();
    return QApplication::exec();
}
