// A long session of random use: clicks in the problem dialog, worksheets made, windows closed,
// minimized, maximized and resized, documents typed in, saved and printed. After every action
// the windows must still hold what the actions so far imply, and nothing may be written outside
// the session's own folders.

#include "window_support.h"

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
        ProgramWindows windows;
        windows.start();
        MainWindow* main = windows.mainWindow();
        auto* dialogs = new ScriptedModalDialogs;
        main->setModalDialogs(dialogs);
        auto* area = child<QMdiArea>(main, "mdiArea");
        // Home, settings and temporary folders lie in one scratch folder; the output and settings
        // folders are the only places in it the program may write.
        const QString settings = QFileInfo(store().fileName()).absolutePath();
        QVERIFY(QDir().mkpath(settings));
        QStringList find { QFileInfo(QDir::homePath() + "/..").canonicalFilePath() };
        for (const QString& path : { output.path(), settings })
            find += { "-path", QFileInfo(path).canonicalFilePath() + "/*", "-prune", "-o" };
        find += { "-type", "d", "-printf", "%p/\n", "-o", "-printf", "%p %s %T@\n" };
        const QByteArray baseline = runTool("find", find);

        // The family's option, and each frame's choice (kept while hidden) as a place in the
        // catalogue's forms, the place after the last standing for "mixed".
        const QStringList options { "optFractions", "optEquations", "optFB", "optMultBin",
            "optFactoring", "optMixed", "optEQmixed", "optFBmixed", "optBinMixed", "optFmixed",
            "optAdd", "optSubtraction", "optMult", "optDiv" };
        int family = -1, chosen[5] { 0, -1, -1, -1, -1 }, highest = 0, pdfs = 0;
        bool fractionAnswers = false, edited = false;
        QString expected;
        double size = FreshWindowFontSize;
        QMap<QMdiSubWindow*, QString> captions;
        std::mt19937 random(20240611);
        const auto pick = [&random](qsizetype n) { return int(random() % quint64(n)); };
        // Weighted so that worksheets are made often and the slow paths stay rare.
        std::discrete_distribution<int> next({ 10, 14, 4, 16, 4, 3, 12, 5, 12, 8, 6, 2 });
        for (int step = 1; step <= 2000; ++step) {
            DocumentWindow* document = main->activeDocument();
            QTextEdit* active = document ? document->textBox() : nullptr;
            const auto subs = area->subWindowList();
            QMdiSubWindow* sub = subs.isEmpty() ? nullptr : subs[pick(subs.size())];
            const Family& entry = *families()[std::size_t(std::max(family, 0))];
            const int forms = int(entry.forms.size()), form = chosen[std::max(family, 0)];
            const int action = next(random), how = pick(4);
            if (action == 0)
                click(windows.dialog(), options[family = pick(5)]);
            if (action == 1 && family >= 0) {
                const int place = chosen[family] = pick(forms + 1);
                const QString name = "opt" + QString::fromLatin1(entry.forms[place % forms].code);
                click(windows.dialog(),
                    place == forms ? options[5 + family]
                        : family   ? name
                                   : options[10 + place]);
            }
            if (action == 2 && family == 1) {
                fractionAnswers = !fractionAnswers;
                click(windows.dialog(), "chkFracOK");
            }
            if (action == 3) {
                const bool fresh = !captions.values().contains("Document");
                const std::uint32_t before = clock_seed();
                // Enter presses the focused button, as in a dialog box.
                how ? click(windows.dialog(), "cmdMake")
                    : QTest::keyClick(child(windows.dialog(), "cmdMake"), Qt::Key_Return);
                // Each sheet has the clock's seed of its press (unless midnight passed).
                const std::uint32_t seed = windows.dialog()->lastSeed(), after = clock_seed();
                QVERIFY2(family < 0 || after < before || (before <= seed && seed <= after),
                    "the worksheet's seed is not the clock's");
                const QString formName = form < 0 ? ""
                    : form == forms               ? "mixed"
                                    : QString::fromLatin1(entry.forms[form % forms].code);
                if (family >= 0)
                    expected = engineSheet(entry.name, formName, windows.dialog()->lastSeed(),
                        family == 1 && fractionAnswers);
                size = family < 0 ? size
                                  : entry.font_size.value_or(fresh ? FreshWindowFontSize : size);
                edited = edited && family < 0;
                QVERIFY2(family < 0 || main->activeDocument()->windowTitle() == "Document",
                    "the new worksheet is not the active window");
            }
            if (action == 4 && sub)
                sub->close();
            if (action == 5)
                how ? void(main->close()) : child<QAction>(main, "mnuFileExit")->trigger();
            QWidget* window = pick(3) || !sub ? static_cast<QWidget*>(main) : sub;
            if (action == 6 && how < 3)
                window->setWindowState(std::array {
                    Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowNoState }[how]);
            else if (action == 6)
                window->resize(1 + pick(1200), 1 + pick(900));
            if (action == 7 && sub)
                area->setActiveSubWindow(sub);
            if (action == 8 && active) {
                const QString before = active->toPlainText();
                for (int i = 1 + pick(8); i > 0; --i)
                    QTest::keyClicks(
                        active, QString("ax+-=()12 {}\\\t\u00b2\u00f7").mid(pick(16), 1));
                QTest::keyClick(active, how & 1 ? Qt::Key_Return : Qt::Key_Backspace);
                edited |= document->windowTitle() == "Document" && active->toPlainText() != before;
            }
            if (action == 9 && active) {
                QTest::keyClick(active, how & 1 ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
                for (int i = pick(12); i > 0; --i)
                    QTest::keyClick(
                        active, how & 2 ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
            }
            if (action == 10) {
                const QString file = output.filePath(QString("save%1.rtf").arg(step));
                dialogs->saveAnswers = QStringList(how ? file : QString()); // or cancelled
                child<QAction>(main, how & 1 ? "mnuFileSave" : "tbToolBarSave")->trigger();
                const QByteArray bytes = readAll(file).trimmed();
                QVERIFY2(!how || !active || (bytes.startsWith("{\\rtf1") && bytes.endsWith('}')),
                    "no whole RTF file saved");
            }
            if (action == 11) { // printing to PDF is slow: after a few, prints are cancelled
                const QString file = output.filePath(QString("print%1.pdf").arg(pdfs));
                dialogs->pdf = active && pdfs < 6 ? std::optional(file) : std::nullopt;
                dialogs->printSelection = how & 1;
                child<QAction>(main, "mnuFilePrint")->trigger();
                QVERIFY2(!dialogs->pdf || (readAll(file).startsWith("%PDF-") && ++pdfs), "no PDF");
            }

            QCoreApplication::processEvents(); // closed windows go now
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            // Captions: one plain "Document" at most; the numbers never change and only grow.
            QMap<QMdiSubWindow*, QString> now;
            DocumentWindow* sheet = nullptr;
            for (QMdiSubWindow* sub : area->subWindowList()) {
                const QString title = now[sub] = sub->widget()->windowTitle();
                const int number = title.mid(9).toInt();
                QVERIFY2(captions.value(sub, title) == title
                        && (title == "Document" || captions.contains(sub)
                            || (title == QString("Document %1").arg(number) && number > highest)),
                    qPrintable("caption " + title));
                QVERIFY2(!sheet || title != "Document", "two worksheet windows");
                highest = std::max(highest, number);
                sheet = title == "Document" ? qobject_cast<DocumentWindow*>(sub->widget()) : sheet;
            }
            captions = now;
            QVERIFY2(!sheet || edited
                    || (sheet->textBox()->toPlainText() == expected
                        && sheet->textBox()->font().pointSizeF() == size),
                "the worksheet window lost the worksheet");
            edited &= sheet != nullptr; // the next worksheet opens a fresh window
            QVERIFY2(windows.dialog()->isVisible() && dialogs->warnings.isEmpty(),
                "no dialog, or warned");
            QVERIFY2(now.isEmpty() || main->isLoaded(), "windows in an unloaded main window");
            QVERIFY2(
                runTool("find", find) == baseline, "a file outside the session's folders changed");
        }
        QVERIFY(highest > 1);
        QCOMPARE(pdfs, 6);
    }
};

QTEST_MAIN(RandomSessionTest)
#include "random_session_test.moc"
