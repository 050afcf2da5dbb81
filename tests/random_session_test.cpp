// A long session of random use: clicks in the problem dialog, worksheets made, windows closed,
// minimized, maximized and resized, documents typed in, saved and printed. After every action
// the windows must still hold what the actions so far imply, and nothing may be written outside
// the session's own folders.

#include "app/DocumentWindow.h"
#include "app/MainWindow.h"
#include "app/Module1.h"
#include "dialog/ProblemDialog.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"
#include "window_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>

#include <optional>
#include <random>
#include <vector>

using namespace quillora;
using namespace quillora::test;

namespace {

constexpr int Actions = 2000;
constexpr unsigned SessionSeed = 20240611;
// Printing to PDF is slow: later prints are cancelled in the print dialog instead.
constexpr int PdfPrints = 6;

struct FormButton {
    const char* button;
    const char* form;
};

struct FamilyModel {
    const char* option;
    const char* catalogueName;
    std::vector<FormButton> forms;
    int chosen; // index into forms, -1 while none is selected
};

std::vector<FamilyModel> dialogFamilies()
{
    return {
        { "optFractions", "fractions",
            { { "optAdd", "addition" }, { "optSubtraction", "subtraction" },
                { "optDiv", "division" }, { "optMult", "multiplication" },
                { "optMixed", "mixed" } },
            0 },
        { "optEquations", "equations",
            { { "optEQ1", "EQ1" }, { "optEQ2", "EQ2" }, { "optEQ3", "EQ3" }, { "optEQ4", "EQ4" },
                { "optEQ5", "EQ5" }, { "optEQ6", "EQ6" }, { "optEQmixed", "mixed" } },
            -1 },
        { "optFB", "fraction-equations",
            { { "optFB1", "FB1" }, { "optFB2", "FB2" }, { "optFB3", "FB3" }, { "optFB4", "FB4" },
                { "optFB5", "FB5" }, { "optFBmixed", "mixed" } },
            -1 },
        { "optMultBin", "binomials",
            { { "optBin1", "Bin1" }, { "optBin2", "Bin2" }, { "optBin3", "Bin3" },
                { "optBin4", "Bin4" }, { "optBin5", "Bin5" }, { "optBin6", "Bin6" },
                { "optBin7", "Bin7" }, { "optBin8", "Bin8" }, { "optBinMixed", "mixed" } },
            -1 },
        { "optFactoring", "factoring",
            { { "optEGF", "EGF" }, { "optHGF", "HGF" }, { "optEGFGCF", "EGFGCF" },
                { "optHGFGCF", "HGFGCF" }, { "optGCF", "GCF" }, { "optDOTS", "DOTS" },
                { "optPST", "PST" }, { "optFmixed", "mixed" } },
            -1 },
    };
}

struct FileStamp {
    qint64 size;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};

// Every file under the folders, with its size and modification time.
QMap<QString, FileStamp> snapshot(const QStringList& roots, const QString& excluded)
{
    QMap<QString, FileStamp> files;
    for (const QString& root : roots) {
        QDirIterator it(
            root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(excluded))
                continue;
            const QFileInfo info(path);
            files.insert(path, { info.size(), info.lastModified() });
        }
    }
    return files;
}

QString describeChanges(const QMap<QString, FileStamp>& before,
    const QMap<QString, FileStamp>& after, const QString& allowedPrefix)
{
    QStringList changed;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.key().startsWith(allowedPrefix))
            continue;
        if (!before.contains(it.key()) || before.value(it.key()) != it.value())
            changed << it.key();
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!it.key().startsWith(allowedPrefix) && !after.contains(it.key()))
            changed << it.key() + QStringLiteral(" (removed)");
    }
    return changed.join(QStringLiteral(", "));
}

} // namespace

class RandomSessionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void worksheetMadeWhileMinimizedIsTheOneSaved();
    void twoThousandRandomActions();

private:
    enum class Action {
        ClickFamily,
        ClickForm,
        ClickCheckBox,
        MakeIt,
        CloseWorksheet,
        CloseMain,
        Exit,
        MainWindowState,
        DocumentWindowState,
        ActivateDocument,
        Type,
        Select,
        Save,
        Print,
    };

    void perform(Action action);
    void check();
    QString failure(const QString& what) const;

    QAbstractButton* button(const char* name) const
    {
        return m_module->dialog()->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QMdiArea* mdiArea() const { return child<QMdiArea>(m_module->mainWindow(), "mdiArea"); }
    DocumentWindow* worksheet() const;
    QList<QMdiSubWindow*> subWindows() const { return mdiArea()->subWindowList(); }
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::unique_ptr<Module1> m_module;
    ScriptedCommonDialog* m_commonDialog = nullptr;
    QTemporaryDir m_output;
    std::mt19937 m_random { SessionSeed };
    std::vector<FamilyModel> m_families = dialogFamilies();
    int m_family = -1;
    bool m_fractionAnswers = false;

    // What the worksheet window must hold while it is not edited.
    std::optional<QString> m_expectedText;
    double m_expectedSize = FreshWindowFontSize;
    bool m_edited = false;

    QMap<QMdiSubWindow*, int> m_numbers;
    int m_highestNumber = 0;
    int m_pdfPrints = 0;
    int m_saves = 0;
    int m_step = 0;
    QStringList m_log;

    QStringList m_watched;
    QString m_allowedSettings;
    QMap<QString, FileStamp> m_baseline;
};

void RandomSessionTest::initTestCase()
{
    QVERIFY(m_output.isValid());
    // Relative paths would land here, where the snapshot sees them.
    QVERIFY(QDir::setCurrent(QDir::tempPath()));
    store().clear();
    m_module = std::make_unique<Module1>();
    m_module->start();
    m_commonDialog = new ScriptedCommonDialog;
    m_module->mainWindow()->setCommonDialog(m_commonDialog);
    QVERIFY(QTest::qWaitForWindowExposed(m_module->dialog()));

    // The settings file is the one file outside the output folder the program may write.
    const QFileInfo settingsFile(store().fileName());
    QVERIFY(QDir().mkpath(settingsFile.absolutePath()));
    m_allowedSettings = QFileInfo(settingsFile.absolutePath()).canonicalFilePath()
        + QLatin1Char('/') + settingsFile.fileName();
    m_watched = QStringList { QDir::tempPath(), QDir::homePath(),
        settingsFile.absolutePath() + QStringLiteral("/..") };
    for (QString& root : m_watched)
        root = QFileInfo(root).canonicalFilePath();
    m_watched.removeDuplicates();
    m_baseline = snapshot(m_watched, m_output.path());
}

// Save acts on the window the last worksheet went to, even when the main window was minimized
// at the time and another document was active before.
void RandomSessionTest::worksheetMadeWhileMinimizedIsTheOneSaved()
{
    MainWindow* main = m_module->mainWindow();
    QTest::mouseClick(button("optFractions"), Qt::LeftButton);
    QTest::mouseClick(button("cmdMake"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QMdiSubWindow* other = subWindows().constFirst();
    QCOMPARE(other->windowTitle(), QStringLiteral("Document 1"));
    mdiArea()->setActiveSubWindow(other);
    QCOMPARE(main->activeDocument()->windowTitle(), QStringLiteral("Document 1"));

    main->showMinimized();
    QTRY_VERIFY(main->isMinimized());
    QTest::mouseClick(button("cmdMake"), Qt::LeftButton);
    QCOMPARE(main->activeDocument(), worksheet());
    main->showNormal();
    QTRY_VERIFY(!main->isMinimized());
    QCOMPARE(main->activeDocument(), worksheet());

    const QString file = m_output.filePath(QStringLiteral("minimized.rtf"));
    m_commonDialog->saveAnswers = QStringList { file };
    child<QAction>(main, "mnuFileSave")->trigger();
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().contains("Fractions"));

    // The session starts from a closed main window, as the program does.
    QVERIFY(main->close());
    m_highestNumber = 1;
    m_family = 0;
    QVERIFY(QFile::remove(file));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_baseline = snapshot(m_watched, m_output.path());
}

DocumentWindow* RandomSessionTest::worksheet() const
{
    // The worksheet window keeps the plain "Document" caption; the others are numbered.
    DocumentWindow* found = nullptr;
    for (QMdiSubWindow* sub : subWindows()) {
        auto* document = qobject_cast<DocumentWindow*>(sub->widget());
        if (document && document->windowTitle() == QLatin1String("Document"))
            found = document;
    }
    return found;
}

QString RandomSessionTest::failure(const QString& what) const
{
    return QStringLiteral("after action %1 (%2): %3\nrecent actions: %4")
        .arg(m_step)
        .arg(m_log.isEmpty() ? QString() : m_log.last(), what,
            m_log.mid(std::max<qsizetype>(0, m_log.size() - 12)).join(QStringLiteral("; ")));
}

void RandomSessionTest::perform(Action action)
{
    MainWindow* main = m_module->mainWindow();
    QTextEdit* active = main->activeDocument() ? main->activeDocument()->textBox() : nullptr;
    DocumentWindow* sheet = worksheet();

    switch (action) {
    case Action::ClickFamily: {
        m_family = pick(static_cast<int>(m_families.size()));
        m_log << QString::fromLatin1(m_families[m_family].option);
        QTest::mouseClick(button(m_families[m_family].option), Qt::LeftButton);
        break;
    }
    case Action::ClickForm: {
        // Only the selected family's frame is showing.
        if (m_family < 0)
            return perform(Action::ClickFamily);
        FamilyModel& family = m_families[m_family];
        family.chosen = pick(static_cast<int>(family.forms.size()));
        m_log << QString::fromLatin1(family.forms[family.chosen].button);
        QTest::mouseClick(button(family.forms[family.chosen].button), Qt::LeftButton);
        break;
    }
    case Action::ClickCheckBox:
        if (m_family < 0 || qstrcmp(m_families[m_family].option, "optEquations") != 0)
            return perform(Action::ClickFamily);
        m_log << QStringLiteral("chkFracOK");
        m_fractionAnswers = !m_fractionAnswers;
        QTest::mouseClick(button("chkFracOK"), Qt::LeftButton);
        break;
    case Action::MakeIt: {
        m_log << QStringLiteral("Make It");
        const bool fresh = sheet == nullptr;
        QTest::mouseClick(button("cmdMake"), Qt::LeftButton);
        if (m_family < 0)
            break;
        const FamilyModel& family = m_families[m_family];
        const FamilyEntry* entry = find_family(family.catalogueName);
        QVERIFY(entry);
        ProblemOptions options;
        if (family.chosen >= 0)
            options.selection = *parse_form(*entry, family.forms[family.chosen].form);
        options.fraction_answers_ok = entry->takes_fraction_answers && m_fractionAnswers;
        Mt19937Source random(m_module->dialog()->lastSeed());
        const RunResult result = entry->run(options, random);
        m_expectedText = QString::fromStdU16String(result.text);
        if (fresh)
            m_expectedSize = FreshWindowFontSize;
        if (result.font_size)
            m_expectedSize = *result.font_size;
        m_edited = false;
        QVERIFY2(main->isVisible() && main->isLoaded(), qPrintable(failure("main window hidden")));
        QVERIFY2(worksheet() && main->activeDocument() == worksheet(),
            qPrintable(
                failure(QStringLiteral("the active window is %1, not the new worksheet")
                            .arg(main->activeDocument() ? main->activeDocument()->windowTitle()
                                                        : QStringLiteral("none")))));
        break;
    }
    case Action::CloseWorksheet:
        if (!sheet)
            return perform(Action::MakeIt);
        m_log << QStringLiteral("close worksheet");
        QVERIFY(qobject_cast<QMdiSubWindow*>(sheet->parentWidget())->close());
        break;
    case Action::CloseMain:
        m_log << QStringLiteral("close main window");
        QVERIFY(main->close());
        break;
    case Action::Exit:
        if (!main->isVisible())
            return perform(Action::MakeIt);
        m_log << QStringLiteral("Exit");
        child<QAction>(main, "mnuFileExit")->trigger();
        break;
    case Action::MainWindowState:
        switch (pick(4)) {
        case 0:
            m_log << QStringLiteral("minimize main");
            main->showMinimized();
            break;
        case 1:
            m_log << QStringLiteral("maximize main");
            main->showMaximized();
            break;
        case 2:
            m_log << QStringLiteral("restore main");
            main->showNormal();
            break;
        default: {
            const QSize size(1 + pick(1400), 1 + pick(1100));
            m_log << QStringLiteral("resize main %1x%2").arg(size.width()).arg(size.height());
            main->resize(size);
        }
        }
        break;
    case Action::DocumentWindowState: {
        const auto subs = subWindows();
        if (subs.isEmpty())
            return perform(Action::MakeIt);
        QMdiSubWindow* sub = subs[pick(static_cast<int>(subs.size()))];
        switch (pick(4)) {
        case 0:
            m_log << QStringLiteral("minimize ") + sub->windowTitle();
            sub->showMinimized();
            break;
        case 1:
            m_log << QStringLiteral("maximize ") + sub->windowTitle();
            sub->showMaximized();
            break;
        case 2:
            m_log << QStringLiteral("restore ") + sub->windowTitle();
            sub->showNormal();
            break;
        default: {
            const QSize size(1 + pick(900), 1 + pick(700));
            m_log << QStringLiteral("resize %1 %2x%3")
                         .arg(sub->windowTitle())
                         .arg(size.width())
                         .arg(size.height());
            sub->resize(size);
        }
        }
        break;
    }
    case Action::ActivateDocument: {
        const auto subs = subWindows();
        if (subs.isEmpty())
            return perform(Action::MakeIt);
        QMdiSubWindow* sub = subs[pick(static_cast<int>(subs.size()))];
        m_log << QStringLiteral("activate ") + sub->windowTitle();
        mdiArea()->setActiveSubWindow(sub);
        break;
    }
    case Action::Type: {
        if (!active)
            return perform(Action::ActivateDocument);
        static const QString alphabet = QStringLiteral("ax+-=()12 {}\\\t\u00b2\u00f7");
        QString typed;
        for (int i = 1 + pick(8); i > 0; --i)
            typed += alphabet[pick(static_cast<int>(alphabet.size()))];
        m_log << QStringLiteral("type \"%1\" into %2")
                     .arg(typed, active->parentWidget()->windowTitle());
        const QString before = active->toPlainText();
        QTest::keyClicks(active, typed);
        if (pick(3) == 0)
            QTest::keyClick(active, pick(2) ? Qt::Key_Backspace : Qt::Key_Return);
        if (active->parentWidget() == sheet && active->toPlainText() != before)
            m_edited = true;
        break;
    }
    case Action::Select: {
        if (!active)
            return perform(Action::ActivateDocument);
        m_log << QStringLiteral("select in ") + active->parentWidget()->windowTitle();
        if (pick(4) == 0) {
            QTest::keyClick(active, Qt::Key_A, Qt::ControlModifier);
        } else {
            QTest::keyClick(active, pick(2) ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
            for (int i = pick(12); i > 0; --i)
                QTest::keyClick(active, pick(3) ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
        }
        break;
    }
    case Action::Save: {
        if (!main->isVisible())
            return perform(Action::MakeIt);
        const bool cancel = pick(5) == 0;
        const QString file = m_output.filePath(QStringLiteral("save%1.rtf").arg(m_saves++));
        m_commonDialog->saveAnswers = QStringList { cancel ? QString() : file };
        m_log << (cancel ? QStringLiteral("Save, cancelled") : QStringLiteral("Save ") + file);
        if (pick(2))
            child<QAction>(main, "mnuFileSave")->trigger();
        else
            child<QAction>(main, "tbToolBarSave")->trigger();
        if (!cancel && active) {
            QFile saved(file);
            QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(failure("nothing saved")));
            const QByteArray bytes = saved.readAll();
            QVERIFY2(bytes.startsWith("{\\rtf1") && bytes.trimmed().endsWith('}'),
                qPrintable(failure("not a whole RTF file")));
        }
        break;
    }
    case Action::Print: {
        if (!main->isVisible())
            return perform(Action::MakeIt);
        const bool toPdf = active && m_pdfPrints < PdfPrints;
        const QString file = m_output.filePath(QStringLiteral("print%1.pdf").arg(m_pdfPrints));
        m_commonDialog->printAnswer
            = ScriptedCommonDialog::PrintAnswer { toPdf, file, pick(2) == 0 };
        m_log << (toPdf ? QStringLiteral("Print ") + file : QStringLiteral("Print, cancelled"));
        child<QAction>(main, "mnuFilePrint")->trigger();
        if (toPdf) {
            ++m_pdfPrints;
            QFile printed(file);
            QVERIFY2(printed.open(QIODevice::ReadOnly) && printed.read(5) == "%PDF-",
                qPrintable(failure("no PDF printed")));
        }
        break;
    }
    }
}

void RandomSessionTest::check()
{
    // Closed windows go at the next pass of the event loop.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    MainWindow* main = m_module->mainWindow();
    QVERIFY2(m_module->dialog()->isVisible(), qPrintable(failure("the dialog went away")));
    QVERIFY2(m_commonDialog->warnings.isEmpty(),
        qPrintable(failure(QStringLiteral("warned: ") + m_commonDialog->warnings.join('|'))));

    int worksheets = 0;
    static const QRegularExpression numbered(QStringLiteral("^Document (\\d+)$"));
    QMap<QMdiSubWindow*, int> numbers;
    for (QMdiSubWindow* sub : subWindows()) {
        auto* document = qobject_cast<DocumentWindow*>(sub->widget());
        QVERIFY2(document, qPrintable(failure("a child window without a document")));
        const QString title = document->windowTitle();
        if (title == QLatin1String("Document")) {
            ++worksheets;
            continue;
        }
        const QRegularExpressionMatch match = numbered.match(title);
        QVERIFY2(match.hasMatch(), qPrintable(failure(QStringLiteral("caption ") + title)));
        const int number = match.captured(1).toInt();
        if (m_numbers.contains(sub)) {
            QVERIFY2(m_numbers.value(sub) == number, qPrintable(failure("a caption changed")));
        } else {
            QVERIFY2(number > m_highestNumber,
                qPrintable(failure(
                    QStringLiteral("%1 after Document %2").arg(title).arg(m_highestNumber))));
            m_highestNumber = number;
        }
        numbers.insert(sub, number);
    }
    m_numbers = numbers;
    QVERIFY2(worksheets <= 1,
        qPrintable(failure(QStringLiteral("%1 worksheet windows").arg(worksheets))));
    QVERIFY2(subWindows().isEmpty() || main->isLoaded(),
        qPrintable(failure("windows left in an unloaded main window")));

    if (DocumentWindow* sheet = worksheet()) {
        QVERIFY2(m_expectedText, qPrintable(failure("a worksheet window with no worksheet")));
        if (!m_edited) {
            QTextEdit* box = sheet->textBox();
            QVERIFY2(box->toPlainText() == *m_expectedText,
                qPrintable(failure("the worksheet window lost the last worksheet")));
            QVERIFY2(box->font().pointSizeF() == m_expectedSize,
                qPrintable(failure(QStringLiteral("worksheet at %1 points, not %2")
                                       .arg(box->font().pointSizeF())
                                       .arg(m_expectedSize))));
        }
    } else {
        // The next worksheet opens a fresh window.
        m_expectedText.reset();
        m_edited = false;
    }

    const QString changes
        = describeChanges(m_baseline, snapshot(m_watched, m_output.path()), m_allowedSettings);
    QVERIFY2(changes.isEmpty(), qPrintable(failure(QStringLiteral("touched ") + changes)));
}

void RandomSessionTest::twoThousandRandomActions()
{
    // Weighted so that worksheets are made often and the slow paths stay rare.
    const std::vector<std::pair<Action, int>> weights = {
        { Action::ClickFamily, 10 },
        { Action::ClickForm, 14 },
        { Action::ClickCheckBox, 4 },
        { Action::MakeIt, 16 },
        { Action::CloseWorksheet, 3 },
        { Action::CloseMain, 2 },
        { Action::Exit, 1 },
        { Action::MainWindowState, 6 },
        { Action::DocumentWindowState, 8 },
        { Action::ActivateDocument, 5 },
        { Action::Type, 12 },
        { Action::Select, 8 },
        { Action::Save, 6 },
        { Action::Print, 2 },
    };
    std::vector<int> w;
    for (const auto& [action, weight] : weights)
        w.push_back(weight);
    std::discrete_distribution<int> next(w.begin(), w.end());

    int made = 0;
    for (m_step = 1; m_step <= Actions; ++m_step) {
        const Action action = weights[next(m_random)].first;
        made += action == Action::MakeIt;
        perform(action);
        if (QTest::currentTestFailed())
            return;
        check();
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("%d actions: %d worksheets asked for, %d saves, %d printed, highest Document %d", Actions,
        made, m_saves, m_pdfPrints, m_highestNumber);
    QVERIFY(m_highestNumber > 1);
    QCOMPARE(m_pdfPrints, PdfPrints);
}

QTEST_MAIN(RandomSessionTest)
#include "random_session_test.moc"
