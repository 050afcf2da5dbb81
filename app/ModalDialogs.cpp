#include "app/ModalDialogs.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace quillora {

namespace {

// Keeps the print dialog's page-range controls hidden. With CUPS, Qt shows them again whenever
// the dialog is shown or set up for a printer (the server could pick the pages), although the
// options rule a page range out; each time one is shown again it is hidden at once.
class PageRangeHider final : public QObject {
public:
    explicit PageRangeHider(QPrintDialog& dialog)
        : QObject(&dialog)
    {
        for (const char* name :
            { "printRange", "from", "label_3", "to", "pagesRadioButton", "pagesLineEdit" }) {
            if (auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name))) {
                widget->hide();
                widget->installEventFilter(this);
            }
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShowToParent)
            static_cast<QWidget*>(watched)->hide();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

ModalDialogs::ModalDialogs(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("dlgCommonDialog"));
}

QString ModalDialogs::chooseSaveFile(QWidget* parent)
{
    const QString chosen = askSaveFileName(parent, m_fileName);
    if (!chosen.isEmpty())
        m_fileName = chosen;
    return chosen;
}

QString QtModalDialogs::askSaveFileName(QWidget* parent, const QString& offered)
{
    QFileDialog dialog(parent, QStringLiteral("Save"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("All Files (*.*)"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The caption's "*.*" stands for every file; as a pattern it would hide names without a
    // dot, so the list shows every file.
    if (auto* model = dialog.findChild<QFileSystemModel*>())
        model->setNameFilters({});
    if (!offered.isEmpty())
        dialog.selectFile(offered);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool QtModalDialogs::choosePrinter(QWidget* parent, QPrinter& printer, bool hasSelection)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, false);
    options.setFlag(QAbstractPrintDialog::PrintSelection, hasSelection);
    dialog.setOptions(options);
    new PageRangeHider(dialog);
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

void QtModalDialogs::warn(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

} // namespace quillora
