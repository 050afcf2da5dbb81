// A long session of random use: clicks in the problem dialog, worksheets made, windows closed,
// minimized, maximized and resized, documents typed in, saved and printed. After every action
// the windows must still hold what the actions so far imply, and nothing may be written outside
// the session's own folders.

#include "app/DocumentWindow.h"
#include "app/Module1.h"
#include "dialog/ProblemDialog.h"
#include "window_support.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTextEdit>

#include <random>

using namespace quillora;
using namespace quillora::test;

#define CHECK(condition, what)                                                                     \
    QVERIFY2(condition,                                                                            \
        qPrintable(QString("after action %1: %2\nrecent: %3")                                      \
                       .arg(step)                                                                  \
                       .arg(what, m_log.mid(m_log.size() - 12).join("; "))))

namespace {

// The family options in the catalogue's order, each with its frame's form buttons.
const char* const FamilyOptions[] { "optFractions", "optEquations", "optFB", "optMultBin",
    "optFactoring" };
const QStringList MixedOptions { "optMixed", "optEQmixed", "optFBmixed", "optBinMixed",
    "optFmixed" };
const QStringList OperationOptions { "optAdd", "optSubtraction", "optMult", "optDiv" };

} // namespace

class RandomSessionTest : public QObject {
    Q_OBJECT

private slots:
    void twoThousandRandomActions()
    {
        QTemporaryDir output;
        QVERIFY(QDir::setCurrent(QDir::tempPath())); // relative paths land where it is watched
        store().clear();
        Module1 module;
        module.start();
        auto* dialogs = new ScriptedCommonDialog;
        MainWindow* main = module.mainWindow();
        main->setCommonDialog(dialogs);
        auto* area = child<QMdiArea>(main, "mdiArea");
        // The settings file is the one file outside the output folder the program may write.
        const QFileInfo settings(store().fileName());
        QVERIFY(QDir().mkpath(settings.absolutePath()));
        const QStringList allowed { output.path(),
            QFileInfo(settings.absolutePath()).canonicalFilePath() + '/' + settings.fileName() };
        QStringList watched;
        for (const QString& root :
            { QDir::tempPath(), QDir::homePath(), settings.absolutePath() + "/.." })
            watched << QFileInfo(root).canonicalFilePath();
        watched.removeDuplicates();
        const auto baseline = snapshot(watched, allowed);

        std::mt19937 random(20240611);
        const auto pick = [&random](qsizetype n) {
            return int(std::uniform_int_distribution<qsizetype>(0, n - 1)(random));
        };
        int family = -1, highest = 0, pdfs = 0;
        int chosen[5] { 0, -1, -1, -1, -1 }; // each frame keeps its choice while hidden
        bool fractionAnswers = false, edited = false;
        std::optional<QString> expected;
        double expectedSize = FreshWindowFontSize;
        QMap<QMdiSubWindow*, int> numbers;
        const auto worksheet = [area]() -> DocumentWindow* {
            for (QMdiSubWindow* sub : area->subWindowList())
                if (sub->widget()->windowTitle() == "Document")
                    return qobject_cast<DocumentWindow*>(sub->widget());
            return nullptr;
        };
        const auto clickOn = [&](const QString& button) {
            m_log << button;
            click(module.dialog(), button);
        };
        const auto changeState = [&](QWidget* window, int width, int height) {
            const int how = pick(4);
            m_log << QString("state %1 of %2").arg(how).arg(window->windowTitle());
            how == 0       ? window->showMinimized()
                : how == 1 ? window->showMaximized()
                : how == 2 ? window->showNormal()
                           : window->resize(1 + pick(width), 1 + pick(height));
        };

        // Weighted so that worksheets are made often and the slow paths stay rare.
        const int weights[] = { 10, 14, 4, 16, 3, 2, 1, 6, 8, 5, 12, 8, 6, 2 };
        std::discrete_distribution<int> next(std::begin(weights), std::end(weights));
        for (int step = 1; step <= 2000; ++step) {
            QTextEdit* active
                = main->activeDocument() ? main->activeDocument()->textBox() : nullptr;
            DocumentWindow* sheet = worksheet();
            const auto subs = area->subWindowList();
            const FamilyEntry& entry = families()[std::max(family, 0)];
            int& form = chosen[std::max(family, 0)];
            switch (next(random)) {
            case 0: // a family
                family = pick(5);
                clickOn(FamilyOptions[family]);
                break;
            case 1: // a form of the shown frame, or "mixed"
                if (family < 0)
                    break;
                form = pick(qsizetype(entry.forms.size()) + 1);
                clickOn(form == qsizetype(entry.forms.size()) ? MixedOptions[family]
                        : family == 0                         ? OperationOptions[form]
                                      : "opt" + QString::fromLatin1(entry.forms[form]));
                break;
            case 2:
                if (family == 1) {
                    fractionAnswers = !fractionAnswers;
                    clickOn("chkFracOK");
                }
                break;
            case 3: {
                clickOn("cmdMake");
                if (family < 0)
                    break;
                std::optional<double> size;
                const QString formName = form < 0 ? ""
                    : form == qsizetype(entry.forms.size())
                    ? "mixed"
                    : QString::fromLatin1(entry.forms[form]);
                expected = engineSheet(entry.name.data(), formName, module.dialog()->lastSeed(),
                    family == 1 && fractionAnswers, &size);
                expectedSize = size.value_or(sheet ? expectedSize : FreshWindowFontSize);
                edited = false;
                CHECK(main->isVisible() && main->activeDocument() == worksheet(),
                    "the new worksheet is not the active window of a shown main window");
                break;
            }
            case 4:
                if (sheet)
                    sheet->parentWidget()->close();
                break;
            case 5:
                main->close();
                break;
            case 6:
                child<QAction>(main, "mnuFileExit")->trigger();
                break;
            case 7:
                changeState(main, 1400, 1100);
                break;
            case 8:
                if (!subs.isEmpty())
                    changeState(subs[pick(subs.size())], 900, 700);
                break;
            case 9:
                if (!subs.isEmpty())
                    area->setActiveSubWindow(subs[pick(subs.size())]);
                break;
            case 10: {
                if (!active)
                    break;
                static const QString alphabet = "ax+-=()12 {}\\\t\u00b2\u00f7";
                QString typed;
                for (int i = 1 + pick(8); i > 0; --i)
                    typed += alphabet[pick(alphabet.size())];
                m_log << "type " + typed;
                const QString before = active->toPlainText();
                QTest::keyClicks(active, typed);
                if (pick(3) == 0)
                    QTest::keyClick(active, pick(2) ? Qt::Key_Backspace : Qt::Key_Return);
                edited |= active->parentWidget() == sheet && active->toPlainText() != before;
                break;
            }
            case 11:
                if (!active)
                    break;
                QTest::keyClick(active, pick(2) ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
                for (int i = pick(12); i > 0; --i)
                    QTest::keyClick(
                        active, pick(3) ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
                break;
            case 12: {
                const QString file = output.filePath(QString("save%1.rtf").arg(step));
                const bool cancel = pick(5) == 0;
                dialogs->saveAnswers = QStringList(cancel ? QString() : file);
                m_log << "save " + dialogs->saveAnswers.first();
                child<QAction>(main, pick(2) ? "mnuFileSave" : "tbToolBarSave")->trigger();
                const QByteArray bytes = readAll(file);
                CHECK(cancel || !active
                        || (bytes.startsWith("{\\rtf1") && bytes.trimmed().endsWith('}')),
                    "not a whole RTF file saved");
                break;
            }
            default: {
                // Printing to PDF is slow: after a few, prints are cancelled instead.
                const QString file = output.filePath(QString("print%1.pdf").arg(pdfs));
                dialogs->pdf = active && pdfs < 6 ? std::optional(file) : std::nullopt;
                dialogs->printSelection = pick(2);
                m_log << "print";
                child<QAction>(main, "mnuFilePrint")->trigger();
                if (dialogs->pdf) {
                    ++pdfs;
                    CHECK(readAll(file).startsWith("%PDF-"), "no PDF printed");
                }
            }
            }

            QCoreApplication::processEvents(); // closed windows go now
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            CHECK(module.dialog()->isVisible(), "the dialog went away");
            CHECK(dialogs->warnings.isEmpty(), "warned: " + dialogs->warnings.join('|'));
            // Captions: one plain "Document" at most; the numbers never change and only grow.
            QMap<QMdiSubWindow*, int> now;
            int sheets = 0;
            for (QMdiSubWindow* sub : area->subWindowList()) {
                const QString title = sub->widget()->windowTitle();
                bool numbered = false;
                const int number = title.mid(9).toInt(&numbered);
                sheets += title == "Document";
                CHECK(title == "Document" || (title.startsWith("Document ") && numbered),
                    "caption " + title);
                if (!numbered)
                    continue;
                CHECK(numbers.value(sub, number) == number
                        && (numbers.contains(sub) || number > highest),
                    "caption " + title + " after " + QString::number(highest));
                highest = std::max(highest, number);
                now.insert(sub, number);
            }
            numbers = now;
            CHECK(sheets <= 1, "two worksheet windows");
            CHECK(area->subWindowList().isEmpty() || main->isLoaded(),
                "windows in an unloaded main window");
            if (DocumentWindow* sheet = worksheet()) {
                CHECK(edited || sheet->textBox()->toPlainText() == expected,
                    "the worksheet was lost");
                CHECK(edited || sheet->textBox()->font().pointSizeF() == expectedSize,
                    QString("worksheet at %1 points").arg(sheet->textBox()->font().pointSizeF()));
            } else {
                expected.reset(); // the next worksheet opens a fresh window
                edited = false;
            }
            CHECK(snapshot(watched, allowed) == baseline,
                "a file outside the session's folders changed");
        }
        QVERIFY(highest > 1);
        QCOMPARE(pdfs, 6);
    }

private:
    QStringList m_log;
};

QTEST_MAIN(RandomSessionTest)
#include "random_session_test.moc"
