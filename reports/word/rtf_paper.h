#pragma once

#include <optional>
#include <string_view>

#include "reports/common/paper_document.h"

namespace zorvek {

// Reads an RTF document as our own writer makes it (a template with text
// spliced in, or a document typed from nothing) into its paper form, for the
// PDF file, the preview and the printer.
//
// Read: the page and its margins (the first section's where it gives them;
// what neither says keeps the paper model's A4), paragraphs with their
// alignment (justified reads as left), spacing, indents, tab stops, keeping
// and page breaks; bold, size, font family and colour of the text; tables row
// by row with their cells' edges, borders, vertical alignment and fill; PNG
// pictures at their shown size. Text is cp1251 (\'xx and bytes from 0x80) or
// \uN; it comes out UTF-8, \tab as TAB and \line as LF.
//
// Left out: headers, footers, footnotes, bookmarks, fields' instructions,
// styles, lists' numbering, other picture formats and every {\* ...} group the
// reader does not know; italic, underline and the like. Text of a field's
// result is read. Each picture stands in a paragraph of its own: text beside
// it in the RTF goes to paragraphs before and after it.
//
// The title is left empty for the caller. Nullopt when `rtf` does not start
// as RTF, when its groups do not balance before the text ends, or when they
// nest deeper than any document does.
std::optional<PaperDocument> PaperFromRtf(std::string_view rtf);

}  // namespace zorvek
