// "Make It!" from the click to the worksheet window painting the new text, for every form of
// every family. Prints the median and min-max per form and fails when a median is over 10 ms.

#include "app/DocumentWindow.h"
#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "dialog/ProblemDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <vector>

using namespace quillora;

namespace {

constexpr int Runs = 41;
constexpr double BoundMs = 10.0;

struct Form {
    const char* family;
    const char* form;
    bool fractionAnswers = false;
};

// Flags a paint of a document window's text box, watching the whole application so that it also
// sees the box that the first click creates.
class PaintFlag final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->parent()
            && watched->parent()->objectName() == QLatin1String("rtfText"))
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Clicks and waits for the text box's next paint; returns the milliseconds taken, or -1.
double clickUntilPainted(QAbstractButton* button, PaintFlag& flag)
{
    flag.painted = false;
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(button, Qt::LeftButton);
    while (!flag.painted && timer.elapsed() < 5000)
        QCoreApplication::processEvents();
    return flag.painted ? static_cast<double>(timer.nsecsElapsed()) / 1e6 : -1;
}

} // namespace

class MakeItBench : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillora"),
            QStringLiteral("Quillora"))
            .clear();
        qApp->installEventFilter(&m_flag);
        m_windows.start();
        ProblemDialog* dialog = m_windows.dialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // The first worksheet also creates, loads and shows the main window: timed once, apart.
        QTest::mouseClick(dialog->findChild<QAbstractButton*>("optFractions"), Qt::LeftButton);
        const double first = clickUntilPainted(
            dialog->findChild<QAbstractButton*>(QStringLiteral("cmdMake")), m_flag);
        QVERIFY2(first >= 0, "the first worksheet was not painted");
        qInfo("first worksheet, main window created and shown: %.3f ms", first);
    }

    void makeIt_data()
    {
        QTest::addColumn<QString>("familyOption");
        QTest::addColumn<QString>("formOption");
        QTest::addColumn<bool>("fractionAnswers");
        const std::vector<std::pair<const char*, std::vector<const char*>>> families = {
            { "optFractions", { "optAdd", "optSubtraction", "optDiv", "optMult", "optMixed" } },
            { "optEquations",
                { "optEQ1", "optEQ2", "optEQ3", "optEQ4", "optEQ5", "optEQ6", "optEQmixed" } },
            { "optFB", { "optFB1", "optFB2", "optFB3", "optFB4", "optFB5", "optFBmixed" } },
            { "optMultBin",
                { "optBin1", "optBin2", "optBin3", "optBin4", "optBin5", "optBin6", "optBin7",
                    "optBin8", "optBinMixed" } },
            { "optFactoring",
                { "optEGF", "optHGF", "optEGFGCF", "optHGFGCF", "optGCF", "optDOTS", "optPST",
                    "optFmixed" } },
        };
        for (const auto& [family, forms] : families) {
            for (const char* form : forms) {
                QTest::addRow("%s %s", family, form) << family << form << false;
                if (qstrcmp(family, "optEquations") == 0)
                    QTest::addRow("%s %s ticked", family, form) << family << form << true;
            }
        }
    }

    void makeIt()
    {
        QFETCH(QString, familyOption);
        QFETCH(QString, formOption);
        QFETCH(bool, fractionAnswers);
        ProblemDialog* dialog = m_windows.dialog();
        auto button
            = [dialog](const QString& name) { return dialog->findChild<QAbstractButton*>(name); };
        QTest::mouseClick(button(familyOption), Qt::LeftButton);
        QTest::mouseClick(button(formOption), Qt::LeftButton);
        auto* box = button(QStringLiteral("chkFracOK"));
        if (box->isChecked() != fractionAnswers)
            QTest::mouseClick(box, Qt::LeftButton);
        QAbstractButton* make = button(QStringLiteral("cmdMake"));

        QTest::mouseClick(make, Qt::LeftButton);
        QTextEdit* text = m_windows.mainWindow()->worksheetWindow()->textBox();
        QVERIFY(QTest::qWaitForWindowExposed(text));

        std::vector<double> ms;
        for (int run = 0; run < Runs; ++run) {
            const double taken = clickUntilPainted(make, m_flag);
            QVERIFY2(taken >= 0, "the worksheet window was not painted");
            ms.push_back(taken);
        }
        const qsizetype characters = text->toPlainText().size();
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        qInfo("median %6.3f ms  (min %6.3f, max %6.3f), %lld characters", median, ms.front(),
            ms.back(), static_cast<long long>(characters));
        QVERIFY2(median <= BoundMs, "median over 10 ms");
    }

private:
    PaintFlag m_flag;
    ProgramWindows m_windows;
};

QTEST_MAIN(MakeItBench)
#include "make_it_bench.moc"
