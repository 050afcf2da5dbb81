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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>

#include <random>
#include <vector>

using namespace quillora;
using namespace quillora::test;

#define CHECK(condition, what) QVERIFY2(condition, qPrintable(failure(what)))

namespace {

constexpr int Actions = 2000;
constexpr int PdfPrints = 6; // printing to PDF is slow: later prints are cancelled instead

struct FamilyModel {
    const char* option;
    const char* name;
    QStringList buttons, forms; // in the catalogue's order, "mixed" last
    int chosen; // index into forms, -1 while none is selected
};

std::vector<FamilyModel> dialogFamilies()
{
    const std::pair<const char*, const char*> options[] = { { "optFractions", "optMixed" },
        { "optEquations", "optEQmixed" }, { "optFB", "optFBmixed" },
        { "optMultBin", "optBinMixed" }, { "optFactoring", "optFmixed" } };
    std::vector<FamilyModel> out;
    for (std::size_t i = 0; i < std::size(options); ++i) {
        const FamilyEntry& entry = families()[i];
        FamilyModel family { options[i].first, entry.name.data(), {}, {}, i == 0 ? 0 : -1 };
        for (const std::string_view form : entry.forms) {
            family.forms << QString::fromLatin1(form.data(), qsizetype(form.size()));
            family.buttons << "opt" + family.forms.last();
        }
        family.forms << "mixed";
        family.buttons << options[i].second;
        out.push_back(family);
    }
    out[0].buttons = QStringList { "optAdd", "optSubtraction", "optMult", "optDiv", "optMixed" };
    return out;
}

} // namespace

class RandomSessionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void worksheetMadeWhileMinimizedIsTheOneSaved();
    void twoThousandRandomActions();

private:
    // In the order of their weights below.
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
        Print
    };

    void perform(Action action);
    void changeState(QWidget* window, const QString& name, int width, int height);
    void check();
    QString failure(const QString& what) const
    {
        return QStringLiteral("after action %1 (%2): %3\nrecent actions: %4")
            .arg(m_step)
            .arg(m_log.isEmpty() ? QString() : m_log.last(), what,
                m_log.mid(m_log.size() - 12).join("; "));
    }

    MainWindow* main() const { return m_module->mainWindow(); }
    QMdiArea* mdiArea() const { return child<QMdiArea>(main(), "mdiArea"); }
    QList<QMdiSubWindow*> subWindows() const { return mdiArea()->subWindowList(); }
    DocumentWindow* worksheet() const
    {
        // The worksheet window keeps the plain "Document" caption; the others are numbered.
        DocumentWindow* found = nullptr;
        for (QMdiSubWindow* sub : subWindows())
            if (sub->widget()->windowTitle() == QLatin1String("Document"))
                found = qobject_cast<DocumentWindow*>(sub->widget());
        return found;
    }
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    void click(const QString& button)
    {
        m_log << button;
        test::click(m_module->dialog(), button);
    }

    std::unique_ptr<Module1> m_module;
    ScriptedCommonDialog* m_commonDialog = nullptr;
    QTemporaryDir m_output;
    std::mt19937 m_random { 20240611 };
    std::vector<FamilyModel> m_families = dialogFamilies();
    int m_family = -1;
    bool m_fractionAnswers = false;

    // What the worksheet window must hold while it is not edited.
    std::optional<QString> m_expectedText;
    double m_expectedSize = FreshWindowFontSize;
    bool m_edited = false;

    QMap<QMdiSubWindow*, int> m_numbers;
    int m_highestNumber = 0, m_pdfPrints = 0, m_saves = 0, m_step = 0;
    QStringList m_log;

    QStringList m_watched, m_allowed;
    QMap<QString, QByteArray> m_baseline;
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
    main()->setCommonDialog(m_commonDialog);
    QVERIFY(QTest::qWaitForWindowExposed(m_module->dialog()));
    for (const FamilyModel& family : m_families)
        for (const QString& button : family.buttons)
            QVERIFY2(m_module->dialog()->findChild<QAbstractButton*>(button), qPrintable(button));

    // The settings file is the one file outside the output folder the program may write.
    const QFileInfo settings(store().fileName());
    QVERIFY(QDir().mkpath(settings.absolutePath()));
    m_allowed = QStringList { m_output.path(),
        QFileInfo(settings.absolutePath()).canonicalFilePath() + '/' + settings.fileName() };
    for (const QString& root :
        { QDir::tempPath(), QDir::homePath(), settings.absolutePath() + "/.." })
        m_watched << QFileInfo(root).canonicalFilePath();
    m_watched.removeDuplicates();
}

// Save acts on the window the last worksheet went to, even when the main window was minimized
// at the time and another document was active before.
void RandomSessionTest::worksheetMadeWhileMinimizedIsTheOneSaved()
{
    click("optFractions");
    click("cmdMake");
    QVERIFY(QTest::qWaitForWindowExposed(main()));
    QMdiSubWindow* other = subWindows().constFirst();
    QCOMPARE(other->windowTitle(), "Document 1");
    mdiArea()->setActiveSubWindow(other);
    QCOMPARE(main()->activeDocument()->windowTitle(), "Document 1");

    main()->showMinimized();
    QTRY_VERIFY(main()->isMinimized());
    click("cmdMake");
    QCOMPARE(main()->activeDocument(), worksheet());
    main()->showNormal();
    QTRY_VERIFY(!main()->isMinimized());
    QCOMPARE(main()->activeDocument(), worksheet());

    const QString file = m_output.filePath("minimized.rtf");
    m_commonDialog->saveAnswers = QStringList { file };
    child<QAction>(main(), "mnuFileSave")->trigger();
    QVERIFY(readAll(file).contains("Fractions"));

    // The session starts from a closed main window, as the program does.
    QVERIFY(main()->close());
    m_highestNumber = 1;
    m_family = 0;
    m_log.clear();
    QVERIFY(QFile::remove(file));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_baseline = snapshot(m_watched, false, m_allowed);
}

void RandomSessionTest::changeState(QWidget* window, const QString& name, int width, int height)
{
    switch (pick(4)) {
    case 0:
        m_log << "minimize " + name;
        return window->showMinimized();
    case 1:
        m_log << "maximize " + name;
        return window->showMaximized();
    case 2:
        m_log << "restore " + name;
        return window->showNormal();
    default:
        const QSize size(1 + pick(width), 1 + pick(height));
        m_log << QStringLiteral("resize %1 %2x%3").arg(name).arg(size.width()).arg(size.height());
        window->resize(size);
    }
}

void RandomSessionTest::perform(Action action)
{
    QTextEdit* active = main()->activeDocument() ? main()->activeDocument()->textBox() : nullptr;
    DocumentWindow* sheet = worksheet();
    const auto subs = subWindows();

    switch (action) {
    case Action::ClickFamily:
        m_family = pick(static_cast<int>(m_families.size()));
        click(m_families[m_family].option);
        break;
    case Action::ClickForm: {
        // Only the selected family's frame is showing.
        if (m_family < 0)
            return perform(Action::ClickFamily);
        FamilyModel& family = m_families[m_family];
        family.chosen = pick(static_cast<int>(family.forms.size()));
        click(family.buttons[family.chosen]);
        break;
    }
    case Action::ClickCheckBox:
        if (m_family != 1) // the equations
            return perform(Action::ClickFamily);
        m_fractionAnswers = !m_fractionAnswers;
        click("chkFracOK");
        break;
    case Action::MakeIt: {
        click("cmdMake");
        if (m_family < 0)
            break;
        const FamilyModel& family = m_families[m_family];
        std::optional<double> size;
        m_expectedText
            = engineSheet(family.name, family.chosen < 0 ? "" : family.forms[family.chosen],
                m_module->dialog()->lastSeed(), m_family == 1 && m_fractionAnswers, &size);
        if (!sheet)
            m_expectedSize = FreshWindowFontSize;
        m_expectedSize = size.value_or(m_expectedSize);
        m_edited = false;
        CHECK(main()->isVisible() && main()->isLoaded(), "main window hidden");
        CHECK(worksheet() && main()->activeDocument() == worksheet(),
            "the new worksheet is not the active window");
        break;
    }
    case Action::CloseWorksheet:
        if (!sheet)
            return perform(Action::MakeIt);
        m_log << "close worksheet";
        QVERIFY(sheet->parentWidget()->close());
        break;
    case Action::CloseMain:
        m_log << "close main window";
        QVERIFY(main()->close());
        break;
    case Action::Exit:
        if (!main()->isVisible())
            return perform(Action::MakeIt);
        m_log << "Exit";
        child<QAction>(main(), "mnuFileExit")->trigger();
        break;
    case Action::MainWindowState:
        changeState(main(), "main", 1400, 1100);
        break;
    case Action::DocumentWindowState:
        if (subs.isEmpty())
            return perform(Action::MakeIt);
        if (QMdiSubWindow* sub = subs[pick(int(subs.size()))])
            changeState(sub, sub->windowTitle(), 900, 700);
        break;
    case Action::ActivateDocument: {
        if (subs.isEmpty())
            return perform(Action::MakeIt);
        QMdiSubWindow* sub = subs[pick(static_cast<int>(subs.size()))];
        m_log << "activate " + sub->windowTitle();
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
        m_edited |= active->parentWidget() == sheet && active->toPlainText() != before;
        break;
    }
    case Action::Select:
        if (!active)
            return perform(Action::ActivateDocument);
        m_log << "select in " + active->parentWidget()->windowTitle();
        if (pick(4) == 0) {
            QTest::keyClick(active, Qt::Key_A, Qt::ControlModifier);
        } else {
            QTest::keyClick(active, pick(2) ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
            for (int i = pick(12); i > 0; --i)
                QTest::keyClick(active, pick(3) ? Qt::Key_Right : Qt::Key_Down, Qt::ShiftModifier);
        }
        break;
    case Action::Save: {
        if (!main()->isVisible())
            return perform(Action::MakeIt);
        const bool cancel = pick(5) == 0;
        const QString file = m_output.filePath(QStringLiteral("save%1.rtf").arg(m_saves++));
        m_commonDialog->saveAnswers = QStringList { cancel ? QString() : file };
        m_log << (cancel ? "Save, cancelled" : "Save " + file);
        child<QAction>(main(), pick(2) ? "mnuFileSave" : "tbToolBarSave")->trigger();
        const QByteArray bytes = readAll(file);
        if (!cancel && active)
            CHECK(bytes.startsWith("{\\rtf1") && bytes.trimmed().endsWith('}'),
                "not a whole RTF file saved");
        break;
    }
    case Action::Print: {
        if (!main()->isVisible())
            return perform(Action::MakeIt);
        const bool toPdf = active && m_pdfPrints < PdfPrints;
        const QString file = m_output.filePath(QStringLiteral("print%1.pdf").arg(m_pdfPrints));
        m_commonDialog->printAnswer
            = ScriptedCommonDialog::PrintAnswer { toPdf, file, pick(2) == 0 };
        m_log << (toPdf ? "Print " + file : "Print, cancelled");
        child<QAction>(main(), "mnuFilePrint")->trigger();
        if (toPdf) {
            ++m_pdfPrints;
            CHECK(readAll(file).startsWith("%PDF-"), "no PDF printed");
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
    CHECK(m_module->dialog()->isVisible(), "the dialog went away");
    CHECK(m_commonDialog->warnings.isEmpty(), "warned: " + m_commonDialog->warnings.join('|'));

    // Captions: one plain "Document" at most; the numbers never change and only ever grow.
    int worksheets = 0;
    static const QRegularExpression numbered(QStringLiteral("^Document (\\d+)$"));
    QMap<QMdiSubWindow*, int> numbers;
    for (QMdiSubWindow* sub : subWindows()) {
        CHECK(qobject_cast<DocumentWindow*>(sub->widget()), "not a document");
        const QString title = sub->widget()->windowTitle();
        if (title == QLatin1String("Document")) {
            ++worksheets;
            continue;
        }
        const QRegularExpressionMatch match = numbered.match(title);
        CHECK(match.hasMatch(), "caption " + title);
        const int number = match.captured(1).toInt();
        if (m_numbers.contains(sub)) {
            CHECK(m_numbers.value(sub) == number, "a caption changed");
        } else {
            CHECK(number > m_highestNumber,
                QStringLiteral("%1 after Document %2").arg(title).arg(m_highestNumber));
            m_highestNumber = number;
        }
        numbers.insert(sub, number);
    }
    m_numbers = numbers;
    CHECK(worksheets <= 1, QStringLiteral("%1 worksheet windows").arg(worksheets));
    CHECK(subWindows().isEmpty() || main()->isLoaded(), "windows left in an unloaded main window");

    if (DocumentWindow* sheet = worksheet()) {
        CHECK(m_expectedText, "a worksheet window with no worksheet");
        QTextEdit* box = sheet->textBox();
        CHECK(m_edited || box->toPlainText() == *m_expectedText,
            "the worksheet window lost the last worksheet");
        CHECK(m_edited || box->font().pointSizeF() == m_expectedSize,
            QStringLiteral("worksheet at %1 points, not %2")
                .arg(box->font().pointSizeF())
                .arg(m_expectedSize));
    } else {
        // The next worksheet opens a fresh window.
        m_expectedText.reset();
        m_edited = false;
    }

    CHECK(snapshot(m_watched, false, m_allowed) == m_baseline,
        "a file outside the session's folders changed");
}

void RandomSessionTest::twoThousandRandomActions()
{
    // Weighted so that worksheets are made often and the slow paths stay rare.
    const int weights[] = { 10, 14, 4, 16, 3, 2, 1, 6, 8, 5, 12, 8, 6, 2 };
    std::discrete_distribution<int> next(std::begin(weights), std::end(weights));
    for (m_step = 1; m_step <= Actions; ++m_step) {
        perform(Action(next(m_random)));
        if (QTest::currentTestFailed())
            return;
        check();
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY(m_highestNumber > 1);
    QCOMPARE(m_pdfPrints, PdfPrints);
}

QTEST_MAIN(RandomSessionTest)
#include "random_session_test.moc"
