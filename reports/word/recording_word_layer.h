#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "reports/word/word_layer.h"

namespace zorvek {

// A word-processor layer that only writes down what it is asked to do, one
// readable line per operation, for the tests of the document builders:
//   WordOpenTemplate("Форма 1.rtf")
//   WordFillBookmark("info02","КС-45717")   WordFillBookmark("peregryz",12)
//   WordWriteCell("text",10,0,2)            (size, bold 0/1, alignment code)
//   WordPasteCentered(1532 bytes)       WordSetHangingIndent(8508)
//   Notify("Файл Форма 1.rtf не найден.")   (a message the real layer shows)
// Texts are shown in UTF-8 between double quotes, with \\, \", \r, \n, \t and
// \xNN for the characters that would spoil the line.
//
// It fails where it is told to, as the real layer fails: a missing template
// gives false and its message; a missing bookmark gives the damaged-files
// message and MustTerminate.
class RecordingWordLayer final : public WordLayer {
  public:
    // Names are cp1251, compared exactly.
    void SetTemplateMissing(std::string_view name) { m_missingTemplates.emplace(name); }
    void SetBookmarkMissing(std::string_view name) { m_missingBookmarks.emplace(name); }

    const std::vector<std::string>& Log() const { return m_log; }

    bool WordOpenTemplate(std::string_view name) override;
    void WordFillBookmark(std::string_view name, std::string_view value) override;
    void WordFillBookmark(std::string_view name, std::int64_t value) override;
    void WordWriteText(std::string_view text, int size, bool bold, ParagraphAlign align) override;
    void WordWriteLine(std::string_view text, int size, bool bold, ParagraphAlign align) override;
    void WordNewDocument(int orientation) override;
    void WordAddTable(int rows, int columns, int fontSize) override;
    void WordWriteCell(std::string_view text, int size, bool bold, ParagraphAlign align) override;
    void WordMoveDown() override;
    void WordDeleteRow() override;
    void WordNewParagraph() override;
    void WordSetHangingIndent(int twips) override;
    void WordPasteCentered(const std::vector<std::uint8_t>& png) override;
    bool WordShow() override;
    bool MustTerminate() const override { return m_mustTerminate; }

  private:
    void Record(std::string_view operation, std::string_view arguments);
    void RecordFormatted(std::string_view operation, std::string_view text, int size, bool bold,
                         ParagraphAlign align);
    void FillBookmark(std::string_view name, std::string_view shownValue);

    std::set<std::string, std::less<>> m_missingTemplates;
    std::set<std::string, std::less<>> m_missingBookmarks;
    std::vector<std::string> m_log;
    bool m_mustTerminate = false;
};

}  // namespace zorvek
