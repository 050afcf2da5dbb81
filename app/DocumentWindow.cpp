#include "app/DocumentWindow.h"

#include "dialog/Twips.h"
#include "engine/family.h"

#include <QCloseEvent>
#include <QFont>
#include <QLocale>
#include <QMimeData>
#include <QResizeEvent>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextFormat>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace quillora {

namespace {

constexpr int Border = 100;
constexpr int MarginInset = 400;

QFont worksheetFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(FreshWindowFontSize);
    return font;
}

// What a paste may hold and still be laid out at once, well under a second on a slow machine.
// Rich text beyond it comes as plain text; longer text is refused.
constexpr qsizetype MaxRichBytes = 64 * 1024;
constexpr int MaxRichTags = 2000;
// Each level of tables nested in tables about triples the layout's time.
constexpr int MaxTableDepth = 4;
constexpr qsizetype MaxPastedCharacters = 250'000;

// Whether rich text is small and plain enough to lay out at once: the layout's time grows with
// the square of the nesting, which the count of tags bounds, and faster still with nested tables.
bool quickToLayOut(const QByteArray& html)
{
    if (html.size() > MaxRichBytes)
        return false;
    int tags = 0, tables = 0, deepest = 0;
    for (qsizetype at = html.indexOf('<'); at >= 0; at = html.indexOf('<', at + 1)) {
        ++tags;
        const QByteArray name = html.mid(at + 1, 6).toLower();
        if (name.startsWith("table"))
            deepest = std::max(deepest, ++tables);
        else if (name == "/table")
            --tables;
    }
    return tags <= MaxRichTags && deepest <= MaxTableDepth;
}

// Whether every picture a document names (as an image or a background) is held in the text
// itself: Qt reads any other name as a file when it lays the text out or prints it, and a named
// pipe or a device there would hang the window or never end.
bool holdsItsOwnPictures(const QTextDocument& document)
{
    for (const QTextFormat& format : document.allFormats()) {
        for (const QString& name : { format.isImageFormat() ? format.toImageFormat().name() : "",
                 format.property(QTextFormat::BackgroundImageUrl).toString() }) {
            if (!name.isEmpty() && !name.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                return false;
        }
    }
    return true;
}

// The document's text box. A paste is done or refused at once, so the window never freezes:
// rich text that would take long to lay out, or that names pictures in other files, comes as
// plain text in the worksheet's face, and more text than a worksheet could use is refused with a
// message. Pasted data that offers no format at all, as an empty clipboard or X selection does,
// is refused: Qt 6.4 reads the first format of such data unchecked and crashes, losing the
// teacher's edits.
class TextBox final : public QTextEdit {
public:
    TextBox(QWidget* parent, std::function<void(const QString&)> refused)
        : QTextEdit(parent)
        , m_refused(std::move(refused))
    {
    }

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override
    {
        return hasFormats(source) && QTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (!hasFormats(source))
            return;
        // Qt's own copies carry their rich text as application/x-qrichtext, others as HTML.
        const QString qtRich = QStringLiteral("application/x-qrichtext");
        const QByteArray rich = source->hasFormat(qtRich) ? source->data(qtRich)
            : source->hasHtml()                           ? source->html().toUtf8()
                                                          : QByteArray();
        if (acceptRichText() && !rich.isEmpty() && quickToLayOut(rich)) {
            const QTextDocumentFragment fragment = QTextDocumentFragment::fromHtml(
                (source->hasFormat(qtRich) ? "<meta name=\"qrichtext\" content=\"1\" />" : "")
                    + QString::fromUtf8(rich),
                document());
            QTextDocument parsed; // never laid out, so nothing is read
            QTextCursor(&parsed).insertFragment(fragment);
            if (holdsItsOwnPictures(parsed)) {
                textCursor().insertFragment(fragment);
                ensureCursorVisible();
                return;
            }
        }
        const QString text = source->text();
        const QString refused = QStringLiteral("Could not paste: the clipboard holds ");
        if (text.size() > MaxPastedCharacters) {
            const QLocale english(QLocale::English);
            m_refused(refused
                + QStringLiteral("%1 characters, more than the %2 a worksheet takes at once.")
                      .arg(english.toString(text.size()), english.toString(MaxPastedCharacters)));
        } else if (!text.isEmpty()) {
            QMimeData plain;
            plain.setText(text);
            QTextEdit::insertFromMimeData(&plain);
        } else if (!rich.isEmpty()) {
            m_refused(refused
                + QStringLiteral("only formatted text, too large, too deeply nested or naming "
                                 "other files to lay out at once."));
        }
    }
    // Style sheets a pasted text names are read from the text itself only (data: addresses).
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (name.scheme() == QLatin1String("data"))
            return QTextEdit::loadResource(type, name);
        return QByteArray(); // not null, so the document reads no file itself
    }

private:
    static bool hasFormats(const QMimeData* source)
    {
        return source && !source->formats().isEmpty();
    }

    std::function<void(const QString&)> m_refused;
};

} // namespace

DocumentWindow::Layout DocumentWindow::layoutFor(QSize innerTwips, QRect currentBoxTwips)
{
    const bool fits = innerTwips.width() >= 2 * Border && innerTwips.height() >= 2 * Border;
    const QRect box = fits
        ? QRect(Border, Border, innerTwips.width() - 2 * Border, innerTwips.height() - 2 * Border)
        : currentBoxTwips;
    return { fits, box, box.width() - MarginInset };
}

DocumentWindow::DocumentWindow(QWidget* parent)
    : QWidget(parent)
    , m_textBox(new TextBox(this, [this](const QString& why) { emit pasteRefused(why); }))
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Document"));
    m_textBox->setObjectName(QStringLiteral("rtfText"));
    m_textBox->setAcceptRichText(true);
    m_textBox->setFont(worksheetFont());
    m_textBox->setLineWrapMode(QTextEdit::FixedPixelWidth);
    resize(sizeHint());
    layoutText();
}

QSize DocumentWindow::sizeHint() const
{
    return QSize(toPixels(4680), toPixels(3195));
}

void DocumentWindow::setFontSize(double pointSize)
{
    QFont font = m_textBox->font();
    font.setPointSizeF(pointSize);
    m_textBox->setFont(font);
}

void DocumentWindow::replaceText(const QString& text)
{
    // New text takes the format at the cursor; drop any the user pasted so the worksheet is in
    // the box's own face and size.
    m_textBox->setCurrentCharFormat(QTextCharFormat());
    m_textBox->setPlainText(text);
}

void DocumentWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutText();
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    emit closing(this);
    event->accept();
}

void DocumentWindow::layoutText()
{
    const Layout layout
        = layoutFor(QSize(toTwips(width()), toTwips(height())), toTwips(m_textBox->geometry()));
    if (layout.moved)
        m_textBox->setGeometry(toPixels(layout.box));
    // A box narrower than the inset would give a negative margin; wrap at the smallest width.
    m_textBox->setLineWrapColumnOrWidth(std::max(1, toPixels(layout.rightMargin)));
}

} // namespace quillora
