#pragma once

// Shared pieces of the window tests: pre-answered dialogs, lookups, engine worksheets, folder
// snapshots and the external readers (LibreOffice, pdftotext).

#include "app/CommonDialog.h"
#include "app/MainWindow.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
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

inline void click(QObject* root, const QString& button)
{
    QTest::mouseClick(root->findChild<QAbstractButton*>(button), Qt::LeftButton);
}

/// The settings store's file; tests run with XDG_CONFIG_HOME in a scratch folder.
inline QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillora"),
        QStringLiteral("Quillora"));
}

/// One run's hand-over, as a driver makes it.
inline void handOver(MainWindow& main, const QString& text, double size = 12)
{
    main.setWorksheetFontSize(size);
    main.showMainWindow();
    main.replaceWorksheetText(text);
}

/// The engine's worksheet for a family, a form name and a seed.
inline QString engineSheet(const char* family, const QString& form, std::uint32_t seed,
    bool fractionAnswers = false, std::optional<double>* size = nullptr)
{
    const FamilyEntry* entry = find_family(family);
    ProblemOptions options { .fraction_answers_ok = fractionAnswers };
    if (!form.isEmpty())
        options.selection = *parse_form(*entry, form.toStdString());
    Mt19937Source random(seed);
    const RunResult result = entry->run(options, random);
    if (size)
        *size = result.font_size;
    return QString::fromStdU16String(result.text);
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Every entry under the folders except those under `skipped`: folders as "/", files as their
/// size and modification time, and their bytes when `contents` is set (regular files only: a
/// named pipe would wait for a writer).
inline QMap<QString, QByteArray> snapshot(
    const QStringList& roots, bool contents, const QStringList& skipped = {})
{
    QMap<QString, QByteArray> out;
    for (const QString& root : roots) {
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = it.next();
            if (std::any_of(skipped.begin(), skipped.end(),
                    [&](const QString& prefix) { return name.startsWith(prefix); }))
                continue;
            const QFileInfo& info = it.fileInfo();
            out[name] = info.isDir() ? QByteArray("/")
                                     : QByteArray::number(info.size()) + ' '
                    + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + ' '
                    + (contents && info.isFile() ? readAll(name) : QByteArray());
        }
    }
    return out;
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
    return !runTool(QStringLiteral("soffice"),
        QStringList { QStringLiteral("-env:UserInstallation=file://") + outDir + "/profile",
            "--headless", "--convert-to", format, "--outdir", outDir }
            + files)
                .isNull();
}

/// A converted text file's contents without its byte-order mark.
inline QString officeText(const QString& path)
{
    QByteArray bytes = readAll(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

/// The words of each line that holds any, so texts compare regardless of blank widths; a PDF
/// is read as pdftotext lays it out.
inline QList<QStringList> wordsPerLine(QString text)
{
    QList<QStringList> lines;
    for (const QString& line : text.replace(QLatin1Char('\f'), QLatin1Char('\n')).split('\n')) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!words.isEmpty())
            lines << words;
    }
    return lines;
}
inline QList<QStringList> pdfWords(const QString& pdf)
{
    return wordsPerLine(QString::fromUtf8(runTool("pdftotext", { "-layout", pdf, "-" })));
}

/// A window manager (openbox) on the test's X server for as long as it lives, so that windows get
/// real frames, and minimize and maximize really happen. `running()` is false when none could
/// be started.
class WindowManager {
public:
    WindowManager()
    {
        if (announced()) {
            m_running = true; // one is running already
            return;
        }
        m_process.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        if (!m_process.waitForStarted(5000))
            return;
        // openbox announces itself early in its start; it names its theme once it is loaded,
        // shortly before it takes on windows.
        for (int i = 0; i < 100 && !m_running; ++i) {
            m_running = runTool(
                QStringLiteral("xprop"), { QStringLiteral("-root"), QStringLiteral("_OB_THEME") })
                            .contains(" = ");
            if (!m_running)
                QTest::qWait(50);
        }
    }
    ~WindowManager()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished(5000);
        // The root window keeps the announcements; the next manager makes its own.
        for (const char* name : { "_NET_SUPPORTING_WM_CHECK", "_OB_THEME" })
            runTool(QStringLiteral("xprop"),
                { QStringLiteral("-root"), QStringLiteral("-remove"), QString::fromLatin1(name) });
    }
    bool running() const { return m_running; }

private:
    // Whether a window manager has announced itself on the root window.
    static bool announced()
    {
        return runTool(QStringLiteral("xprop"),
            { QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK") })
            .contains("window id");
    }

    QProcess m_process;
    bool m_running = false;
};

} // namespace quillora::test
