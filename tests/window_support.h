#pragma once

// Shared pieces of the window tests: pre-answered save and print dialogs, lookups by object name,
// and the external readers (LibreOffice, pdftotext) used to read results back.

#include "app/CommonDialog.h"

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTest>

#include <optional>

namespace quillora::test {

/// Save and print dialogs answered from a script; every question and warning is recorded.
class ScriptedCommonDialog final : public CommonDialog {
public:
    struct PrintAnswer {
        bool accept = true;
        QString pdfFile;
        bool selection = false;
    };

    QStringList saveAnswers; ///< Names handed out in order; an empty name cancels.
    QStringList offeredNames;
    std::optional<PrintAnswer> printAnswer;
    QList<bool> printSelectionOffers;
    QStringList warnings;

    bool choosePrinter(QWidget*, QPrinter& printer, bool hasSelection) override
    {
        printSelectionOffers << hasSelection;
        if (!printAnswer || !printAnswer->accept)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printAnswer->pdfFile);
        printer.setPrintRange(printAnswer->selection ? QPrinter::Selection : QPrinter::AllPages);
        return true;
    }

    void warn(QWidget*, const QString&, const QString& text) override { warnings << text; }

protected:
    QString askSaveFileName(QWidget*, const QString& offered) override
    {
        offeredNames << offered;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};

template <typename T> T* child(QObject* root, const char* name)
{
    return root->findChild<T*>(QString::fromLatin1(name));
}

/// The settings store's file; tests run with XDG_CONFIG_HOME in a scratch folder.
inline QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillora"),
        QStringLiteral("Quillora"));
}

/// Runs a program to its end; returns its standard output, or a null array when it failed.
inline QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QByteArray();
    QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

/// Converts every file to `format` with one headless LibreOffice call into `outDir`.
inline bool convertWithLibreOffice(
    const QString& format, const QStringList& files, const QString& outDir)
{
    QStringList arguments { QStringLiteral("-env:UserInstallation=file://") + outDir
            + QStringLiteral("/profile"),
        QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
        QStringLiteral("--outdir"), outDir };
    arguments += files;
    return !runTool(QStringLiteral("soffice"), arguments).isNull();
}

/// The text of a PDF, one printed line per line, as pdftotext lays it out.
inline QString pdfText(const QString& pdfFile)
{
    QString text = QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdfFile, "-" }));
    return text.replace(QLatin1Char('\f'), QLatin1Char('\n'));
}

/// The words of each line that holds any, so texts compare regardless of blank widths.
inline QList<QStringList> wordsPerLine(const QString& text)
{
    QList<QStringList> lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!words.isEmpty())
            lines << words;
    }
    return lines;
}

} // namespace quillora::test
