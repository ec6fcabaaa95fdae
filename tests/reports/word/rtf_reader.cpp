#include "tests/reports/word/rtf_reader.h"

#include <cctype>
#include <cstdlib>
#include <set>

#include "model/cp1251.h"

namespace zorvek::test {
namespace {

struct GroupState {
    bool bold = false;
    int halfPoints = 24;
    bool skipped = false;
    bool picture = false;
    bool fresh = true;
    bool ignorable = false;
    int unicodeSkip = 1;
};

const std::set<std::string, std::less<>> kSkipped = {
    "fonttbl", "colortbl", "stylesheet", "info",    "header",  "footer", "footnote",
    "headerl", "headerr",  "footerl",    "footerr", "fldinst", "object", "nonshppict"};

std::string Utf8OfUnit(char16_t unit) {
    std::string out;
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
    return out;
}

class Reader {
  public:
    ReadDocument Read(std::string_view rtf) {
        std::size_t i = 0;
        while (i < rtf.size()) {
            const char c = rtf[i];
            if (c == '{') {
                GroupState inner = m_groups.empty() ? GroupState{} : m_groups.back();
                if (!m_groups.empty()) m_groups.back().fresh = false;
                inner.fresh = true;
                inner.ignorable = false;
                m_groups.push_back(inner);
                m_skip = 0;
                ++i;
            } else if (c == '}') {
                if (m_groups.empty()) break;
                if (m_groups.back().picture &&
                    (m_groups.size() < 2 || !m_groups[m_groups.size() - 2].picture)) {
                    m_picture.bytes = m_hexDigits / 2;
                    m_paragraph.pictures.push_back(m_picture);
                    m_doc.flat += "{pict}";
                }
                m_groups.pop_back();
                m_skip = 0;
                ++i;
                if (m_groups.empty()) {
                    m_doc.ok = true;
                    break;
                }
            } else if (c == '\\') {
                i = Control(rtf, i);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                Byte(static_cast<unsigned char>(c));
                ++i;
            }
        }
        if (!m_table.rows.empty()) m_doc.tables.push_back(m_table);
        if (!m_cell.empty()) m_doc.tablesSound = false;
        return m_doc;
    }

  private:
    bool Skipping() const { return m_groups.empty() || m_groups.back().skipped; }

    std::size_t Control(std::string_view rtf, std::size_t i) {
        if (i + 1 >= rtf.size()) return rtf.size();
        const char next = rtf[i + 1];
        if (std::isalpha(static_cast<unsigned char>(next))) {
            std::size_t end = i + 1;
            while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end]))) ++end;
            const std::string word(rtf.substr(i + 1, end - i - 1));
            std::size_t digits = end;
            if (digits < rtf.size() && rtf[digits] == '-') ++digits;
            while (digits < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[digits])))
                ++digits;
            const bool hasParameter = digits > end && !(digits == end + 1 && rtf[end] == '-');
            const int parameter =
                hasParameter ? std::atoi(std::string(rtf.substr(end, digits - end)).c_str()) : 0;
            end = digits;
            if (end < rtf.size() && rtf[end] == ' ') ++end;
            Word(word, hasParameter, parameter);
            return end;
        }
        if (next == '\'' && i + 3 < rtf.size()) {
            Byte(static_cast<unsigned char>(
                std::strtol(std::string(rtf.substr(i + 2, 2)).c_str(), nullptr, 16)));
            return i + 4;
        }
        if (next == '*') {
            if (!m_groups.empty()) m_groups.back().ignorable = true;
        } else if (next == '\\' || next == '{' || next == '}') {
            Byte(static_cast<unsigned char>(next));
        } else if (next == '\r' || next == '\n') {
            Word("par", false, 0);
        }
        return i + 2;
    }

    void Word(const std::string& word, bool hasParameter, int parameter) {
        if (m_groups.empty()) return;
        GroupState& group = m_groups.back();
        const bool first = group.fresh;
        group.fresh = false;
        if (first && !group.skipped && !group.picture) {
            if (word == "pict") {
                group.picture = true;
                group.skipped = true;
                m_picture = ReadPicture{};
                m_hexDigits = 0;
                return;
            }
            if (group.ignorable || kSkipped.contains(word)) {
                group.skipped = true;
                return;
            }
        }
        if (group.picture) {
            if (word == "picw") m_picture.width = parameter;
            if (word == "pich") m_picture.height = parameter;
            if (word == "picwgoal") m_picture.goalWidth = parameter;
            if (word == "pichgoal") m_picture.goalHeight = parameter;
            return;
        }
        if (Skipping()) return;
        if (word != "u") m_skip = 0;
        if (word == "paperw") m_doc.paperWidth = parameter;
        if (word == "paperh") m_doc.paperHeight = parameter;
        if (word == "margt") m_doc.marginTop = parameter;
        if (word == "landscape") m_doc.landscape = true;
        if (word == "b") group.bold = !hasParameter || parameter != 0;
        if (word == "plain") {
            group.bold = false;
            group.halfPoints = 24;
        }
        if (word == "fs") group.halfPoints = parameter;
        if (word == "uc") group.unicodeSkip = parameter;
        if (word == "pard") {
            m_align = 'l';
            m_inTable = false;
            m_keepWithNext = false;
            m_leftIndent = 0;
            m_firstIndent = 0;
        }
        if (word == "li") m_leftIndent = parameter;
        if (word == "fi") m_firstIndent = parameter;
        if (word == "keepn") m_keepWithNext = true;
        if (word == "trowd") m_rowHeader = false;
        if (word == "trhdr") m_rowHeader = true;
        if (word == "intbl") m_inTable = true;
        if (word == "ql" || word == "qc" || word == "qr" || word == "qj") m_align = word[1];
        if (word == "tab") Text("\t");
        if (word == "line") Text("\n");
        if (word == "u") {
            Text(Utf8OfUnit(static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter)));
            m_skip = group.unicodeSkip;
        }
        if (word == "par") EndParagraph();
        if (word == "cell") EndCell();
        if (word == "row") EndRow();
    }

    void Byte(unsigned char byte) {
        if (m_groups.empty()) return;
        GroupState& group = m_groups.back();
        group.fresh = false;
        if (group.picture) {
            if (std::isxdigit(byte)) ++m_hexDigits;
            return;
        }
        if (Skipping()) return;
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        Text(Utf8FromCp1251(std::string(1, static_cast<char>(byte))));
    }

    void Text(const std::string& utf8) {
        const GroupState& group = m_groups.back();
        std::vector<ReadRun>& runs = m_paragraph.runs;
        if (runs.empty() || runs.back().bold != group.bold ||
            runs.back().halfPoints != group.halfPoints) {
            runs.push_back(ReadRun{"", group.bold, group.halfPoints});
        }
        runs.back().text += utf8;
        m_doc.flat += utf8;
    }

    void FinishParagraph() {
        m_paragraph.align = m_align;
        m_paragraph.inTable = m_inTable;
        m_paragraph.keepWithNext = m_keepWithNext;
        m_paragraph.hangingIndent = m_leftIndent == -m_firstIndent ? m_leftIndent : 0;
        if (m_inTable && !m_keepWithNext) m_rowKept = false;
        m_doc.paragraphs.push_back(m_paragraph);
        m_paragraph = ReadParagraph{};
    }

    void EndParagraph() {
        if (m_inTable) {
            m_cell += m_paragraph.Text() + "\n";
        } else if (!m_cell.empty()) {
            m_doc.tablesSound = false;  // a table paragraph that no cell took
            m_cell.clear();
        } else if (!m_table.rows.empty()) {
            m_doc.tables.push_back(m_table);
            m_table = ReadTable{};
        }
        FinishParagraph();
        m_doc.flat += "\n";
    }

    void EndCell() {
        if (!m_inTable) m_doc.tablesSound = false;
        m_cell += m_paragraph.Text();
        m_row.push_back(m_cell);
        m_cell.clear();
        FinishParagraph();
        m_doc.flat += "|";
    }

    void EndRow() {
        if (!m_inTable || !m_cell.empty()) m_doc.tablesSound = false;
        m_table.rows.push_back(m_row);
        m_table.header.push_back(m_rowHeader);
        m_table.kept.push_back(m_rowKept);
        m_row.clear();
        m_rowKept = true;
        m_doc.flat += "\n";
    }

    ReadDocument m_doc;
    std::vector<GroupState> m_groups;
    int m_skip = 0;
    char m_align = 'l';
    bool m_inTable = false;
    bool m_keepWithNext = false;
    int m_leftIndent = 0;
    int m_firstIndent = 0;
    bool m_rowHeader = false;
    bool m_rowKept = true;
    ReadParagraph m_paragraph;
    ReadPicture m_picture;
    std::size_t m_hexDigits = 0;
    std::string m_cell;
    std::vector<std::string> m_row;
    ReadTable m_table;
};

}  // namespace

std::string ReadParagraph::Text() const {
    std::string text;
    for (const ReadRun& run : runs) text += run.text;
    return text;
}

const ReadRun* ReadDocument::RunWith(std::string_view text) const {
    for (const ReadParagraph& paragraph : paragraphs) {
        for (const ReadRun& run : paragraph.runs) {
            if (run.text.find(text) != std::string::npos) return &run;
        }
    }
    return nullptr;
}

ReadDocument ReadRtf(std::string_view rtf) { return Reader().Read(rtf); }

}  // namespace zorvek::test
