#include "app/ProgramWindows.h"

#include "app/MainWindow.h"
#include "dialog/ProblemDialog.h"

#include <QCoreApplication>

namespace quillora {

ProgramWindows::ProgramWindows() = default;

// The dialog goes first: it refers to the main window.
ProgramWindows::~ProgramWindows()
{
    m_dialog.reset();
    m_main.reset();
}

void ProgramWindows::start()
{
    m_dialog = std::make_unique<ProblemDialog>(this);
    // "&Quit" leaves the event loop at once: no window is asked to close, so none saves anything.
    QObject::connect(
        m_dialog.get(), &ProblemDialog::quitRequested, [] { QCoreApplication::exit(0); });
    m_dialog->show();
}

MainWindow* ProgramWindows::mainWindow()
{
    if (!m_main)
        m_main = std::make_unique<MainWindow>();
    return m_main.get();
}

void ProgramWindows::setWorksheetFontSize(double pointSize)
{
    mainWindow()->setWorksheetFontSize(pointSize);
}

void ProgramWindows::showMainWindow()
{
    mainWindow()->showMainWindow();
}

void ProgramWindows::replaceWorksheetText(const QString& text)
{
    mainWindow()->replaceWorksheetText(text);
}

} // namespace quillora
