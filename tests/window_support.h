#pragma once

// Shared pieces of the window tests: pre-answered dialogs, lookups, engine worksheets, golden
// pictures and external tools.

#include "app/CommonDialog.h"
#include "app/MainWindow.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"

#include <QAbstractButton>
#include <QImage>
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

/// The settings store; tests run with XDG_CONFIG_HOME in a scratch folder.
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
inline QString engineSheet(
    std::string_view family, const QString& form, std::uint32_t seed, bool fractionAnswers = false)
{
    const FamilyEntry* entry = find_family(family);
    ProblemOptions options { .fraction_answers_ok = fractionAnswers };
    if (!form.isEmpty())
        options.selection = *parse_form(*entry, form.toStdString());
    Mt19937Source random(seed);
    return QString::fromStdU16String(entry->run(options, random).text);
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
