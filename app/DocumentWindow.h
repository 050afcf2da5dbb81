#pragma once

#include <QRect>
#include <QWidget>

class QTextEdit;

namespace quillora {

/// A document window: one rich-text box filling the window with a 100-twip border.
class DocumentWindow : public QWidget {
    Q_OBJECT

public:
    /// Where the box goes for an inner area, all in twips. A window too small for the border
    /// (as when minimized) keeps the box where it was; the wrap margin is still set.
    struct Layout {
        bool moved;
        QRect box;
        int rightMargin;
    };
    static Layout layoutFor(QSize innerTwips, QRect currentBoxTwips);

    explicit DocumentWindow(QWidget* parent = nullptr);

    QTextEdit* textBox() const { return m_textBox; }
    void setFontSize(double pointSize);
    void replaceText(const QString& text);
    /// The stored client area, 4680 x 3195 twips.
    QSize sizeHint() const override;

signals:
    void closing(DocumentWindow* window);
    /// A paste was refused; the message says why.
    void pasteRefused(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void layoutText();

    QTextEdit* m_textBox;
};

} // namespace quillora
