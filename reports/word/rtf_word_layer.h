#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/sinks.h"
#include "reports/common/document_sink.h"
#include "reports/word/rtf_flow.h"
#include "reports/word/rtf_template.h"
#include "reports/word/word_layer.h"

namespace zorvek {

// The word-processor layer that writes RTF documents itself. A document made
// from a template is the template's RTF with the fills and the typed text
// spliced in; a document made from nothing is typed on an A4 page. Everything
// stays in memory until WordShow hands the file to the document sink.
//
// The insertion point behaves as the documents expect:
// - a fill goes to the end of its bookmark and leaves its text selected; the
//   next fill inverts the bold state of that text, so every filled text but
//   the last is bold where the template is regular and the other way round;
// - typing while a filled text is selected replaces it;
// - WordMoveDown goes from a table's row to the row below, from a table's
//   last row out of the table, and in a template to the start of the next
//   paragraph (a table row counts as one); a document made from nothing is
//   typed at its end, so there it moves only within tables;
// - operations made while no document is open do nothing.
class RtfWordLayer final : public WordLayer {
  public:
    // `templateDirectory` holds the templates under their UTF-8 file names.
    RtfWordLayer(std::filesystem::path templateDirectory, Notifier& notifier, DocumentSink& sink);

    // Names the documents shown from now on (UTF-8). Empty goes back to the
    // default: the template's file name without extension, or "Документ".
    void SetTitle(std::string_view utf8) override;
    // Every page of an RTF document carries "Стр. N из M" at its foot, and
    // this line under it.
    void SetFooter(std::string_view line) override { m_footer = line; }

    // The RTF that WordShow would write now; empty while no document is open.
    std::string Rtf() const;

    bool WordOpenTemplate(std::string_view name) override;
    void WordFillBookmark(std::string_view name, std::string_view value) override;
    void WordFillBookmark(std::string_view name, std::int64_t value) override;
    void WordWriteText(std::string_view text, int size, bool bold, ParagraphAlign align) override;
    void WordWriteLine(std::string_view text, int size, bool bold, ParagraphAlign align) override;
    void WordNewDocument(int orientation) override;
    void WordAddTable(int rows, int columns, int fontSize) override;
    void WordWriteCell(std::string_view text, int size, bool bold, ParagraphAlign align) override;
    void WordSetColumnWidths(const std::vector<int>& weights) override;
    void WordLetTableBreak() override;
    void WordMoveDown() override;
    void WordDeleteRow() override;
    void WordNewParagraph() override;
    void WordSetHangingIndent(int twips) override;
    void WordKeepWithNext(bool on) override;
    void WordPasteCentered(const std::vector<std::uint8_t>& png) override;
    bool WordShow() override;
    TransferResult LastWrite() const override { return m_lastWrite; }
    std::filesystem::path LastWriteFile() const override { return m_lastWriteFile; }
    bool MustTerminate() const override { return m_mustTerminate; }
    // The RTF read back into paper: one description of the document for
    // every format.
    std::optional<PaperDocument> Paper() const override;

  private:
    // RTF spliced into the template at one place: a fill, then what was
    // typed there. A document made from nothing has one, holding all of it.
    struct Insertion {
        TemplateSpot spot;
        RtfFlow flow;
        std::string fill;  // cp1251; empty once typing replaced it
        bool toggled = false;
    };

    struct Page {
        int width = 0;  // twips
        int height = 0;
        int marginLeft = 0;
        int marginRight = 0;
        bool landscape = false;
    };

    bool IsOpen() const { return !m_insertions.empty(); }
    void StartDocument(std::optional<RtfTemplate> document, std::string defaultTitle);
    void AddInsertion(const TemplateSpot& spot, std::string fill);
    RtfFlow& TypingFlow();
    void ForgetLastWrite();
    void RenderTemplateDocument(std::string& out) const;
    void RenderNewDocument(std::string& out) const;

    std::filesystem::path m_templateDirectory;
    Notifier& m_notifier;
    DocumentSink& m_sink;

    std::optional<RtfTemplate> m_template;  // empty for a document made from nothing
    Page m_page;
    std::vector<Insertion> m_insertions;        // empty while no document is open
    std::size_t m_cursor = 0;                   // the insertion typed into
    std::optional<std::size_t> m_selectedFill;  // the insertion whose fill is selected
    int m_fontSize = 12;
    std::string m_defaultTitle;
    std::string m_title;
    std::string m_footer;  // cp1251
    bool m_mustTerminate = false;
    TransferResult m_lastWrite;
    std::filesystem::path m_lastWriteFile;
};

}  // namespace zorvek
