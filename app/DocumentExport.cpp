#include "app/DocumentExport.h"

#include "engine/page_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>

#include <algorithm>
#include <memory>

namespace quillora {

namespace {

TextRun runFor(const QTextCharFormat& format, const QFont& defaultFont)
{
    const QFont font = format.font().resolve(defaultFont);
    TextRun run;
    run.font_family = font.family().toStdU16String();
    run.point_size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    run.bold = font.bold();
    run.italic = font.italic();
    run.underline = font.underline();
    return run;
}

bool sameFormat(const TextRun& a, const TextRun& b)
{
    return a.font_family == b.font_family && a.point_size == b.point_size && a.bold == b.bold
        && a.italic == b.italic && a.underline == b.underline;
}

void append(std::vector<TextRun>& runs, TextRun run)
{
    if (!runs.empty() && sameFormat(runs.back(), run))
        runs.back().text += run.text;
    else
        runs.push_back(std::move(run));
}

} // namespace

std::vector<TextRun> textRuns(const QTextDocument& document)
{
    std::vector<TextRun> runs;
    const QFont defaultFont = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            // The paragraph end takes the format before it, so it extends that run. Only the
            // text is added: copying the run would copy all its text at every paragraph.
            if (runs.empty())
                runs.push_back(runFor(block.charFormat(), defaultFont));
            runs.back().text += u'\n';
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            TextRun run = runFor(fragment.charFormat(), defaultFont);
            // A soft line break inside a paragraph is a line break in the file too.
            QString text = fragment.text();
            text.replace(QChar::LineSeparator, QLatin1Char('\n'));
            run.text = text.toStdU16String();
            append(runs, std::move(run));
        }
    }
    if (runs.empty()) {
        TextRun empty = runFor(QTextCharFormat(), defaultFont);
        runs.push_back(std::move(empty));
    }
    return runs;
}

void printDocument(const QTextDocument& document, const QTextCursor& selection, bool selectionOnly,
    QPrinter& printer)
{
    std::unique_ptr<QTextDocument> copy;
    if (selectionOnly) {
        copy = std::make_unique<QTextDocument>();
        copy->setDefaultFont(document.defaultFont());
        QTextCursor(copy.get()).insertFragment(selection.selection());
    } else {
        copy.reset(document.clone());
    }
    // Lay out in the printer's own units, one line per paragraph line, never wrapped.
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    copy->setDefaultTextOption(option);
    copy->setTextWidth(-1);
    copy->setTextWidth(copy->idealWidth());

    // At least half an inch on every side, more where the printer or the user asks for it.
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Point);
    printer.setPageMargins(
        QMarginsF(std::max(margins.left(), PrintMargin), std::max(margins.top(), PrintMargin),
            std::max(margins.right(), PrintMargin), std::max(margins.bottom(), PrintMargin)),
        QPageLayout::Point);

    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal width = std::max<qreal>(1, copy->idealWidth());
    const qreal scale = fit_scale(width, page.width());
    const qreal pageHeight = page.height() / scale;

    // Every line's top, its height up to the next line, and whether it is blank.
    std::vector<qreal> tops;
    std::vector<bool> blank;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        const qreal blockTop = copy->documentLayout()->blockBoundingRect(block).top();
        const QTextLayout* layout = block.layout();
        const QString text = block.text();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            tops.push_back(blockTop + line.y());
            QString lineText = text.mid(line.textStart(), line.textLength());
            lineText.remove(QChar::LineSeparator);
            blank.push_back(is_blank_line(lineText.toStdU16String()));
        }
    }
    tops.push_back(copy->size().height());
    std::vector<double> heights;
    for (std::size_t i = 0; i + 1 < tops.size(); ++i)
        heights.push_back(tops[i + 1] - tops[i]);
    const std::vector<std::size_t> starts = page_starts(heights, blank, pageHeight);

    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (i > 0)
            printer.newPage();
        const qreal top = tops[starts[i]];
        // Blank lines that end a page draw nothing; the page's text never runs past its end.
        const qreal next = i + 1 < starts.size() ? tops[starts[i + 1]] : tops.back();
        const qreal bottom = std::min(next, top + pageHeight);
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -top);
        // Half a pixel short of the next page's first line, which would otherwise be drawn
        // (clipped, unseen, but in the file for search and copy) because it touches the rect.
        copy->drawContents(&painter, QRectF(0, top, width, bottom - top - 0.5));
        painter.restore();
    }
    painter.end();
}

} // namespace quillora
