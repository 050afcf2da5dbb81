#include "app/DocumentExport.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
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

namespace {

// Writes every byte unbuffered, so that a short write (full disk, file size limit) shows up here
// as an error with the system's reason instead of a silently truncated file.
QString writeAll(QFileDevice& file, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return file.errorString();
        done += written;
    }
    return QString();
}

} // namespace

QString writeFile(const QString& fileName, const QByteArray& bytes)
{
    // A device or pipe is written in place: renaming a temporary file over it would replace the
    // device itself.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile device(fileName);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return device.errorString();
        return writeAll(device, bytes);
    }
    // A file its owner marked read-only is not replaced, even by a user the bits do not stop.
    constexpr QFileDevice::Permissions writable
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.isFile() && !(info.permissions() & writable))
        return QStringLiteral("The file is read-only");
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (const QString reason = writeAll(file, bytes); !reason.isEmpty()) {
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
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

    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal width = std::max<qreal>(1, copy->idealWidth());
    const qreal scale = std::min<qreal>(1, page.width() / width);
    const qreal pageHeight = page.height() / scale;

    // Page tops at line boundaries, so no line is cut across two pages.
    std::vector<qreal> tops { 0 };
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        const QRectF bounds = copy->documentLayout()->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = bounds.top() + line.y();
            if (top + line.height() - tops.back() > pageHeight && top > tops.back())
                tops.push_back(top);
        }
    }
    const qreal end = copy->size().height();
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (i > 0)
            printer.newPage();
        const qreal bottom = i + 1 < tops.size() ? tops[i + 1] : end;
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -tops[i]);
        copy->drawContents(&painter, QRectF(0, tops[i], width, bottom - tops[i]));
        painter.restore();
    }
    painter.end();
}

} // namespace quillora
