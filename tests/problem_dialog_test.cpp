// The problem dialog: its controls against a golden description and golden pictures, frame
// switching and keys. What a run hands over is checked by the random session.

#include "app/DocumentWindow.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QDebug>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTextEdit>

using namespace quillora;
using namespace quillora::test;

namespace {

// One line per named control: class, name, caption, geometry, font, tool tip and state.
QString describe(QWidget* dialog)
{
    QString out;
    for (QWidget* widget : QList { dialog } + dialog->findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        auto* frame = qobject_cast<QGroupBox*>(widget);
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_"))
            QDebug(&out) << widget->metaObject()->className() << widget->objectName()
                         << (button         ? button->text()
                                    : frame ? frame->title()
                                            : widget->windowTitle())
                         << (widget == dialog ? widget->rect() : widget->geometry())
                         << widget->font().family() << widget->font().pointSizeF()
                         << widget->toolTip() << widget->isHidden()
                         << (button && button->isChecked()) << widget->windowFlags() << "\n";
    }
    return out;
}

} // namespace

class ProblemDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_main = new MainWindow;
        m_dialog = new ProblemDialog(m_main);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
    }
    void cleanup()
    {
        delete m_dialog;
        delete m_main;
    }

    // Every control's caption, place, font and first state, as tests/data/problem_dialog.txt
    // holds them (QUILLORA_UPDATE_GOLDEN=1 rewrites it). The fixed-size window's flags offer
    // minimize and close, no maximize.
    void controlsMatchTheGoldenDescription()
    {
        QFile golden(QUILLORA_TEST_DATA "/problem_dialog.txt");
        if (qEnvironmentVariableIsSet("QUILLORA_UPDATE_GOLDEN"))
            QVERIFY(golden.open(QIODevice::WriteOnly) && golden.write(describe(m_dialog).toUtf8()));
        QCOMPARE(describe(m_dialog), QString::fromUtf8(readAll(golden.fileName())));
    }

    // Each picture button shows its equation, and its pressed look, as the golden pictures do.
    void pictureButtonsMatchTheGoldenPictures()
    {
        click(m_dialog, "optFB");
        for (const QString name : { "optFB1", "optFB2", "optFB3", "optFB4", "optFB5" }) {
            auto* button = child<QAbstractButton>(m_dialog, name);
            QCOMPARE(button->accessibleName(), button->toolTip());
            QVERIFY2(matchesGolden(button->grab().toImage(), name), qPrintable(name));
            click(m_dialog, name);
            QVERIFY2(matchesGolden(button->grab().toImage(), name + "-checked"), qPrintable(name));
        }
    }

    // A family shows its frame alone. (The random session checks what each choice makes.)
    void familiesShowTheirFrames()
    {
        const char* frames[][2] { { "optFractions", "framOperation" },
            { "optEquations", "framEquations" }, { "optFB", "framFB" },
            { "optMultBin", "framBinomial" }, { "optFactoring", "framFactoring" } };
        for (const auto& [option, frame] : frames) {
            click(m_dialog, option);
            for (auto* box : m_dialog->findChildren<QGroupBox*>())
                QCOMPARE(
                    box->isVisible(), box->objectName() == "Frame1" || box->objectName() == frame);
        }
    }

    // Without a family "Make It!" does nothing. Enter presses the focused button; Esc leaves
    // the dialog open; "Quit" asks to end.
    void keysAndQuit()
    {
        click(m_dialog, "cmdMake");
        QVERIFY(!m_main->isVisible() && !m_main->isLoaded());
        click(m_dialog, "optMultBin");
        auto* cmdMake = child(m_dialog, "cmdMake");
        m_dialog->activateWindow();
        cmdMake->setFocus();
        QTRY_VERIFY(cmdMake->hasFocus());
        QTest::keyClick(cmdMake, Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible() && !m_main->isLoaded());
        QTest::keyClick(cmdMake, Qt::Key_Return);
        QVERIFY(m_main->worksheetWindow()->textBox()->toPlainText().startsWith("Multiplying"));
        QSignalSpy quit(m_dialog, &ProblemDialog::quitRequested);
        QTest::keyClick(child(m_dialog, "Command1"), Qt::Key_Enter);
        click(m_dialog, "Command1");
        QCOMPARE(quit.count(), 2);
    }

private:
    MainWindow* m_main = nullptr;
    ProblemDialog* m_dialog = nullptr;
};

QTEST_MAIN(ProblemDialogTest)
#include "problem_dialog_test.moc"
