// The problem dialog: its stored layout, frame switching, and what "Make It!" hands over.

#include "app/DocumentWindow.h"
#include "app/MainWindow.h"
#include "dialog/ProblemDialog.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "window_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QToolButton>

#include <memory>

using namespace quillora;
using namespace quillora::test;

namespace {

// Records the hand-over steps in the order a run makes them.
class RecordingTarget final : public WorksheetTarget {
public:
    QStringList steps;
    void setWorksheetFontSize(double size) override
    {
        steps << QStringLiteral("size %1").arg(size);
    }
    void showMainWindow() override { steps << QStringLiteral("show"); }
    void replaceWorksheetText(const QString& text) override
    {
        steps << QStringLiteral("text ") + text.left(text.indexOf(QLatin1Char('\n')));
    }
};

} // namespace

class ProblemDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        store().clear();
        m_main = std::make_unique<MainWindow>();
        m_dialog = std::make_unique<ProblemDialog>(m_main.get());
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_main.reset();
    }

    void startsWithOnlyAdditionSelected()
    {
        QCOMPARE(m_dialog->objectName(), QStringLiteral("frmProb"));
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Quillora"));
        QCOMPARE(m_dialog->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(m_dialog->font().pointSizeF(), 13.5);
        QStringList selected;
        for (auto* button : m_dialog->findChildren<QAbstractButton*>()) {
            if (button->isChecked())
                selected << button->objectName();
        }
        QCOMPARE(selected, QStringList { QStringLiteral("optAdd") });
        for (const char* frame :
            { "framFactoring", "framOperation", "framBinomial", "framEquations", "framFB" })
            QVERIFY2(!child<QGroupBox>(m_dialog.get(), frame)->isVisible(), frame);
        QVERIFY(child<QGroupBox>(m_dialog.get(), "Frame1")->isVisible());
        auto* box = child<QCheckBox>(m_dialog.get(), "chkFracOK");
        QCOMPARE(box->text(), QStringLiteral("Fraction Answers OK"));
        QCOMPARE(box->font().pointSizeF(), 12.0);
        QCOMPARE(
            child<QPushButton>(m_dialog.get(), "cmdMake")->text(), QStringLiteral("&Make It!"));
        QCOMPARE(child<QPushButton>(m_dialog.get(), "Command1")->text(), QStringLiteral("&Quit"));
        QVERIFY(!m_main->isVisible());
        QVERIFY(!m_main->isLoaded());
    }

    void controlsSitWhereTheTwipsSay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("client area") << "frmProb" << QRect(0, 0, 7410, 6105);
        QTest::newRow("Frame1") << "Frame1" << QRect(240, 240, 3615, 3495);
        QTest::newRow("framFB") << "framFB" << QRect(4080, 240, 3135, 4815);
        QTest::newRow("framOperation") << "framOperation" << QRect(4080, 240, 2175, 2655);
        QTest::newRow("cmdMake") << "cmdMake" << QRect(240, 5160, 3615, 735);
        QTest::newRow("Command1") << "Command1" << QRect(4080, 5160, 3135, 735);
        QTest::newRow("optFactoring") << "optFactoring" << QRect(240, 2400, 3255, 495);
        QTest::newRow("optEQ6") << "optEQ6" << QRect(120, 960, 2415, 375);
        QTest::newRow("optBin2") << "optBin2" << QRect(240, 720, 1815, 495);
        QTest::newRow("optFB3") << "optFB3" << QRect(240, 1920, 2655, 615);
        QTest::newRow("optDOTS") << "optDOTS" << QRect(120, 2280, 1335, 375);
        QTest::newRow("chkFracOK") << "chkFracOK" << QRect(120, 3840, 2895, 495);
    }
    void controlsSitWhereTheTwipsSay()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QWidget* widget = name == QLatin1String("frmProb") ? m_dialog.get()
                                                           : m_dialog->findChild<QWidget*>(name);
        QVERIFY(widget);
        const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
        QCOMPARE(name == QLatin1String("frmProb") ? widget->rect() : widget->geometry(), pixels);
    }

    void switchingFramesKeepsEachFramesChoice()
    {
        auto* framEquations = child<QGroupBox>(m_dialog.get(), "framEquations");
        auto* framFactoring = child<QGroupBox>(m_dialog.get(), "framFactoring");
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optEquations"), Qt::LeftButton);
        QVERIFY(framEquations->isVisible());
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optEQ3"), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optFactoring"), Qt::LeftButton);
        QVERIFY(framFactoring->isVisible());
        QVERIFY(!framEquations->isVisible());
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optPST"), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optEquations"), Qt::LeftButton);
        QVERIFY(framEquations->isVisible());
        QVERIFY(!framFactoring->isVisible());
        QVERIFY(child<QRadioButton>(m_dialog.get(), "optEQ3")->isChecked());
        QVERIFY(child<QRadioButton>(m_dialog.get(), "optPST")->isChecked());
        // Each frame is one group: a second choice in a frame replaces the first.
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optEQmixed"), Qt::LeftButton);
        QVERIFY(!child<QRadioButton>(m_dialog.get(), "optEQ3")->isChecked());
        QVERIFY(child<QRadioButton>(m_dialog.get(), "optAdd")->isChecked());
    }

    void pictureButtonsFormOneGroupWithMixed()
    {
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optFB"), Qt::LeftButton);
        auto* fb2 = child<QToolButton>(m_dialog.get(), "optFB2");
        auto* fb5 = child<QToolButton>(m_dialog.get(), "optFB5");
        auto* mixed = child<QRadioButton>(m_dialog.get(), "optFBmixed");
        QVERIFY(fb2->isCheckable());
        QVERIFY(!fb2->icon().isNull());
        QVERIFY(fb2->text().isEmpty());
        QTest::mouseClick(fb2, Qt::LeftButton);
        QVERIFY(fb2->isChecked());
        QTest::mouseClick(fb5, Qt::LeftButton);
        QVERIFY(fb5->isChecked() && !fb2->isChecked());
        QTest::mouseClick(mixed, Qt::LeftButton);
        QVERIFY(mixed->isChecked() && !fb5->isChecked());
    }

    void makeItWithoutFamilyDoesNothing()
    {
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "cmdMake"), Qt::LeftButton);
        QVERIFY(!m_main->isLoaded());
        QVERIFY(!m_main->isVisible());
    }

    // With a family but no form, a run still makes the title and the blank layout.
    void makeItWithoutFormMakesTheBlankLayout()
    {
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optMultBin"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "cmdMake"), Qt::LeftButton);
        QVERIFY(m_main->isVisible());
        QString expected = QStringLiteral("Multiplying Binomials\n\n\n\n");
        for (int row = 0; row < 15; ++row)
            expected += QString(35, QLatin1Char(' ')) + QStringLiteral("\n\n\n");
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QCOMPARE(box->toPlainText(), expected);
        QCOMPARE(box->font().pointSizeF(), 12.0);
        QCOMPARE(box->font().family(), QStringLiteral("Courier New"));
        QVERIFY(m_dialog->isVisible());
    }

    // The worksheet is the engine's for the run's seed and the dialog's choices.
    void makeItHandsOverTheEngineWorksheet()
    {
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optMultBin"), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optBin5"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "cmdMake"), Qt::LeftButton);
        Mt19937Source random(m_dialog->lastSeed());
        const RunResult expected
            = find_family("binomials")->run({ .selection = FormSelection::form(5) }, random);
        QCOMPARE(m_main->worksheetWindow()->textBox()->toPlainText(),
            QString::fromStdU16String(expected.text));
        QCOMPARE(child<QRadioButton>(m_dialog.get(), "optBin5")->isChecked(), true);
    }

    void everyFamilyReachesTheWorksheetWindow_data()
    {
        QTest::addColumn<QString>("familyOption");
        QTest::addColumn<QString>("formOption");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("form");
        QTest::addColumn<bool>("fractionAnswers");
        QTest::addColumn<double>("size");
        // A fresh worksheet window has 9.75 points, which the fraction family keeps.
        QTest::newRow("fractions") << "optFractions"
                                   << "optDiv"
                                   << "fractions"
                                   << "division" << false << 9.75;
        QTest::newRow("equations") << "optEquations"
                                   << "optEQ6"
                                   << "equations"
                                   << "EQ6" << true << 12.0;
        QTest::newRow("fraction equations") << "optFB"
                                            << "optFB4"
                                            << "fraction-equations"
                                            << "FB4" << false << 10.0;
        QTest::newRow("binomials") << "optMultBin"
                                   << "optBinMixed"
                                   << "binomials"
                                   << "mixed" << false << 12.0;
        QTest::newRow("factoring") << "optFactoring"
                                   << "optHGFGCF"
                                   << "factoring"
                                   << "HGFGCF" << false << 12.0;
    }
    void everyFamilyReachesTheWorksheetWindow()
    {
        QFETCH(QString, familyOption);
        QFETCH(QString, formOption);
        QFETCH(QString, family);
        QFETCH(QString, form);
        QFETCH(bool, fractionAnswers);
        QFETCH(double, size);
        QTest::mouseClick(m_dialog->findChild<QAbstractButton*>(familyOption), Qt::LeftButton);
        QTest::mouseClick(m_dialog->findChild<QAbstractButton*>(formOption), Qt::LeftButton);
        if (fractionAnswers)
            QTest::mouseClick(child<QCheckBox>(m_dialog.get(), "chkFracOK"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "cmdMake"), Qt::LeftButton);

        const FamilyEntry* entry = find_family(family.toStdString());
        QVERIFY(entry);
        const ProblemOptions options { *parse_form(*entry, form.toStdString()), fractionAnswers };
        Mt19937Source random(m_dialog->lastSeed());
        const RunResult expected = entry->run(options, random);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QCOMPARE(box->toPlainText(), QString::fromStdU16String(expected.text));
        QCOMPARE(box->font().pointSizeF(), size);
        QVERIFY(m_main->isVisible());
    }

    // The fraction family has no size of its own: it keeps what the last run set.
    void fractionsKeepTheWindowsSize()
    {
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optFB"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "cmdMake"), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>(m_dialog.get(), "optFractions"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "cmdMake"), Qt::LeftButton);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QVERIFY(box->toPlainText().startsWith(QStringLiteral("Fractions\n")));
        QCOMPARE(box->font().pointSizeF(), 10.0);
    }

    void handOverFollowsTheFramesOrder_data()
    {
        QTest::addColumn<QString>("familyOption");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("binomials")
            << "optMultBin" << QStringList { "size 12", "show", "text Multiplying Binomials" };
        QTest::newRow("fraction equations")
            << "optFB" << QStringList { "size 10", "show", "text Solving Linear Equations" };
        QTest::newRow("fractions") << "optFractions" << QStringList { "show", "text Fractions" };
    }
    void handOverFollowsTheFramesOrder()
    {
        QFETCH(QString, familyOption);
        RecordingTarget target;
        ProblemDialog dialog(&target);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QAbstractButton*>(familyOption), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&dialog, "cmdMake"), Qt::LeftButton);
        QTEST(target.steps, "steps");
    }

    void quitAsksTheProgramToEnd()
    {
        QSignalSpy quit(m_dialog.get(), &ProblemDialog::quitRequested);
        QTest::mouseClick(child<QPushButton>(m_dialog.get(), "Command1"), Qt::LeftButton);
        QCOMPARE(quit.count(), 1);
    }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ProblemDialog> m_dialog;
};

QTEST_MAIN(ProblemDialogTest)
#include "problem_dialog_test.moc"
