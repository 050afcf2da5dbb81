#pragma once

#include <QObject>
#include <QString>

class QPrinter;
class QWidget;

namespace quillora {

/// The main window's save and print dialogs and its warnings, behind one seam so tests answer
/// them without a person. It keeps the name chosen at the previous Save, which the next Save
/// offers again.
class ModalDialogs : public QObject {
    Q_OBJECT

public:
    explicit ModalDialogs(QObject* parent = nullptr);

    /// The save dialog ("Save", all files, no overwrite prompt). An empty name means cancelled.
    QString chooseSaveFile(QWidget* parent);
    /// The print dialog, with no page-range choice; the selection choice is offered and preset
    /// when there is a selection. Sets up the printer; false means cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer, bool hasSelection) = 0;
    virtual void warn(QWidget* parent, const QString& title, const QString& text) = 0;

    QString fileName() const { return m_fileName; }

protected:
    virtual QString askSaveFileName(QWidget* parent, const QString& offered) = 0;

private:
    QString m_fileName;
};

/// The real dialogs.
class QtModalDialogs final : public ModalDialogs {
    Q_OBJECT

public:
    using ModalDialogs::ModalDialogs;
    bool choosePrinter(QWidget* parent, QPrinter& printer, bool hasSelection) override;
    void warn(QWidget* parent, const QString& title, const QString& text) override;

protected:
    QString askSaveFileName(QWidget* parent, const QString& offered) override;
};

} // namespace quillora
