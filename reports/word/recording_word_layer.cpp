#include "reports/word/recording_word_layer.h"

#include "model/cp1251.h"
#include "reports/word/word_messages.h"

namespace zorvek {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// A cp1251 text as the recording shows it: UTF-8 in double quotes.
std::string QuotedForLog(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : Utf8FromCp1251(text)) {
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    quoted += "\\x";
                    quoted += kHexDigits[(c >> 4) & 0x0F];
                    quoted += kHexDigits[c & 0x0F];
                } else {
                    quoted += c;
                }
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace

void RecordingWordLayer::Record(std::string_view operation, std::string_view arguments) {
    std::string line(operation);
    line += '(';
    line += arguments;
    line += ')';
    m_log.push_back(std::move(line));
}

void RecordingWordLayer::RecordFormatted(std::string_view operation, std::string_view text,
                                         int size, bool bold, ParagraphAlign align) {
    Record(operation, QuotedForLog(text) + ',' + std::to_string(size) + ',' + (bold ? '1' : '0') +
                          ',' + std::to_string(static_cast<int>(align)));
}

bool RecordingWordLayer::WordOpenTemplate(std::string_view name) {
    Record("WordOpenTemplate", QuotedForLog(name));
    if (m_missingTemplates.contains(name)) {
        Record("Notify", QuotedForLog(MissingTemplateMessage(name)));
        return false;
    }
    return true;
}

void RecordingWordLayer::FillBookmark(std::string_view name, std::string_view shownValue) {
    Record("WordFillBookmark", QuotedForLog(name) + ',' + std::string(shownValue));
    if (m_missingBookmarks.contains(name)) {
        Record("Notify", QuotedForLog(DamagedTemplateMessage()));
        m_mustTerminate = true;
    }
}

void RecordingWordLayer::WordFillBookmark(std::string_view name, std::string_view value) {
    FillBookmark(name, QuotedForLog(value));
}

void RecordingWordLayer::WordFillBookmark(std::string_view name, std::int64_t value) {
    FillBookmark(name, std::to_string(value));
}

void RecordingWordLayer::WordWriteText(std::string_view text, int size, bool bold,
                                       ParagraphAlign align) {
    RecordFormatted("WordWriteText", text, size, bold, align);
}

void RecordingWordLayer::WordWriteLine(std::string_view text, int size, bool bold,
                                       ParagraphAlign align) {
    RecordFormatted("WordWriteLine", text, size, bold, align);
}

void RecordingWordLayer::WordNewDocument(int orientation) {
    Record("WordNewDocument", std::to_string(orientation));
}

void RecordingWordLayer::WordAddTable(int rows, int columns, int fontSize) {
    Record("WordAddTable",
           std::to_string(rows) + ',' + std::to_string(columns) + ',' + std::to_string(fontSize));
}

void RecordingWordLayer::WordWriteCell(std::string_view text, int size, bool bold,
                                       ParagraphAlign align) {
    RecordFormatted("WordWriteCell", text, size, bold, align);
}

void RecordingWordLayer::WordMoveDown() { Record("WordMoveDown", ""); }

void RecordingWordLayer::WordDeleteRow() { Record("WordDeleteRow", ""); }

void RecordingWordLayer::WordNewParagraph() { Record("WordNewParagraph", ""); }

void RecordingWordLayer::WordSetHangingIndent(int twips) {
    Record("WordSetHangingIndent", std::to_string(twips));
}

void RecordingWordLayer::WordPasteCentered(const std::vector<std::uint8_t>& png) {
    Record("WordPasteCentered", std::to_string(png.size()) + " bytes");
}

bool RecordingWordLayer::WordShow() {
    Record("WordShow", "");
    return true;
}

}  // namespace zorvek
