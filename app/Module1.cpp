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
    m_main = std::make_unique<MainWindow>();
    m_dialog = std::make_unique<ProblemDialog>(m_main.get());
    // "&Quit" leaves the event loop at once: no window is asked to close, so none saves anything.
    QObject::connect(
        m_dialog.get(), &ProblemDialog::quitRequested, [] { QCoreApplication::exit(0); });
    m_dialog->show();
}

} // namespace quillora
