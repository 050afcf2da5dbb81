#pragma once

#include "engine/rtf_writer.h"

#include <QString>

#include <vector>

class QPrinter;
class QTextCursor;
class QTextDocument;

namespace quillora {

/// The document's contents as runs of one format each (text, font, size, bold, italic,
/// underline), paragraphs separated by line feeds.
std::vector<TextRun> textRuns(const QTextDocument& document);

/// Prints the document, or only the selection, inside margins of at least half an inch, without
/// wrapping any line: a document wider than the printable width is scaled down to fit. A page
/// never breaks inside a block of non-blank lines that fits on one page.
void printDocument(const QTextDocument& document, const QTextCursor& selection, bool selectionOnly,
    QPrinter& printer);

} // namespace quillora
