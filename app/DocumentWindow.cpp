#include "app/DocumentWindow.h"

#include "dialog/Twips.h"
#include "engine/family.h"

#include <QCloseEvent>
#include <QFont>
#include <QMimeData>
#include <QResizeEvent>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

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

// The document's text box. It refuses pasted data that offers no format at all, as an empty
// clipboard or X selection does: Qt 6.4 reads the first format of such data unchecked and
// crashes, losing the teacher's edits.
class TextBox final : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override
    {
        return hasFormats(source) && QTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (hasFormats(source))
            QTextEdit::insertFromMimeData(source);
    }

private:
    static bool hasFormats(const QMimeData* source)
    {
        return source && !source->formats().isEmpty();
    }
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
    , m_rtfText(new TextBox(this))
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Document"));
    m_rtfText->setObjectName(QStringLiteral("rtfText"));
    m_rtfText->setAcceptRichText(true);
    m_rtfText->setFont(worksheetFont());
    m_rtfText->setLineWrapMode(QTextEdit::FixedPixelWidth);
    resize(sizeHint());
    layoutText();
}

QSize DocumentWindow::sizeHint() const
{
    return QSize(toPixels(4680), toPixels(3195));
}

void DocumentWindow::setFontSize(double pointSize)
{
    QFont font = m_rtfText->font();
    font.setPointSizeF(pointSize);
    m_rtfText->setFont(font);
}

void DocumentWindow::replaceText(const QString& text)
{
    // New text takes the format at the cursor; drop any the user pasted so the worksheet is in
    // the box's own face and size.
    m_rtfText->setCurrentCharFormat(QTextCharFormat());
    m_rtfText->setPlainText(text);
}

bool DocumentWindow::hasSelection() const
{
    return m_rtfText->textCursor().hasSelection();
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
    const QRect current = m_rtfText->geometry();
    const Layout layout = layoutFor(QSize(toTwips(width()), toTwips(height())),
        QRect(toTwips(current.x()), toTwips(current.y()), toTwips(current.width()),
            toTwips(current.height())));
    if (layout.moved) {
        const QRect box = layout.box;
        m_rtfText->setGeometry(
            toPixels(box.x()), toPixels(box.y()), toPixels(box.width()), toPixels(box.height()));
    }
    // A box narrower than the inset would give a negative margin; wrap at the smallest width.
    m_rtfText->setLineWrapColumnOrWidth(std::max(1, toPixels(layout.rightMargin)));
}

} // namespace quillora
