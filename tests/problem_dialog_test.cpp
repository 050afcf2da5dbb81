// The problem dialog: its stored layout, frame switching, and what "Make It!" hands over.

#include "app/DocumentWindow.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
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

    // A fresh dialog; "Make It!" without a family does nothing, and "Quit" asks to end.
    void freshDialog()
    {
        QCOMPARE(m_dialog->objectName(), "frmProb");
        QCOMPARE(m_dialog->windowTitle(), "Quillora");
        QCOMPARE(m_dialog->font().family(), "MS Sans Serif");
        QCOMPARE(m_dialog->font().pointSizeF(), 13.5);
        QStringList selected;
        for (auto* button : m_dialog->findChildren<QAbstractButton*>())
            if (button->isChecked())
                selected << button->objectName();
        QCOMPARE(selected, QStringList { "optAdd" });
        for (const char* frame :
            { "framFactoring", "framOperation", "framBinomial", "framEquations", "framFB" })
            QVERIFY2(!child<QGroupBox>(m_dialog.get(), frame)->isVisible(), frame);
        QVERIFY(child<QGroupBox>(m_dialog.get(), "Frame1")->isVisible());
        auto* box = child<QCheckBox>(m_dialog.get(), "chkFracOK");
        QCOMPARE(box->text(), "Fraction Answers OK");
        QCOMPARE(box->font().pointSizeF(), 12.0);
        QCOMPARE(child<QPushButton>(m_dialog.get(), "cmdMake")->text(), "&Make It!");
        QCOMPARE(child<QPushButton>(m_dialog.get(), "Command1")->text(), "&Quit");
        click(m_dialog.get(), "cmdMake");
        QVERIFY(!m_main->isVisible() && !m_main->isLoaded());
        QSignalSpy quit(m_dialog.get(), &ProblemDialog::quitRequested);
        click(m_dialog.get(), "Command1");
        QCOMPARE(quit.count(), 1);
    }

    void controlsSitWhereTheTwipsSay_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::newRow("frmProb") << QRect(0, 0, 7410, 6105); // the client area
        QTest::newRow("Frame1") << QRect(240, 240, 3615, 3495);
        QTest::newRow("framFB") << QRect(4080, 240, 3135, 4815);
        QTest::newRow("framOperation") << QRect(4080, 240, 2175, 2655);
        QTest::newRow("cmdMake") << QRect(240, 5160, 3615, 735);
        QTest::newRow("Command1") << QRect(4080, 5160, 3135, 735);
        QTest::newRow("optFactoring") << QRect(240, 2400, 3255, 495);
        QTest::newRow("optEQ6") << QRect(120, 960, 2415, 375);
        QTest::newRow("optBin2") << QRect(240, 720, 1815, 495);
        QTest::newRow("optFB3") << QRect(240, 1920, 2655, 615);
        QTest::newRow("optDOTS") << QRect(120, 2280, 1335, 375);
        QTest::newRow("chkFracOK") << QRect(120, 3840, 2895, 495);
    }
    void controlsSitWhereTheTwipsSay()
    {
        QFETCH(QRect, twips);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const bool client = name == QLatin1String("frmProb");
        QWidget* widget = client ? m_dialog.get() : m_dialog->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(client ? widget->rect() : widget->geometry(),
            QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    }

    // Each frame keeps its choice while hidden, and is one group: a second choice replaces the
    // first, picture buttons and "mixed" included.
    void framesKeepTheirChoiceAndFormOneGroup()
    {
        auto* framEquations = child<QGroupBox>(m_dialog.get(), "framEquations");
        auto* framFactoring = child<QGroupBox>(m_dialog.get(), "framFactoring");
        auto checked = [this](const char* name) {
            return child<QAbstractButton>(m_dialog.get(), name)->isChecked();
        };
        click(m_dialog.get(), "optEquations");
        QVERIFY(framEquations->isVisible());
        click(m_dialog.get(), "optEQ3");
        click(m_dialog.get(), "optFactoring");
        QVERIFY(framFactoring->isVisible() && !framEquations->isVisible());
        click(m_dialog.get(), "optPST");
        click(m_dialog.get(), "optEquations");
        QVERIFY(framEquations->isVisible() && !framFactoring->isVisible());
        QVERIFY(checked("optEQ3") && checked("optPST"));
        click(m_dialog.get(), "optEQmixed");
        QVERIFY(!checked("optEQ3") && checked("optAdd"));

        click(m_dialog.get(), "optFB");
        auto* fb2 = child<QToolButton>(m_dialog.get(), "optFB2");
        QVERIFY(fb2->isCheckable() && !fb2->icon().isNull() && fb2->text().isEmpty());
        click(m_dialog.get(), "optFB2");
        QVERIFY(checked("optFB2"));
        click(m_dialog.get(), "optFB5");
        QVERIFY(checked("optFB5") && !checked("optFB2"));
        click(m_dialog.get(), "optFBmixed");
        QVERIFY(checked("optFBmixed") && !checked("optFB5"));
    }

    // The worksheet is the engine's for the run's seed and the dialog's choices, in the family's
    // size; a fresh window has 9.75 points, which the fraction family keeps, as it keeps what the
    // last run set. With a family but no form, a run makes the title and the blank layout.
    void everyFamilyReachesTheWorksheetWindow_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<double>("size");
        const auto row = [](const char* family, const char* form, QStringList clicks, double size) {
            QTest::addRow("%s %s", family, clicks.join(' ').toLatin1().data())
                << family << form << clicks << size;
        };
        row("fractions", "division", { "optFractions", "optDiv" }, 9.75);
        row("fractions", "addition", { "optFB", "cmdMake", "optFractions" }, 10);
        row("equations", "EQ6", { "optEquations", "optEQ6", "chkFracOK" }, 12);
        row("fraction-equations", "FB4", { "optFB", "optFB4" }, 10);
        row("binomials", "mixed", { "optMultBin", "optBinMixed" }, 12);
        row("binomials", "Bin5", { "optMultBin", "optBin5" }, 12);
        row("binomials", "", { "optMultBin" }, 12);
        row("factoring", "HGFGCF", { "optFactoring", "optHGFGCF" }, 12);
    }
    void everyFamilyReachesTheWorksheetWindow()
    {
        QFETCH(QString, family);
        QFETCH(QString, form);
        QFETCH(QStringList, clicks);
        for (const QString& button : clicks + QStringList { "cmdMake" })
            click(m_dialog.get(), button);
        QTextEdit* box = m_main->worksheetWindow()->textBox();
        QCOMPARE(box->toPlainText(),
            engineSheet(
                qPrintable(family), form, m_dialog->lastSeed(), clicks.contains("chkFracOK")));
        QTEST(box->font().pointSizeF(), "size");
        QCOMPARE(box->font().family(), "Courier New");
        QVERIFY(m_main->isVisible() && m_dialog->isVisible());
        QVERIFY(m_dialog->findChild<QAbstractButton*>(clicks.last())->isChecked());
        QString blank = "Multiplying Binomials\n\n\n\n";
        for (int row = 0; row < 15; ++row)
            blank += QString(35, QLatin1Char(' ')) + "\n\n\n";
        QVERIFY(!form.isEmpty() || box->toPlainText() == blank);
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
        click(&dialog, familyOption);
        click(&dialog, "cmdMake");
        QTEST(target.steps, "steps");
    }

    // Enter presses the focused button; Esc leaves the dialog open. The fixed-size window
    // offers minimize and close, no maximize.
    void keysAndTitleBarButtons()
    {
        const Qt::WindowFlags flags = m_dialog->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint);
        click(m_dialog.get(), "optMultBin");
        auto* cmdMake = child<QPushButton>(m_dialog.get(), "cmdMake");
        m_dialog->activateWindow();
        cmdMake->setFocus();
        QTRY_VERIFY(cmdMake->hasFocus());
        QTest::keyClick(cmdMake, Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!m_main->isLoaded());
        QTest::keyClick(cmdMake, Qt::Key_Return);
        QVERIFY(m_main->isLoaded());
        QVERIFY(m_main->worksheetWindow()->textBox()->toPlainText().startsWith("Multiplying"));
        QSignalSpy quit(m_dialog.get(), &ProblemDialog::quitRequested);
        QTest::keyClick(child<QPushButton>(m_dialog.get(), "Command1"), Qt::Key_Enter);
        QCOMPARE(quit.count(), 1);
    }

    // Each picture button reads its equation in its tool tip and accessible name, and pressed it
    // shows mostly the selection colour.
    void pictureButtonsReadTheirEquation_data()
    {
        QTest::addColumn<QString>("equation");
        QTest::newRow("optFB1") << "a/b x = c";
        QTest::newRow("optFB2") << "a/b x + c = d";
        QTest::newRow("optFB3") << "a/b x + c/d = e";
        QTest::newRow("optFB4") << "a/b x + c = d/e x + f";
        QTest::newRow("optFB5") << "a/b (cx + d) = e/f (gx + h)";
    }
    void pictureButtonsReadTheirEquation()
    {
        QFETCH(QString, equation);
        click(m_dialog.get(), "optFB");
        auto* button = m_dialog->findChild<QToolButton*>(QTest::currentDataTag());
        QCOMPARE(button->toolTip(), equation);
        QCOMPARE(button->accessibleName(), equation);
        const auto highlighted = [button] {
            const QImage image = button->grab().toImage();
            const QRgb highlight = button->palette().color(QPalette::Highlight).rgb();
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += image.pixel(x, y) == highlight;
            return double(count) / (image.width() * image.height());
        };
        QCOMPARE(highlighted(), 0.0);
        click(m_dialog.get(), QTest::currentDataTag());
        QVERIFY(button->isChecked());
        QVERIFY2(highlighted() > 0.5, qPrintable(QString::number(highlighted())));
    }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ProblemDialog> m_dialog;
};

QTEST_MAIN(ProblemDialogTest)
#include "problem_dialog_test.moc"
