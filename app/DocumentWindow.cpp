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
    , m_textBox(new TextBox(this))
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
