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

// The dialog's layout: the places of its controls in twips and their object names. What they
// say comes from the catalogue; each family is named by its command-line name and each form by
// its code, and a family or form without a place here is not in the dialog.
struct ControlPlace {
    const char* name;
    // The form the option selects, "mixed", or "" for the "Fraction Answers OK" box.
    std::string_view form;
    QRect rect;
};

struct FamilyPlace {
    std::string_view family;
    // The family's option in "Problem Type".
    const char* option;
    QRect optionRect;
    // The frame of its forms, and the controls in it from top to bottom.
    const char* frame;
    QRect frameRect;
    std::span<const ControlPlace> controls;
};

namespace {

constexpr ControlPlace FractionEquationPlaces[] = {
    { "optFB1", "FB1", { 240, 480, 2655, 615 } },
    { "optFB2", "FB2", { 240, 1200, 2655, 615 } },
    { "optFB3", "FB3", { 240, 1920, 2655, 615 } },
    { "optFB4", "FB4", { 240, 2640, 2655, 615 } },
    { "optFB5", "FB5", { 240, 3360, 2655, 615 } },
    { "optFBmixed", "mixed", { 240, 4080, 2655, 615 } },
};

constexpr ControlPlace EquationPlaces[] = {
    { "optEQ1", "EQ1", { 120, 480, 2175, 375 } },
    { "optEQ6", "EQ6", { 120, 960, 2415, 375 } },
    { "optEQ2", "EQ2", { 120, 1440, 2175, 375 } },
    { "optEQ3", "EQ3", { 120, 1920, 2415, 375 } },
    { "optEQ4", "EQ4", { 120, 2400, 2175, 375 } },
    { "optEQ5", "EQ5", { 120, 2880, 2895, 375 } },
    { "optEQmixed", "mixed", { 120, 3360, 2895, 375 } },
    { "chkFracOK", "", { 120, 3840, 2895, 495 } },
};

constexpr ControlPlace BinomialPlaces[] = {
    { "optBin1", "Bin1", { 240, 360, 1935, 375 } },
    { "optBin2", "Bin2", { 240, 720, 1815, 495 } },
    { "optBin3", "Bin3", { 240, 1200, 1935, 495 } },
    { "optBin4", "Bin4", { 240, 1680, 2055, 495 } },
    { "optBin5", "Bin5", { 240, 2160, 2055, 495 } },
    { "optBin6", "Bin6", { 240, 2640, 2055, 495 } },
    { "optBin7", "Bin7", { 240, 3120, 1935, 495 } },
    { "optBin8", "Bin8", { 240, 3600, 2055, 495 } },
    { "optBinMixed", "mixed", { 240, 4080, 1935, 495 } },
};

constexpr ControlPlace FactoringPlaces[] = {
    { "optEGF", "EGF", { 120, 480, 2415, 375 } },
    { "optHGF", "HGF", { 120, 840, 2415, 375 } },
    { "optEGFGCF", "EGFGCF", { 120, 1200, 2415, 375 } },
    { "optHGFGCF", "HGFGCF", { 120, 1560, 2415, 375 } },
    { "optGCF", "GCF", { 120, 1920, 2415, 375 } },
    { "optDOTS", "DOTS", { 120, 2280, 1335, 375 } },
    { "optPST", "PST", { 120, 2640, 1575, 375 } },
    { "optFmixed", "mixed", { 120, 3000, 2415, 375 } },
};

constexpr ControlPlace OperationPlaces[] = {
    { "optAdd", "addition", { 120, 480, 2415, 375 } },
    { "optSubtraction", "subtraction", { 120, 840, 2415, 375 } },
    { "optDiv", "division", { 120, 1200, 2415, 375 } },
    { "optMult", "multiplication", { 120, 1560, 2415, 375 } },
    { "optMixed", "mixed", { 120, 1920, 2415, 375 } },
};

// In the order the frames are made, the last lying on top; the family options stand in the
// catalogue's order.
constexpr FamilyPlace Places[] = {
    { "fraction-equations", "optFB", { 240, 1440, 3255, 495 }, "framFB", { 4080, 240, 3135, 4815 },
        FractionEquationPlaces },
    { "equations", "optEquations", { 240, 960, 2535, 495 }, "framEquations",
        { 4080, 240, 3135, 4575 }, EquationPlaces },
    { "binomials", "optMultBin", { 240, 1920, 3255, 495 }, "framBinomial",
        { 4080, 240, 2415, 4815 }, BinomialPlaces },
    { "factoring", "optFactoring", { 240, 2400, 3255, 495 }, "framFactoring",
        { 4080, 240, 2175, 3615 }, FactoringPlaces },
    { "fractions", "optFractions", { 240, 480, 2415, 495 }, "framOperation",
        { 4080, 240, 2175, 2655 }, OperationPlaces },
};

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
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
    for (const Family* family : families()) {
        const auto place = std::find_if(std::begin(Places), std::end(Places),
            [family](const FamilyPlace& p) { return p.family == family->name; });
        if (place == std::end(Places))
            continue;
        auto* option = new OptionButton(text(family->menu_name), problemType);
        option->setObjectName(QString::fromLatin1(place->option));
        option->setGeometry(toPixels(place->optionRect));
        m_families.push_back({ option, nullptr, family, {} });
    }
    for (const FamilyPlace& place : Places) {
        if (find_family(place.family))
            addFrame(place);
    }

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

void ProblemDialog::addFrame(const FamilyPlace& place)
{
    auto family = std::find_if(m_families.begin(), m_families.end(),
        [&](const FamilyControls& f) { return f.entry->name == place.family; });
    const Family& entry = *family->entry;
    auto* frame = new QGroupBox(text(entry.forms_caption), this);
    frame->setObjectName(QString::fromLatin1(place.frame));
    frame->setGeometry(toPixels(place.frameRect));
    frame->hide();
    family->frame = frame;

    // Picture buttons are not radio buttons: one group keeps such a frame's options exclusive.
    QButtonGroup* group = nullptr;
    if (std::any_of(entry.forms.begin(), entry.forms.end(),
            [](const Form& form) { return !form.picture.empty(); })) {
        group = new QButtonGroup(this);
        group->setExclusive(true);
    }
    for (const ControlPlace& control : place.controls) {
        const QString name = QString::fromLatin1(control.name);
        if (control.form.empty()) {
            m_fractionAnswers = new CheckBox(text(FractionAnswersCaption), frame);
            m_fractionAnswers->setObjectName(name);
            m_fractionAnswers->setFont(dialogFont(12));
            m_fractionAnswers->setGeometry(toPixels(control.rect));
            continue;
        }
        const auto selection = parse_form(entry, control.form);
        if (!selection)
            continue;
        const int index = selection->place() - 1;
        const Form* form = index >= 0 ? &entry.forms[std::size_t(index)] : nullptr;
        QAbstractButton* button = form && !form->picture.empty()
            ? addPictureButton(frame, *form, toPixels(control.rect))
            : new OptionButton(text(!form                      ? control.form
                                       : form->caption.empty() ? form->description
                                                               : form->caption),
                frame);
        button->setObjectName(name);
        button->setGeometry(toPixels(control.rect));
        if (group)
            group->addButton(button);
        family->forms.push_back({ button, *selection });
    }
    // A family with a default form always has one selected.
    if (const auto place = entry.default_form) {
        for (const auto& form : family->forms) {
            if (form.selection == FormSelection::form(*place))
                form.button->setChecked(true);
        }
    }
}

QAbstractButton* ProblemDialog::addPictureButton(QWidget* frame, const Form& form, QRect rect)
{
    auto* button = new EquationButton(pictureOf(form.picture), frame);
    button->setCheckable(true);
    button->setGeometry(rect);
    button->setIconSize(button->size() - QSize(6, 6));
    button->setToolTip(text(form.description));
    button->setAccessibleName(text(form.description));
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
