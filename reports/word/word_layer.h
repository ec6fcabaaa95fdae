#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/transfer_result.h"
#include "reports/common/paper_document.h"

namespace zorvek {

// Alignment codes the text and cell operations take from their callers.
enum class ParagraphAlign { Left = 1, Centred = 2, Right = 3 };

// The word-processor layer: the operations the documents are built with, in
// the order the builders call them. All texts are cp1251. A backend works on
// one current document at a time; each WordOpenTemplate or WordNewDocument
// starts a new one.
class WordLayer {
  public:
    virtual ~WordLayer() = default;

    // Starts a document from a template of the template directory. A missing
    // template is reported through the notifier ("Файл " + name + " не найден.")
    // and gives false with no document started.
    virtual bool WordOpenTemplate(std::string_view name) = 0;
    // Inserts `value` at the named bookmark. Each fill toggles the bold state of
    // what the previous fill inserted. A missing bookmark is reported through
    // the notifier; the layer then asks for the program to end (MustTerminate).
    virtual void WordFillBookmark(std::string_view name, std::string_view value) = 0;
    virtual void WordFillBookmark(std::string_view name, std::int64_t value) = 0;

    virtual void WordWriteText(std::string_view text, int size, bool bold,
                               ParagraphAlign align) = 0;
    virtual void WordWriteLine(std::string_view text, int size, bool bold,
                               ParagraphAlign align) = 0;
    // orientation 0 keeps portrait, 1 makes the pages landscape.
    virtual void WordNewDocument(int orientation) = 0;
    virtual void WordAddTable(int rows, int columns, int fontSize) = 0;
    virtual void WordWriteCell(std::string_view text, int size, bool bold,
                               ParagraphAlign align) = 0;
    // Shares out the current table's width among its columns in proportion
    // to `weights`, one per column; otherwise (outside a table, another
    // count, a weight below 1) the columns stay equal.
    virtual void WordSetColumnWidths(const std::vector<int>& /*weights*/) {}
    // The current table breaks across pages wherever it must, however few
    // its rows: rows of many lines would not fit a page kept together.
    virtual void WordLetTableBreak() {}
    virtual void WordMoveDown() = 0;
    virtual void WordDeleteRow() = 0;
    virtual void WordNewParagraph() = 0;
    // Text typed from now on in the current document wraps its further lines
    // `twips` in from the left (a hanging indent), so that a column that
    // wraps stays under itself; 0 ends it.
    virtual void WordSetHangingIndent(int twips) = 0;
    // Paragraphs typed from now on stay on the page of what follows them,
    // so that a block typed while on is never split between pages; false
    // ends it. Layers that keep no pages ignore it.
    virtual void WordKeepWithNext(bool) {}
    // Puts a PNG picture in its own centred paragraph.
    virtual void WordPasteCentered(const std::vector<std::uint8_t>& png) = 0;
    // Hands the finished document to the document sink. False when it could
    // not be written; LastWrite says why.
    virtual bool WordShow() = 0;
    // How writing the current document went: success until it is shown, and
    // again once the next document is named or started. Layers that write no
    // file never fail.
    virtual TransferResult LastWrite() const { return TransferResult::Ok(); }
    // Where the current document was written, or was to be, as the document
    // sink named it; empty until it is shown, and again once the next
    // document is named or started.
    virtual std::filesystem::path LastWriteFile() const { return {}; }
    // Names the documents shown from now on (UTF-8, "Форма 1"); the name a
    // document is filed under. Layers that file nothing ignore it.
    virtual void SetTitle(std::string_view) {}
    // The line every page of the documents shown from now on carries at its
    // foot, under its page number (cp1251; see StampLine). Layers that keep
    // no pages ignore it.
    virtual void SetFooter(std::string_view) {}
    // The document last shown, laid out for paper (PDF, preview, print);
    // nothing from layers that keep no document, or before the first.
    virtual std::optional<PaperDocument> Paper() const { return std::nullopt; }

    // True once a damaged template was met: the program must end after the
    // running command (the batch command exits with an error instead).
    virtual bool MustTerminate() const = 0;
};

}  // namespace zorvek
