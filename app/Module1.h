#pragma once

#include <memory>

namespace quillora {

class MainWindow;
class ProblemDialog;

/// Start-up: holds the program's two long-lived windows. The main window is created but not
/// loaded or shown; only the problem dialog is shown.
class Module1 {
public:
    Module1();
    ~Module1();

    void start();

    MainWindow* mainWindow() const { return m_main.get(); }
    ProblemDialog* dialog() const { return m_dialog.get(); }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ProblemDialog> m_dialog;
};

} // namespace quillora
