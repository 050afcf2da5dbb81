#include "dialog/ProblemDialog.h"

#include "dialog/Twips.h"
#include "dialog/WorksheetTarget.h"
#include "engine/random_source.h"
#include "families/catalogue.h"

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
#include <span>
#include <string_view>
#include <utility>

namespace quillora {

namespace {

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

// The pieces of a picture written as text, each fraction in braces: "{a/b}x + {c/d} = e".
std::vector<Piece> pictureOf(std::string_view notation)
{
    std::vector<Piece> pieces;
    while (!notation.empty()) {
        const std::size_t open = notation.find('{');
        if (open != 0) {
            const std::string_view plain = notation.substr(0, open);
            pieces.push_back({ QString::fromLatin1(plain.data(), qsizetype(plain.size())), {} });
            notation.remove_prefix(plain.size());
            continue;
        }
        const std::size_t bar = notation.find('/');
        const std::size_t close = notation.find('}');
        const std::string_view top = notation.substr(1, bar - 1);
        const std::string_view bottom = notation.substr(bar + 1, close - bar - 1);
        pieces.push_back({ QString::fromLatin1(top.data(), qsizetype(top.size())),
            QString::fromLatin1(bottom.data(), qsizetype(bottom.size())) });
        notation.remove_prefix(close + 1);
    }
    return pieces;
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

// A control's place in its frame, in twips.
struct TwipsRect {
    int left, top, width, height;
};

enum class ControlKind { Option, Picture, FractionAnswersBox };

// A control of a family's frame: its object name, caption (for a picture button, the picture's
// notation), and the catalogue's form code it selects ("mixed" for the family's mixed option).
struct OptionRow {
    const char* name;
    const char* caption;
    std::string_view form;
    TwipsRect rect;
    ControlKind kind = ControlKind::Option;
};

// A family's frame of form options, in the order the frames are created (the last lies on top).
struct FrameRow {
    std::string_view family;
    const char* name;
    const char* caption;
    TwipsRect rect;
    std::span<const OptionRow> options;
};

namespace {

// The family options of "Problem Type", in the catalogue's order.
struct FamilyRow {
    std::string_view family;
    const char* name;
    const char* caption;
    TwipsRect rect;
};

constexpr FamilyRow FamilyRows[] = {
    { "fractions", "optFractions", "Fractions", { 240, 480, 2415, 495 } },
    { "equations", "optEquations", "Equations", { 240, 960, 2535, 495 } },
    { "fraction-equations", "optFB", "Fraction Equations", { 240, 1440, 3255, 495 } },
    { "binomials", "optMultBin", "Multiplying Binomials", { 240, 1920, 3255, 495 } },
    { "factoring", "optFactoring", "Factoring Polynomials", { 240, 2400, 3255, 495 } },
};

constexpr OptionRow FractionEquationRows[] = {
    { "optFB1", "{a/b}x = c", "FB1", { 240, 480, 2655, 615 }, ControlKind::Picture },
    { "optFB2", "{a/b}x + c = d", "FB2", { 240, 1200, 2655, 615 }, ControlKind::Picture },
    { "optFB3", "{a/b}x + {c/d} = e", "FB3", { 240, 1920, 2655, 615 }, ControlKind::Picture },
    { "optFB4", "{a/b}x + c = {d/e}x + f", "FB4", { 240, 2640, 2655, 615 }, ControlKind::Picture },
    { "optFB5", "{a/b}(cx + d) = {e/f}(gx + h)", "FB5", { 240, 3360, 2655, 615 },
        ControlKind::Picture },
    { "optFBmixed", "mixed", "mixed", { 240, 4080, 2655, 615 } },
};

constexpr OptionRow EquationRows[] = {
    { "optEQ1", "x + a = b", "EQ1", { 120, 480, 2175, 375 } },
    { "optEQ6", "ax = b", "EQ6", { 120, 960, 2415, 375 } },
    { "optEQ2", "ax + b = c", "EQ2", { 120, 1440, 2175, 375 } },
    { "optEQ3", "ax + b = cx + d", "EQ3", { 120, 1920, 2415, 375 } },
    { "optEQ4", "a(bx + c) = d", "EQ4", { 120, 2400, 2175, 375 } },
    { "optEQ5", "a(bx + c) = d(ex + f)", "EQ5", { 120, 2880, 2895, 375 } },
    { "optEQmixed", "mixed", "mixed", { 120, 3360, 2895, 375 } },
    { "chkFracOK", "Fraction Answers OK", "", { 120, 3840, 2895, 495 },
        ControlKind::FractionAnswersBox },
};

constexpr OptionRow BinomialRows[] = {
    { "optBin1", "(x+a)(x+b)", "Bin1", { 240, 360, 1935, 375 } },
    { "optBin2", "(x-a)(x-b)", "Bin2", { 240, 720, 1815, 495 } },
    { "optBin3", "(x-a)(x+b)", "Bin3", { 240, 1200, 1935, 495 } },
    { "optBin4", "(ax+b)(cx+d)", "Bin4", { 240, 1680, 2055, 495 } },
    { "optBin5", "(ax-b)(cx-d)", "Bin5", { 240, 2160, 2055, 495 } },
    { "optBin6", "(ax-b)(cx+d)", "Bin6", { 240, 2640, 2055, 495 } },
    { "optBin7", "DOTS", "Bin7", { 240, 3120, 1935, 495 } },
    { "optBin8", "PST", "Bin8", { 240, 3600, 2055, 495 } },
    { "optBinMixed", "mixed", "mixed", { 240, 4080, 1935, 495 } },
};

constexpr OptionRow FactoringRows[] = {
    { "optEGF", "EGF", "EGF", { 120, 480, 2415, 375 } },
    { "optHGF", "HGF", "HGF", { 120, 840, 2415, 375 } },
    { "optEGFGCF", "EGF GCF", "EGFGCF", { 120, 1200, 2415, 375 } },
    { "optHGFGCF", "HGF GCF", "HGFGCF", { 120, 1560, 2415, 375 } },
    { "optGCF", "GCF", "GCF", { 120, 1920, 2415, 375 } },
    { "optDOTS", "DOTS", "DOTS", { 120, 2280, 1335, 375 } },
    { "optPST", "PST", "PST", { 120, 2640, 1575, 375 } },
    { "optFmixed", "mixed", "mixed", { 120, 3000, 2415, 375 } },
};

constexpr OptionRow OperationRows[] = {
    { "optAdd", "addition", "addition", { 120, 480, 2415, 375 } },
    { "optSubtraction", "subtraction", "subtraction", { 120, 840, 2415, 375 } },
    { "optDiv", "division", "division", { 120, 1200, 2415, 375 } },
    { "optMult", "multiplication", "multiplication", { 120, 1560, 2415, 375 } },
    { "optMixed", "mixed", "mixed", { 120, 1920, 2415, 375 } },
};

constexpr FrameRow FrameRows[] = {
    { "fraction-equations", "framFB", "Fraction Equations", { 4080, 240, 3135, 4815 },
        FractionEquationRows },
    { "equations", "framEquations", "Equations", { 4080, 240, 3135, 4575 }, EquationRows },
    { "binomials", "framBinomial", "Binomials", { 4080, 240, 2415, 4815 }, BinomialRows },
    { "factoring", "framFactoring", "Factoring", { 4080, 240, 2175, 3615 }, FactoringRows },
    { "fractions", "framOperation", "Operation", { 4080, 240, 2175, 2655 }, OperationRows },
};

QRect twipsRect(const TwipsRect& r)
{
    return toPixels(QRect(r.left, r.top, r.width, r.height));
}

QString caption(const char* text)
{
    return QString::fromLatin1(text);
}

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

    auto* problemType = new QGroupBox(QStringLiteral("Problem Type"), this);
    problemType->setObjectName(QStringLiteral("Frame1"));
    problemType->setGeometry(toPixels(QRect(240, 240, 3615, 3495)));
    for (const FamilyRow& row : FamilyRows) {
        auto* option = new OptionButton(caption(row.caption), problemType);
        option->setObjectName(caption(row.name));
        option->setGeometry(twipsRect(row.rect));
        m_families.push_back({ option, nullptr, find_family(row.family), {} });
    }
    for (const FrameRow& row : FrameRows)
        addFrame(row);

    auto* make = new QPushButton(QStringLiteral("&Make It!"), this);
    make->setObjectName(QStringLiteral("cmdMake"));
    make->setGeometry(toPixels(QRect(240, 5160, 3615, 735)));
    auto* quit = new QPushButton(QStringLiteral("&Quit"), this);
    quit->setObjectName(QStringLiteral("Command1"));
    quit->setGeometry(toPixels(QRect(4080, 5160, 3135, 735)));
    // Enter presses the focused button, as in a dialog box. Esc does nothing: the dialog stays.
    make->setAutoDefault(true);
    quit->setAutoDefault(true);

    for (const auto& family : m_families) {
        const FamilyControls* f = &family;
        connect(family.option, &QRadioButton::clicked, this, [this, f] { showFrameOf(*f); });
    }
    connect(make, &QPushButton::clicked, this, &ProblemDialog::makeWorksheet);
    connect(quit, &QPushButton::clicked, this, &ProblemDialog::quitRequested);
}

void ProblemDialog::addFrame(const FrameRow& row)
{
    auto family = std::find_if(m_families.begin(), m_families.end(),
        [&](const FamilyControls& f) { return f.entry->name == row.family; });
    auto* frame = new QGroupBox(caption(row.caption), this);
    frame->setObjectName(caption(row.name));
    frame->setGeometry(twipsRect(row.rect));
    frame->hide();
    family->frame = frame;

    // Picture buttons are not radio buttons: one group keeps such a frame's options exclusive.
    QButtonGroup* group = nullptr;
    if (std::any_of(row.options.begin(), row.options.end(),
            [](const OptionRow& option) { return option.kind == ControlKind::Picture; })) {
        group = new QButtonGroup(this);
        group->setExclusive(true);
    }
    for (const OptionRow& option : row.options) {
        if (option.kind == ControlKind::FractionAnswersBox) {
            m_fractionAnswers = new CheckBox(caption(option.caption), frame);
            m_fractionAnswers->setObjectName(caption(option.name));
            m_fractionAnswers->setFont(dialogFont(12));
            m_fractionAnswers->setGeometry(twipsRect(option.rect));
            continue;
        }
        QAbstractButton* button = option.kind == ControlKind::Picture
            ? addPictureButton(frame, option)
            : new OptionButton(caption(option.caption), frame);
        button->setObjectName(caption(option.name));
        button->setGeometry(twipsRect(option.rect));
        if (group)
            group->addButton(button);
        family->forms.push_back({ button, *parse_form(*family->entry, option.form) });
    }
    // A family with a default form always has one selected.
    if (const auto place = family->entry->default_form) {
        for (const auto& form : family->forms) {
            if (form.selection == FormSelection::form(*place))
                form.button->setChecked(true);
        }
    }
}

QAbstractButton* ProblemDialog::addPictureButton(QWidget* frame, const OptionRow& option)
{
    const std::vector<Piece> pieces = pictureOf(option.caption);
    auto* button = new EquationButton(pieces, frame);
    button->setCheckable(true);
    button->setGeometry(twipsRect(option.rect));
    button->setIconSize(button->size() - QSize(6, 6));
    const QString equation = equationText(pieces);
    button->setToolTip(equation);
    button->setAccessibleName(equation);
    return button;
}

void ProblemDialog::showFrameOf(const FamilyControls& family)
{
    for (const auto& each : m_families)
        each.frame->setVisible(each.frame == family.frame);
}

void ProblemDialog::makeWorksheet()
{
    // Every family option is tested; they form one group, so at most one driver runs.
    for (const auto& family : m_families) {
        if (family.option->isChecked())
            runFamily(family);
    }
}

void ProblemDialog::runFamily(const FamilyControls& family)
{
    const Family& entry = *family.entry;
    ProblemOptions options;
    for (const auto& form : family.forms) {
        if (form.button->isChecked())
            options.selection = form.selection;
    }
    options.fraction_answers_ok = entry.takes_fraction_answers() && m_fractionAnswers->isChecked();

    // The frame's order: the size step (which loads the windows), the seed, the worksheet, then
    // the hand-over with the dialog left as it is.
    if (entry.font_size)
        m_target->setWorksheetFontSize(*entry.font_size);
    m_lastSeed = clock_seed();
    const Text text = make_sheet(entry, options, m_lastSeed);
    m_target->showMainWindow();
    m_target->replaceWorksheetText(QString::fromStdU16String(text));
}

} // namespace quillora
