#include "dialog/ProblemDialog.h"

#include "dialog/Twips.h"
#include "dialog/WorksheetTarget.h"
#include "dialog/catalogue.h"
#include "dialog/random_source.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace quillora {

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

QFont dialogFont(double pointSize)
{
    // Liberation Sans keeps the narrow metrics the stored layout was measured in; the usual
    // fallback face is wide enough to clip the longer captions.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

// One piece of a drawn equation: plain text, or a fraction with its numerator stacked over a
// bar over its denominator.
struct Piece {
    QString text;
    QString denominator;
    bool isFraction() const { return !denominator.isEmpty(); }
};

Piece frac(const char* numerator, const char* denominator)
{
    return { QString::fromLatin1(numerator), QString::fromLatin1(denominator) };
}

Piece text(const char* plain)
{
    return { QString::fromLatin1(plain), QString() };
}

// The equation as one line of text, each fraction written a/b: "a/b x + c = d".
QString equationText(const std::vector<Piece>& pieces)
{
    QString out;
    for (const auto& piece : pieces) {
        if (piece.isFraction())
            out += piece.text + QLatin1Char('/') + piece.denominator + QLatin1Char(' ');
        else
            out += piece.text;
    }
    return out.simplified();
}

// The equation drawn in `ink` on `background`, each fraction stacked.
QPixmap equationPicture(const std::vector<Piece>& pieces, QSize size, qreal ratio,
    const QColor& background, const QColor& ink)
{
    QFont font = dialogFont(10);
    font.setPixelSize(13);
    const QFontMetrics metrics(font);

    int width = 0;
    for (const auto& piece : pieces) {
        width += piece.isFraction() ? std::max(metrics.horizontalAdvance(piece.text),
                                          metrics.horizontalAdvance(piece.denominator))
                + 4
                                    : metrics.horizontalAdvance(piece.text);
    }

    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(background);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(ink);
    const int middle = size.height() / 2;
    const int lineHeight = metrics.height();
    int x = std::max(0, (size.width() - width) / 2);
    for (const auto& piece : pieces) {
        if (piece.isFraction()) {
            const int w = std::max(metrics.horizontalAdvance(piece.text),
                              metrics.horizontalAdvance(piece.denominator))
                + 4;
            const QRect top(x, middle - lineHeight, w, lineHeight);
            const QRect bottom(x, middle + 1, w, lineHeight);
            painter.drawText(top, Qt::AlignHCenter | Qt::AlignBottom, piece.text);
            painter.drawLine(x + 1, middle, x + w - 2, middle);
            painter.drawText(bottom, Qt::AlignHCenter | Qt::AlignTop, piece.denominator);
            x += w;
        } else {
            const int w = metrics.horizontalAdvance(piece.text);
            painter.drawText(
                QRect(x, 0, w + 1, size.height()), Qt::AlignLeft | Qt::AlignVCenter, piece.text);
            x += w;
        }
    }
    return picture;
}

// A button that answers a click anywhere in its rectangle, not only on its indicator and
// caption, so a short caption in a wide option is as easy to hit as a long one.
template <typename Button> class WholeRectButton final : public Button {
public:
    using Button::Button;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};
using OptionButton = WholeRectButton<QRadioButton>;
using CheckBox = WholeRectButton<QCheckBox>;

// A picture button of the fraction-equation frame. Its picture is drawn when the button is first
// shown: the frame is hidden at start-up, so the dialog paints sooner.
class EquationButton final : public QToolButton {
public:
    EquationButton(std::vector<Piece> pieces, QWidget* parent)
        : QToolButton(parent)
        , m_pieces(std::move(pieces))
    {
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        if (icon().isNull()) {
            // Pressed, the picture turns to the selection colours, plainly visible in any style.
            const qreal ratio = devicePixelRatioF();
            QIcon pictures;
            pictures.addPixmap(equationPicture(m_pieces, iconSize(), ratio, Qt::transparent,
                                   palette().color(QPalette::ButtonText)),
                QIcon::Normal, QIcon::Off);
            pictures.addPixmap(
                equationPicture(m_pieces, iconSize(), ratio, palette().color(QPalette::Highlight),
                    palette().color(QPalette::HighlightedText)),
                QIcon::Normal, QIcon::On);
            setIcon(pictures);
        }
        QToolButton::showEvent(event);
    }

private:
    std::vector<Piece> m_pieces;
};

} // namespace

ProblemDialog::ProblemDialog(WorksheetTarget* target, QWidget* parent)
    // A fixed-size window: minimize and close, no maximize.
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_target(target)
{
    setObjectName(QStringLiteral("frmProb"));
    setWindowTitle(QStringLiteral("Quillora"));
    setFont(dialogFont(13.5));
    setFixedSize(toPixels(7410), toPixels(6105));

    auto* frame1 = addFrame("Frame1", QStringLiteral("Problem Type"), 240, 240, 3615, 3495);
    auto* optFractions
        = addOption(frame1, "optFractions", QStringLiteral("Fractions"), 240, 480, 2415, 495);
    auto* optEquations
        = addOption(frame1, "optEquations", QStringLiteral("Equations"), 240, 960, 2535, 495);
    auto* optFB
        = addOption(frame1, "optFB", QStringLiteral("Fraction Equations"), 240, 1440, 3255, 495);
    auto* optMultBin = addOption(
        frame1, "optMultBin", QStringLiteral("Multiplying Binomials"), 240, 1920, 3255, 495);
    auto* optFactoring = addOption(
        frame1, "optFactoring", QStringLiteral("Factoring Polynomials"), 240, 2400, 3255, 495);

    // Created in the stored order, so the frame created last lies on top.
    buildFractionEquationFrame();

    m_framEquations = addFrame("framEquations", QStringLiteral("Equations"), 4080, 240, 3135, 4575);
    auto* eq = m_framEquations;
    auto* optEQ1 = addOption(eq, "optEQ1", QStringLiteral("x + a = b"), 120, 480, 2175, 375);
    auto* optEQ6 = addOption(eq, "optEQ6", QStringLiteral("ax = b"), 120, 960, 2415, 375);
    auto* optEQ2 = addOption(eq, "optEQ2", QStringLiteral("ax + b = c"), 120, 1440, 2175, 375);
    auto* optEQ3 = addOption(eq, "optEQ3", QStringLiteral("ax + b = cx + d"), 120, 1920, 2415, 375);
    auto* optEQ4 = addOption(eq, "optEQ4", QStringLiteral("a(bx + c) = d"), 120, 2400, 2175, 375);
    auto* optEQ5
        = addOption(eq, "optEQ5", QStringLiteral("a(bx + c) = d(ex + f)"), 120, 2880, 2895, 375);
    auto* optEQmixed = addOption(eq, "optEQmixed", QStringLiteral("mixed"), 120, 3360, 2895, 375);
    m_chkFracOK = new CheckBox(QStringLiteral("Fraction Answers OK"), eq);
    m_chkFracOK->setObjectName(QStringLiteral("chkFracOK"));
    m_chkFracOK->setFont(dialogFont(12));
    m_chkFracOK->setGeometry(twipsRect(120, 3840, 2895, 495));

    m_framBinomial = addFrame("framBinomial", QStringLiteral("Binomials"), 4080, 240, 2415, 4815);
    auto* bin = m_framBinomial;
    auto* optBin1 = addOption(bin, "optBin1", QStringLiteral("(x+a)(x+b)"), 240, 360, 1935, 375);
    auto* optBin2 = addOption(bin, "optBin2", QStringLiteral("(x-a)(x-b)"), 240, 720, 1815, 495);
    auto* optBin3 = addOption(bin, "optBin3", QStringLiteral("(x-a)(x+b)"), 240, 1200, 1935, 495);
    auto* optBin4 = addOption(bin, "optBin4", QStringLiteral("(ax+b)(cx+d)"), 240, 1680, 2055, 495);
    auto* optBin5 = addOption(bin, "optBin5", QStringLiteral("(ax-b)(cx-d)"), 240, 2160, 2055, 495);
    auto* optBin6 = addOption(bin, "optBin6", QStringLiteral("(ax-b)(cx+d)"), 240, 2640, 2055, 495);
    auto* optBin7 = addOption(bin, "optBin7", QStringLiteral("DOTS"), 240, 3120, 1935, 495);
    auto* optBin8 = addOption(bin, "optBin8", QStringLiteral("PST"), 240, 3600, 2055, 495);
    auto* optBinMixed
        = addOption(bin, "optBinMixed", QStringLiteral("mixed"), 240, 4080, 1935, 495);

    m_framFactoring = addFrame("framFactoring", QStringLiteral("Factoring"), 4080, 240, 2175, 3615);
    auto* fac = m_framFactoring;
    auto* optEGF = addOption(fac, "optEGF", QStringLiteral("EGF"), 120, 480, 2415, 375);
    auto* optHGF = addOption(fac, "optHGF", QStringLiteral("HGF"), 120, 840, 2415, 375);
    auto* optEGFGCF = addOption(fac, "optEGFGCF", QStringLiteral("EGF GCF"), 120, 1200, 2415, 375);
    auto* optHGFGCF = addOption(fac, "optHGFGCF", QStringLiteral("HGF GCF"), 120, 1560, 2415, 375);
    auto* optGCF = addOption(fac, "optGCF", QStringLiteral("GCF"), 120, 1920, 2415, 375);
    auto* optDOTS = addOption(fac, "optDOTS", QStringLiteral("DOTS"), 120, 2280, 1335, 375);
    auto* optPST = addOption(fac, "optPST", QStringLiteral("PST"), 120, 2640, 1575, 375);
    auto* optFmixed = addOption(fac, "optFmixed", QStringLiteral("mixed"), 120, 3000, 2415, 375);

    m_framOperation = addFrame("framOperation", QStringLiteral("Operation"), 4080, 240, 2175, 2655);
    auto* op = m_framOperation;
    auto* optAdd = addOption(op, "optAdd", QStringLiteral("addition"), 120, 480, 2415, 375);
    auto* optSubtraction
        = addOption(op, "optSubtraction", QStringLiteral("subtraction"), 120, 840, 2415, 375);
    auto* optDiv = addOption(op, "optDiv", QStringLiteral("division"), 120, 1200, 2415, 375);
    auto* optMult
        = addOption(op, "optMult", QStringLiteral("multiplication"), 120, 1560, 2415, 375);
    auto* optMixed = addOption(op, "optMixed", QStringLiteral("mixed"), 120, 1920, 2415, 375);
    optAdd->setChecked(true);

    auto* cmdMake = new QPushButton(QStringLiteral("&Make It!"), this);
    cmdMake->setObjectName(QStringLiteral("cmdMake"));
    cmdMake->setGeometry(twipsRect(240, 5160, 3615, 735));
    auto* command1 = new QPushButton(QStringLiteral("&Quit"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setGeometry(twipsRect(4080, 5160, 3135, 735));
    // Enter presses the focused button, as in a dialog box. Esc does nothing: the dialog stays.
    cmdMake->setAutoDefault(true);
    command1->setAutoDefault(true);

    auto fbButton = [this](int id) { return m_fbGroup->button(id); };
    // Form names are the catalogue's; a form's place is looked up there at each run.
    m_families = {
        { optFractions, m_framOperation, "fractions",
            { { optAdd, "addition" }, { optSubtraction, "subtraction" }, { optDiv, "division" },
                { optMult, "multiplication" } },
            optMixed },
        { optFactoring, m_framFactoring, "factoring",
            { { optEGF, "EGF" }, { optHGF, "HGF" }, { optEGFGCF, "EGFGCF" },
                { optHGFGCF, "HGFGCF" }, { optGCF, "GCF" }, { optDOTS, "DOTS" },
                { optPST, "PST" } },
            optFmixed },
        { optMultBin, m_framBinomial, "binomials",
            { { optBin1, "Bin1" }, { optBin2, "Bin2" }, { optBin3, "Bin3" }, { optBin4, "Bin4" },
                { optBin5, "Bin5" }, { optBin6, "Bin6" }, { optBin7, "Bin7" },
                { optBin8, "Bin8" } },
            optBinMixed },
        { optEquations, m_framEquations, "equations",
            { { optEQ1, "EQ1" }, { optEQ2, "EQ2" }, { optEQ3, "EQ3" }, { optEQ4, "EQ4" },
                { optEQ5, "EQ5" }, { optEQ6, "EQ6" } },
            optEQmixed },
        { optFB, m_framFB, "fraction-equations",
            { { fbButton(1), "FB1" }, { fbButton(2), "FB2" }, { fbButton(3), "FB3" },
                { fbButton(4), "FB4" }, { fbButton(5), "FB5" } },
            fbButton(6) },
    };

    for (const auto& family : m_families) {
        const Family* f = &family;
        connect(family.option, &QRadioButton::clicked, this, [this, f] { showFrameOf(*f); });
    }
    connect(cmdMake, &QPushButton::clicked, this, &ProblemDialog::makeIt);
    connect(command1, &QPushButton::clicked, this, &ProblemDialog::quitRequested);
}

QGroupBox* ProblemDialog::addFrame(
    const char* name, const QString& caption, int left, int top, int width, int height)
{
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(twipsRect(left, top, width, height));
    if (qstrcmp(name, "Frame1") != 0)
        frame->hide();
    return frame;
}

QRadioButton* ProblemDialog::addOption(QWidget* frame, const char* name, const QString& caption,
    int left, int top, int width, int height)
{
    auto* option = new OptionButton(caption, frame);
    option->setObjectName(QString::fromLatin1(name));
    option->setGeometry(twipsRect(left, top, width, height));
    return option;
}

void ProblemDialog::buildFractionEquationFrame()
{
    m_framFB = addFrame("framFB", QStringLiteral("Fraction Equations"), 4080, 240, 3135, 4815);
    m_fbGroup = new QButtonGroup(this);
    m_fbGroup->setExclusive(true);

    const std::vector<std::vector<Piece>> pictures = {
        { frac("a", "b"), text("x = c") },
        { frac("a", "b"), text("x + c = d") },
        { frac("a", "b"), text("x + "), frac("c", "d"), text(" = e") },
        { frac("a", "b"), text("x + c = "), frac("d", "e"), text("x + f") },
        { frac("a", "b"), text("(cx + d) = "), frac("e", "f"), text("(gx + h)") },
    };
    for (int i = 0; i < 5; ++i) {
        auto* button = new EquationButton(pictures[i], m_framFB);
        button->setObjectName(QStringLiteral("optFB%1").arg(i + 1));
        button->setCheckable(true);
        button->setGeometry(twipsRect(240, 480 + 720 * i, 2655, 615));
        button->setIconSize(button->size() - QSize(6, 6));
        const QString equation = equationText(pictures[i]);
        button->setToolTip(equation);
        button->setAccessibleName(equation);
        m_fbGroup->addButton(button, i + 1);
    }
    auto* mixed = addOption(m_framFB, "optFBmixed", QStringLiteral("mixed"), 240, 4080, 2655, 615);
    m_fbGroup->addButton(mixed, 6);
}

void ProblemDialog::showFrameOf(const Family& family)
{
    for (QGroupBox* frame :
        { m_framFactoring, m_framOperation, m_framBinomial, m_framEquations, m_framFB })
        frame->setVisible(frame == family.frame);
}

void ProblemDialog::makeIt()
{
    // Every family option is tested; they form one group, so at most one driver runs.
    for (const auto& family : m_families) {
        if (family.option->isChecked())
            runFamily(family);
    }
}

void ProblemDialog::runFamily(const Family& family)
{
    // Families whose driver is not built yet do nothing.
    const FamilyEntry* entry = find_family(family.catalogueName);
    if (!entry)
        return;

    ProblemOptions options;
    for (const auto& form : family.forms) {
        if (!form.button->isChecked())
            continue;
        const auto it = std::find(entry->forms.begin(), entry->forms.end(), form.formName);
        if (it != entry->forms.end())
            options.selection
                = FormSelection::form(static_cast<int>(it - entry->forms.begin()) + 1);
    }
    if (family.mixed->isChecked())
        options.selection = FormSelection::mixed();
    options.fraction_answers_ok = entry->takes_fraction_answers && m_chkFracOK->isChecked();

    // The frame's order: the size step (which loads the windows), the seed, the worksheet, then
    // the hand-over with the dialog left as it is.
    if (entry->font_size)
        m_target->setWorksheetFontSize(*entry->font_size);
    m_lastSeed = clock_seed();
    Mt19937Source random(m_lastSeed);
    const RunResult result = entry->run(options, random);
    m_target->showMainWindow();
    m_target->replaceWorksheetText(QString::fromStdU16String(result.text));
}

} // namespace quillora
