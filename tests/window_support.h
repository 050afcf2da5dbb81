#pragma once

// Shared pieces of the window tests: pre-answered dialogs, lookups, engine worksheets, golden
// files, folder snapshots, external tools and a window manager.

#include "app/CommonDialog.h"
#include "app/MainWindow.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDirIterator>
#include <QImage>
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
    QStringList saveAnswers; ///< Names handed out in order; none left cancels.
    QStringList offeredNames, warnings;
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
    QString askSaveFileName(QWidget*, const QString& offered) override
    {
        offeredNames << offered;
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

/// The settings store's file; tests run with XDG_CONFIG_HOME in a scratch folder.
inline QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Quillora", "Quillora");
}

/// One run's hand-over, as a driver makes it.
inline void handOver(MainWindow& main, const QString& text, double size = 12)
{
    main.setWorksheetFontSize(size);
    main.showMainWindow();
    main.replaceWorksheetText(text);
}

/// The engine's worksheet for a family, a form name ("" for none) and a seed.
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

/// Whether `image` is the golden picture tests/data/NAME.png. QUILLORA_UPDATE_GOLDEN=1 rewrites
/// the golden files from what the program paints now (look at them before committing).
inline bool matchesGolden(const QImage& image, const QString& name)
{
    const QString file = QStringLiteral(QUILLORA_TEST_DATA "/") + name + ".png";
    if (qEnvironmentVariableIsSet("QUILLORA_UPDATE_GOLDEN"))
        image.save(file);
    return QImage(file).convertToFormat(QImage::Format_ARGB32)
        == image.convertToFormat(QImage::Format_ARGB32);
}

/// Every entry under the roots except those under `skipped`: folders as "/", files as their
/// size and time.
inline QMap<QString, QByteArray> snapshot(const QStringList& roots, const QStringList& skipped = {})
{
    QMap<QString, QByteArray> out;
    for (const QString& root : roots) {
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = it.next();
            if (std::none_of(skipped.begin(), skipped.end(),
                    [&](const QString& prefix) { return name.startsWith(prefix); }))
                out[name] = it.fileInfo().isDir() ? QByteArray("/")
                                                  : QByteArray::number(it.fileInfo().size()) + ' '
                        + QByteArray::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
        }
    }
    return out;
}

/// Runs a program to its end; its standard output, or a null array when it failed.
inline QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QByteArray();
    const QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

/// The words of each line that holds any, so texts compare regardless of blank widths.
inline QList<QStringList> wordsPerLine(const QString& text)
{
    QList<QStringList> lines;
    for (const QString& line : text.split('\n'))
        if (const QStringList words = line.split(' ', Qt::SkipEmptyParts); !words.isEmpty())
            lines << words;
    return lines;
}

/// openbox on the test's X server while this lives, so windows get real frames and states.
class WindowManager {
public:
    WindowManager()
    {
        m_process.start("openbox", { "--sm-disable" });
        // openbox names its theme on the root window shortly before it takes on windows.
        for (int i = 0; i < 100 && m_process.waitForStarted(5000) && !running(); ++i)
            QTest::qWait(50);
    }
    ~WindowManager()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
        // The root window keeps the announcements; the next manager makes its own.
        runTool("xprop", { "-root", "-remove", "_NET_SUPPORTING_WM_CHECK" });
        runTool("xprop", { "-root", "-remove", "_OB_THEME" });
    }
    bool running() const { return runTool("xprop", { "-root", "_OB_THEME" }).contains(" = "); }

private:
    QProcess m_process;
};

} // namespace quillora::test
