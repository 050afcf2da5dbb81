// The problem dialog: its controls against a golden description and golden pictures, frame
// switching, and what "Make It!" hands over.

#include "app/DocumentWindow.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QGroupBox>
#include <QSignalSpy>
#include <QTextEdit>

#include <memory>

using namespace quillora;
using namespace quillora::test;

namespace {

// Records the hand-over steps in the order a run makes them.
class RecordingTarget final : public WorksheetTarget {
public:
    QStringList steps;
    void setWorksheetFontSize(double size) override { steps << QString("size %1").arg(size); }
    void showMainWindow() override { steps << "show"; }
    void replaceWorksheetText(const QString& text) override { steps << text.section('\n', 0, 0); }
};

// One line per named control: class, name, caption, pixel geometry, font, tool tip and state.
QString describe(QWidget* dialog)
{
    QString out;
    const QList<QWidget*> widgets = QList { dialog } + dialog->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
            continue;
        auto* button = qobject_cast<QAbstractButton*>(widget);
        auto* frame = qobject_cast<QGroupBox*>(widget);
        const QRect r = widget == dialog ? widget->rect() : widget->geometry();
        out += QString("%1 %2 \"%3\" %4,%5 %6x%7 %8 %9 \"%10\"%11%12\n")
                   .arg(widget->metaObject()->className(), widget->objectName(),
                       button      ? button->text()
                           : frame ? frame->title()
                                   : widget->windowTitle())
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height())
                   .arg(widget->font().family())
                   .arg(widget->font().pointSizeF())
                   .arg(widget->toolTip(), widget->isHidden() ? " hidden" : "",
                       button && button->isChecked() ? " checked" : "");
    }
    return out;
}

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

    // Every control's caption, place, font and first state, as tests/data/problem_dialog.txt
    // holds them (QUILLORA_UPDATE_GOLDEN=1 rewrites it).
    void controlsMatchTheGoldenDescription()
    {
        const QString file = QUILLORA_TEST_DATA "/problem_dialog.txt";
        if (qEnvironmentVariableIsSet("QUILLORA_UPDATE_GOLDEN")) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(describe(m_dialog.get()).toUtf8()));
        }
        QCOMPARE(describe(m_dialog.get()), QString::fromUtf8(readAll(file)));
        const Qt::WindowFlags flags = m_dialog->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint && flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    }

    // Each picture button shows its equation, and its pressed look, as the golden pictures do.
    void pictureButtonsMatchTheGoldenPictures()
    {
        click(m_dialog.get(), "optFB");
        for (int i = 1; i <= 5; ++i) {
            const QString name = QString("optFB%1").arg(i);
            auto* button = child<QAbstractButton>(m_dialog.get(), name);
            QCOMPARE(button->accessibleName(), button->toolTip());
            QVERIFY2(matchesGolden(button->grab().toImage(), name), qPrintable(name));
            click(m_dialog.get(), name);
            QVERIFY2(matchesGolden(button->grab().toImage(), name + "-checked"), qPrintable(name));
        }
    }

    // Each frame keeps its choice while hidden, and is one group: a second choice replaces the
    // first, picture buttons and "mixed" included.
    void framesKeepTheirChoiceAndFormOneGroup()
    {
        const auto checked = [this](const QStringList& names) {
            QStringList out;
            for (const QString& name : names)
                if (child<QAbstractButton>(m_dialog.get(), name)->isChecked())
                    out << name;
            return out;
        };
        const auto visible = [this] {
            QStringList out;
            for (auto* frame : m_dialog->findChildren<QGroupBox*>())
                if (frame->isVisible())
                    out << frame->objectName();
            return out;
        };
        for (const char* name : { "optEquations", "optEQ3", "optFactoring", "optPST" })
            click(m_dialog.get(), name);
        QCOMPARE(visible(), (QStringList { "Frame1", "framFactoring" }));
        click(m_dialog.get(), "optEquations");
        QCOMPARE(visible(), (QStringList { "Frame1", "framEquations" }));
        QCOMPARE(checked({ "optEquations", "optEQ3", "optPST" }),
            (QStringList { "optEquations", "optEQ3", "optPST" }));
        click(m_dialog.get(), "optEQmixed");
        QCOMPARE(checked({ "optEQ3", "optEQmixed", "optAdd" }),
            (QStringList { "optEQmixed", "optAdd" }));
        const QStringList fb { "optFB2", "optFB5", "optFBmixed" };
        click(m_dialog.get(), "optFB");
        for (const QString& name : fb) {
            click(m_dialog.get(), name);
            QCOMPARE(checked(fb), QStringList { name });
        }
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
            QTest::addRow("%s %s", family, qPrintable(clicks.join(' ')))
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
        QVERIFY(child<QAbstractButton>(m_dialog.get(), clicks.last())->isChecked());
        QString blank = "Multiplying Binomials\n\n\n\n";
        for (int row = 0; row < 15; ++row)
            blank += QString(35, ' ') + "\n\n\n";
        QVERIFY(!form.isEmpty() || box->toPlainText() == blank);
    }

    void handOverFollowsTheFramesOrder_data()
    {
        QTest::addColumn<QString>("familyOption");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("binomials")
            << "optMultBin" << QStringList { "size 12", "show", "Multiplying Binomials" };
        QTest::newRow("fraction equations")
            << "optFB" << QStringList { "size 10", "show", "Solving Linear Equations" };
        QTest::newRow("fractions") << "optFractions" << QStringList { "show", "Fractions" };
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

    // Without a family "Make It!" does nothing. Enter presses the focused button; Esc leaves
    // the dialog open; "Quit" asks to end.
    void keysAndQuit()
    {
        click(m_dialog.get(), "cmdMake");
        QVERIFY(!m_main->isVisible() && !m_main->isLoaded());
        click(m_dialog.get(), "optMultBin");
        auto* cmdMake = child<QAbstractButton>(m_dialog.get(), "cmdMake");
        m_dialog->activateWindow();
        cmdMake->setFocus();
        QTRY_VERIFY(cmdMake->hasFocus());
        QTest::keyClick(cmdMake, Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible() && !m_main->isLoaded());
        QTest::keyClick(cmdMake, Qt::Key_Return);
        QVERIFY(m_main->worksheetWindow()->textBox()->toPlainText().startsWith("Multiplying"));
        QSignalSpy quit(m_dialog.get(), &ProblemDialog::quitRequested);
        QTest::keyClick(child(m_dialog.get(), "Command1"), Qt::Key_Enter);
        click(m_dialog.get(), "Command1");
        QCOMPARE(quit.count(), 2);
    }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ProblemDialog> m_dialog;
};

QTEST_MAIN(ProblemDialogTest)
#include "problem_dialog_test.moc"
