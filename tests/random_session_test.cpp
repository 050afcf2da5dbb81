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

class RandomSessionTest : public QObject {
    Q_OBJECT

private slots:
    void twoThousandRandomActions()
    {
        QTemporaryDir output;
        QVERIFY(QDir::setCurrent(QDir::tempPath())); // relative paths land where it is watched
        Module1 module;
        module.start();
        MainWindow* main = module.mainWindow();
        auto* dialogs = new ScriptedCommonDialog;
        main->setCommonDialog(dialogs);
        auto* area = child<QMdiArea>(main, "mdiArea");
        // The settings file is the one file outside the output folder the program may write.
        const QString settings = QFileInfo(store().fileName()).absolutePath();
        QVERIFY(QDir().mkpath(settings));
        QStringList find;
        for (const QString& root : { QDir::tempPath(), QDir::homePath(), settings + "/.." })
            find << QFileInfo(root).canonicalFilePath();
        for (const QString& path : { output.path(), settings })
            find << "-path" << QFileInfo(path).canonicalFilePath() + "/*"
                 << "-prune"
                 << "-o";
        find << "-type"
             << "d"
             << "-printf"
             << "%p/\n"
             << "-o"
             << "-printf"
             << "%p %s %T@\n";
        const QByteArray baseline = runTool("find", find);

        // The dialog's choices: the family's option, and each frame's choice (kept while
        // hidden) as a place in the catalogue's forms, the last place standing for "mixed".
        const char* const options[] { "optFractions", "optEquations", "optFB", "optMultBin",
            "optFactoring" };
        const char* const mixed[] { "optMixed", "optEQmixed", "optFBmixed", "optBinMixed",
            "optFmixed" };
        const QStringList operations { "optAdd", "optSubtraction", "optMult", "optDiv" };
        int family = -1, chosen[5] { 0, -1, -1, -1, -1 }, highest = 0, pdfs = 0;
        bool fractionAnswers = false, edited = false;
        QString expected;
        double size = FreshWindowFontSize;
        QMap<QMdiSubWindow*, QString> captions;
        std::mt19937 random(20240611);
        const auto pick = [&random](qsizetype n) { return int(random() % quint64(n)); };
        QStringList log;
        const auto checked = [&](bool condition, const QString& what) {
            if (!condition)
                QTest::qFail(qPrintable(what + "\nrecent: " + log.mid(log.size() - 12).join("; ")),
                    __FILE__, __LINE__);
            return condition;
        };
        // Weighted so that worksheets are made often and the slow paths stay rare.
        std::discrete_distribution<int> next({ 10, 14, 4, 16, 4, 3, 12, 5, 12, 8, 6, 2 });
        for (int step = 1; step <= 2000; ++step) {
            QTextEdit* active
                = main->activeDocument() ? main->activeDocument()->textBox() : nullptr;
            const auto subs = area->subWindowList();
            QMdiSubWindow* sub = subs.isEmpty() ? nullptr : subs[pick(subs.size())];
            const FamilyEntry& entry = families()[std::max(family, 0)];
            const int forms = int(entry.forms.size()), action = next(random);
            const int form = chosen[std::max(family, 0)];
            log << QString("%1: %2").arg(step).arg(action);
            if (action == 0)
                click(module.dialog(), options[family = pick(5)]);
            if (action == 1 && family >= 0) {
                const int place = chosen[family] = pick(forms + 1);
                click(module.dialog(),
                    place == forms    ? mixed[family]
                        : family == 0 ? operations[place]
                                      : "opt" + QString::fromLatin1(entry.forms[place]));
            }
            if (action == 2 && family == 1) {
                fractionAnswers = !fractionAnswers;
                click(module.dialog(), "chkFracOK");
            }
            if (action == 3) {
                const bool fresh = !captions.values().contains("Document");
                click(module.dialog(), "cmdMake");
                if (family >= 0) {
                    expected = engineSheet(entry.name,
                        form < 0            ? ""
                            : form == forms ? "mixed"
                                            : QString::fromLatin1(entry.forms[form]),
                        module.dialog()->lastSeed(), family == 1 && fractionAnswers);
                    size = entry.font_size.value_or(fresh ? FreshWindowFontSize : size);
                    edited = false;
                    if (!checked(main->isVisible()
                                && main->activeDocument()->windowTitle() == "Document",
                            "the new worksheet is not in view"))
                        return;
                }
            }
            if (action == 4 && sub)
                sub->close();
            if (action == 5)
                pick(2) ? void(main->close()) : child<QAction>(main, "mnuFileExit")->trigger();
            if (action == 6) {
                QWidget* window = pick(3) || !sub ? static_cast<QWidget*>(main) : sub;
                const int how = pick(4);
                how == 0       ? window->showMinimized()
                    : how == 1 ? window->showMaximized()
                    : how == 2 ? window->showNormal()
                               : window->resize(1 + pick(1200), 1 + pick(900));
            }
            if (action == 7 && sub)
                area->setActiveSubWindow(sub);
            if (action == 8 && active) {
                const QString before = active->toPlainText(),
                              alphabet = "ax+-=()12 {}\\\t\u00b2\u00f7";
                for (int i = 1 + pick(8); i > 0; --i)
                    QTest::keyClick(active, alphabet[pick(alphabet.size())].toLatin1());
                QTest::keyClick(active,
                    std::array { Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Space }[pick(3)]);
                edited |= active->parentWidget()->windowTitle() == "Document"
                    && active->toPlainText() != before;
            }
            if (action == 9 && active) {
                QTest::keyClick(active, pick(2) ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
                for (int i = pick(12); i > 0; --i)
                    QTest::keyClick(
                        active, pick(3) ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
            }
            if (action == 10) {
                const QString file = output.filePath(QString("save%1.rtf").arg(step));
                const bool cancel = pick(5) == 0;
                dialogs->saveAnswers = QStringList(cancel ? QString() : file);
                child<QAction>(main, pick(2) ? "mnuFileSave" : "tbToolBarSave")->trigger();
                const QByteArray bytes = readAll(file);
                if (!checked(cancel || !active
                            || bytes.startsWith("{\\rtf1") && bytes.trimmed().endsWith('}'),
                        "no whole RTF file saved"))
                    return;
            }
            if (action == 11) { // printing to PDF is slow: after a few, prints are cancelled
                const QString file = output.filePath(QString("print%1.pdf").arg(pdfs));
                dialogs->pdf = active && pdfs < 6 ? std::optional(file) : std::nullopt;
                dialogs->printSelection = pick(2);
                child<QAction>(main, "mnuFilePrint")->trigger();
                if (dialogs->pdf
                    && !checked(readAll(file).startsWith("%PDF-") && ++pdfs, "no PDF printed"))
                    return;
            }

            QCoreApplication::processEvents(); // closed windows go now
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            // Captions: one plain "Document" at most; the numbers never change and only grow.
            QMap<QMdiSubWindow*, QString> now;
            for (QMdiSubWindow* sub : area->subWindowList()) {
                const QString title = now[sub] = sub->widget()->windowTitle();
                const int number = title.mid(9).toInt();
                if (!checked(captions.value(sub, title) == title
                            && (title == "Document" || captions.contains(sub)
                                || (title == QString("Document %1").arg(number)
                                    && number > highest)),
                        "caption " + title))
                    return;
                highest = std::max(highest, number);
            }
            captions = now;
            DocumentWindow* sheet = nullptr;
            for (QMdiSubWindow* sub : area->subWindowList())
                if (sub->widget()->windowTitle() == "Document"
                    && !checked(!sheet, "two worksheet windows"))
                    return;
                else if (sub->widget()->windowTitle() == "Document")
                    sheet = qobject_cast<DocumentWindow*>(sub->widget());
            const bool kept = !sheet || edited
                || (sheet->textBox()->toPlainText() == expected
                    && sheet->textBox()->font().pointSizeF() == size);
            edited &= sheet != nullptr; // the next worksheet opens a fresh window
            if (!checked(kept, "the worksheet window lost the worksheet")
                || !checked(module.dialog()->isVisible() && dialogs->warnings.isEmpty(),
                    "the dialog went away, or a warning")
                || !checked(area->subWindowList().isEmpty() || main->isLoaded(),
                    "windows in an unloaded main window")
                || !checked(runTool("find", find) == baseline,
                    "a file outside the session's folders changed"))
                return;
        }
        QVERIFY(highest > 1);
        QCOMPARE(pdfs, 6);
    }
};

QTEST_MAIN(RandomSessionTest)
#include "random_session_test.moc"
