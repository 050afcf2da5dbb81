#include "app/ModalDialogs.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <pwd.h>

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

// The save dialog, taking a name with quotes as typed: one path, quotes and all. Qt's dialog reads
// such a name as a list of names ("a" "b") and saves to the first, a file the teacher never
// named. A name without quotes goes Qt's own way, which reads it the same.
class SaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    /// The path typed with quotes; empty for any other choice.
    QString typedPath() const { return m_typedPath; }

    void accept() override
    {
        auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = box ? box->text() : QString();
        if (!typed.contains(u'"')) {
            QFileDialog::accept();
            return;
        }
        QString path = directory().absoluteFilePath(typed);
        // As Qt reads a name: "~" or "~user" starts in a home folder, unless the folder shown
        // holds a file of that name.
        if (typed.startsWith(u'~') && !QFileInfo::exists(path)) {
            const qsizetype slash = typed.indexOf(u'/');
            const QString user = typed.mid(1, slash < 0 ? -1 : slash - 1);
            const passwd* entry = user.isEmpty() ? nullptr : ::getpwnam(QFile::encodeName(user));
            const QString home = user.isEmpty() ? QDir::homePath()
                : entry                         ? QFile::decodeName(entry->pw_dir)
                                                : QString();
            if (!home.isEmpty())
                path = home + (slash < 0 ? QString() : typed.mid(slash));
        }
        if (QFileInfo(path).isDir()) {
            setDirectory(path);
            box->clear();
            return;
        }
        m_typedPath = path;
        QDialog::accept();
    }

private:
    QString m_typedPath;
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
    SaveDialog dialog(parent, QStringLiteral("Save"));
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
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (!dialog.typedPath().isEmpty())
        return dialog.typedPath();
    return dialog.selectedFiles().value(0);
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
