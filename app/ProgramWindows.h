#pragma once

#include "dialog/WorksheetTarget.h"

#include <memory>

namespace quillora {

class MainWindow;
class ProblemDialog;

/// Start-up: holds the program's two long-lived windows. Only the problem dialog is shown. The
/// main window is created, neither loaded nor shown, when first needed (the first worksheet),
/// so that building its menus, icons and clock does not delay the dialog's first paint.
class ProgramWindows : public WorksheetTarget {
public:
    ProgramWindows();
    ~ProgramWindows() override;

    void start();

    MainWindow* mainWindow();
    ProblemDialog* dialog() const { return m_dialog.get(); }

    void setWorksheetFontSize(double pointSize) override;
    void showMainWindow() override;
    void replaceWorksheetText(const QString& text) override;

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ProblemDialog> m_dialog;
};

} // namespace quillora
