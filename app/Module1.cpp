#include "app/Module1.h"

#include "app/MainWindow.h"
#include "dialog/ProblemDialog.h"

#include <QCoreApplication>

namespace quillora {

Module1::Module1() = default;

// The dialog goes first: it refers to the main window.
Module1::~Module1()
{
    m_dialog.reset();
    m_main.reset();
}

void Module1::start()
{
    m_dialog = std::make_unique<ProblemDialog>(this);
    // "&Quit" leaves the event loop at once: no window is asked to close, so none saves anything.
    QObject::connect(
        m_dialog.get(), &ProblemDialog::quitRequested, [] { QCoreApplication::exit(0); });
    m_dialog->show();
}

MainWindow* Module1::mainWindow()
{
    if (!m_main)
        m_main = std::make_unique<MainWindow>();
    return m_main.get();
}

void Module1::setWorksheetFontSize(double pointSize)
{
    mainWindow()->setWorksheetFontSize(pointSize);
}

void Module1::showMainWindow()
{
    mainWindow()->showMainWindow();
}

void Module1::replaceWorksheetText(const QString& text)
{
    mainWindow()->replaceWorksheetText(text);
}

} // namespace quillora
