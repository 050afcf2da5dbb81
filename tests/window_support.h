#pragma once

// Shared pieces of the window tests: pre-answered dialogs, lookups, engine worksheets, golden
// pictures and external tools.

#include "app/DocumentWindow.h"
#include "app/MainWindow.h"
#include "app/ModalDialogs.h"
#include "app/ProgramWindows.h"
#include "dialog/ProblemDialog.h"
#include "families/catalogue.h"

#include <QAbstractButton>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <optional>

namespace quillora::test {

/// Save and print dialogs answered from a script; every question and warning is recorded.
class ScriptedModalDialogs final : public ModalDialogs {
public:
    QStringList saveAnswers; ///< Names handed out in order; none left cancels.
    QStringList warnings;
    std::optional<QString> pdf; ///< The printer's PDF file; none cancels.
    bool printSelection = false;
    QList<bool> selectionOffers;

    bool choosePrinter(QWidget*, QPrinter& printer, bool hasSelection) override
    {
        selectionOffers << hasSelection;
        printer.setOutputFileName(pdf.value_or(QString()));
        printer.setPrintRange(printSelection ? QPrinter::Selection : QPrinter::AllPages);
        return pdf.has_value();
    }
    void warn(QWidget*, const QString&, const QString& text) override { warnings << text; }

protected:
    QString askSaveFileName(QWidget*, const QString&) override
    {
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};

template <typename T = QWidget> T* child(QObject* root, const QString& name)
{
    return root->findChild<T*>(name);
}

inline void click(QObject* root, const QString& button)
{
    QTest::mouseClick(child<QAbstractButton>(root, button), Qt::LeftButton);
}

/// The settings store; tests run with XDG_CONFIG_HOME in a scratch folder.
inline QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Quillora", "Quillora");
}

/// The engine's worksheet for a family, a form name ("" for none) and a seed.
inline QString engineSheet(
    std::string_view family, const QString& form, std::uint32_t seed, bool fractionAnswers = false)
{
    const Family* entry = find_family(family);
    ProblemOptions options { .fraction_answers_ok = fractionAnswers };
    if (!form.isEmpty())
        options.selection = *parse_form(*entry, form.toStdString());
    return QString::fromStdU16String(make_sheet(*entry, options, seed));
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Runs a program to its end; its standard output, or a null array when it failed.
inline QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    const QByteArray out = process.readAllStandardOutput();
    return !ok ? QByteArray() : out.isNull() ? QByteArray("") : out;
}

} // namespace quillora::test
