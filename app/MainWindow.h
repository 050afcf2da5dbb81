#pragma once

#include "dialog/WorksheetTarget.h"

#include <QMainWindow>
#include <QMargins>
#include <QPointer>

#include <cstdint>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace quillora {

class ModalDialogs;
class DocumentWindow;

/// "Test Results": the multiple-document main window. It lives for the whole run; it is loaded
/// (geometry restored, "Document N" opened) when first shown, and unloaded (geometry saved,
/// document windows closed) when closed, ready to be loaded again.
class MainWindow : public QMainWindow, public WorksheetTarget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    bool isLoaded() const { return m_loaded; }
    void load();

    /// Opens one new numbered document window, "Document 1", "Document 2", ...
    void newDocument();
    /// The single window that receives worksheets, created (with the main window loaded) on
    /// first use.
    DocumentWindow* worksheetWindow();
    /// The active document window, or nullptr when there is none.
    DocumentWindow* activeDocument() const;

    void save();
    void print();
    /// A toolbar button's key: "Save" and "Print" (case-sensitive) run their command.
    void runToolbarCommand(const QString& key);

    /// Replaces the save and print dialogs (tests answer them through this seam).
    void setModalDialogs(ModalDialogs* dialogs);

    void setWorksheetFontSize(double pointSize) override;
    void showMainWindow() override;
    void replaceWorksheetText(const QString& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void restoreGeometryFromSettings();
    void saveGeometryToSettings();
    QMargins currentFrame() const;
    DocumentWindow* addDocumentWindow();
    void activatePendingWorksheet();
    void updateClock();

    QMdiArea* m_mdiArea;
    ModalDialogs* m_dialogs;
    QLabel* m_date;
    QLabel* m_time;
    QPointer<DocumentWindow> m_worksheet;
    // The worksheet window to make active once the main window is no longer minimized.
    QPointer<QMdiSubWindow> m_pendingActive;
    std::int32_t m_documentCounter = 0;
    bool m_loaded = false;
    // The stored outer size, until the window manager's frame is known and it can be applied.
    std::optional<QSize> m_pendingOuterSize;
    // The frame of the normal (not minimized or maximized) window, as last seen while shown.
    std::optional<QMargins> m_normalFrame;
};

} // namespace quillora
