#include "reports/word/rtf_template.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "model/cp1251.h"

namespace zorvek {
namespace {

enum class Destination { Body, Skipped, BookmarkStart, BookmarkEnd };

struct Group {
    Destination destination = Destination::Body;
    bool bold = false;
    int unicodeSkip = 1;     // \ucN: fallback characters after each \uN
    bool fresh = true;       // nothing read in the group yet
    bool ignorable = false;  // opened with \*
    std::size_t start = 0;   // offset of its '{'
    std::string name;        // bookmark name read so far
};

// Groups whose first word makes them something other than document text.
constexpr std::string_view kSkippedDestinations[] = {
    "fonttbl",
    "colortbl",
    "stylesheet",
    "info",
    "pict",
    "object",
    "header",
    "headerl",
    "headerr",
    "headerf",
    "footer",
    "footerl",
    "footerr",
    "footerf",
    "footnote",
    "listtable",
    "listoverridetable",
    "revtbl",
    "rsidtbl",
    "generator",
    "xmlnstbl",
    "filetbl",
    "themedata",
    "latentstyles",
    "datastore",
    "pgdsctbl",
    "fldinst",
    "annotation",
    "listtext",
    "pntext",
    "nonshppict",
    "colorschememapping",
};

// Words that stand for a character of the text.
constexpr std::string_view kCharacterWords[] = {
    "tab",    "line",      "emdash",    "endash",  "bullet",  "lquote",
    "rquote", "ldblquote", "rdblquote", "emspace", "enspace", "page",
};

constexpr int kDefaultPaperWidth = 12240;  // RTF defaults, twips
constexpr int kDefaultMargin = 1800;
constexpr int kNarrowestText = 1440;

bool Contains(std::span<const std::string_view> words, std::string_view word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Bookmark names compare without regard to case: ASCII and Cyrillic letters
// of a cp1251 text lower-cased.
std::string LowerCp1251(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDF)) {
            c = static_cast<char>(byte + 0x20);
        } else if (byte == 0xA8) {  // Ё
            c = static_cast<char>(0xB8);
        }
    }
    return lowered;
}

}  // namespace

// One pass over the template that records what RtfTemplate offers.
class TemplateReader {
  public:
    explicit TemplateReader(RtfTemplate& result) : m_result(result), m_text(result.m_text) {}

    bool Read() {
        if (!m_text.starts_with("{\\rtf")) return false;
        std::size_t pos = 0;
        while (pos < m_text.size()) {
            const char c = m_text[pos];
            if (c == '{') {
                OpenGroup(pos);
                ++pos;
            } else if (c == '}') {
                if (CloseGroup(pos)) return Finish(pos);
                ++pos;
            } else if (c == '\r' || c == '\n') {
                if (m_advancingLine) m_result.m_lineEnds.back().below.offset = pos + 1;
                ++pos;
            } else if (c == '\\') {
                pos = ReadControl(pos);
            } else {
                Character(static_cast<unsigned char>(c), pos);
                ++pos;
            }
        }
        return false;
    }

  private:
    Group& Top() { return m_groups.back(); }

    void OpenGroup(std::size_t pos) {
        Group group;
        if (!m_groups.empty()) {
            Top().fresh = false;
            group.bold = Top().bold;
            group.unicodeSkip = Top().unicodeSkip;
            if (Top().destination != Destination::Body) group.destination = Destination::Skipped;
        }
        group.start = pos;
        m_groups.push_back(std::move(group));
        m_pendingSkip = 0;
    }

    // True when the outermost group has closed.
    bool CloseGroup(std::size_t pos) {
        if (m_groups.empty()) return false;
        Group closed = std::move(Top());
        m_groups.pop_back();
        m_pendingSkip = 0;
        if (m_groups.empty()) return true;
        if (closed.destination == Destination::BookmarkEnd) {
            m_result.m_bookmarks.emplace_back(LowerCp1251(closed.name),
                                              TemplateSpot{closed.start, Top().bold, m_inTable});
        }
        // A line starts after the groups that close right behind its break.
        if (m_advancingLine) {
            TemplateSpot& below = m_result.m_lineEnds.back().below;
            below.offset = pos + 1;
            below.bold = Top().bold;
        }
        return false;
    }

    std::size_t ReadControl(std::size_t pos) {
        if (pos + 1 >= m_text.size()) return m_text.size();
        const char next = m_text[pos + 1];
        if (IsLetter(next)) return ReadWord(pos);
        if (next == '\'') {
            const int high = pos + 2 < m_text.size() ? HexValue(m_text[pos + 2]) : -1;
            const int low = pos + 3 < m_text.size() ? HexValue(m_text[pos + 3]) : -1;
            if (high >= 0 && low >= 0) {
                Character(static_cast<unsigned char>(high * 16 + low), pos);
                return pos + 4;
            }
            return pos + 2;
        }
        if (next == '*') {
            if (!m_groups.empty()) Top().ignorable = true;
            return pos + 2;
        }
        if (next == '\\' || next == '{' || next == '}') {
            Character(static_cast<unsigned char>(next), pos);
        } else if (next == '\r' || next == '\n') {
            Word("par", false, 0, pos, pos + 2);
        } else if (next == '~') {
            Character(0xA0, pos);
        }
        return pos + 2;
    }

    std::size_t ReadWord(std::size_t pos) {
        std::size_t end = pos + 1;
        while (end < m_text.size() && IsLetter(m_text[end])) ++end;
        const std::string_view word(m_text.data() + pos + 1, end - pos - 1);
        int parameter = 0;
        bool hasParameter = false;
        if (end < m_text.size() &&
            (m_text[end] == '-' || (m_text[end] >= '0' && m_text[end] <= '9'))) {
            const auto [ptr, error] =
                std::from_chars(m_text.data() + end, m_text.data() + m_text.size(), parameter);
            hasParameter = error == std::errc();
            end = static_cast<std::size_t>(ptr - m_text.data());
            if (!hasParameter) {
                while (end < m_text.size() &&
                       (m_text[end] == '-' || (m_text[end] >= '0' && m_text[end] <= '9')))
                    ++end;
            }
        }
        if (end < m_text.size() && m_text[end] == ' ') ++end;
        if (word == "bin" && hasParameter && parameter > 0) {
            return std::min(m_text.size(), end + static_cast<std::size_t>(parameter));
        }
        Word(word, hasParameter, parameter, pos, end);
        return end;
    }

    void Word(std::string_view word, bool hasParameter, int parameter, std::size_t start,
              std::size_t end) {
        if (m_groups.empty()) return;
        Group& group = Top();
        const bool first = group.fresh;
        group.fresh = false;
        if (word != "u") m_pendingSkip = 0;
        if (first && group.destination == Destination::Body) {
            if (word == "bkmkstart") {
                group.destination = Destination::BookmarkStart;
                return;
            }
            if (word == "bkmkend") {
                group.destination = Destination::BookmarkEnd;
                return;
            }
            if (group.ignorable || Contains(kSkippedDestinations, word)) {
                if (word == "pict" || word == "object") Content(start);
                group.destination = Destination::Skipped;
                return;
            }
        }
        if (word == "uc" && hasParameter) group.unicodeSkip = std::max(parameter, 0);
        if (group.destination == Destination::BookmarkStart ||
            group.destination == Destination::BookmarkEnd) {
            if (word == "u" && hasParameter) {
                const auto unit =
                    static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter);
                group.name += Cp1251FromUtf16(std::u16string_view(&unit, 1));
                m_pendingSkip = group.unicodeSkip;
            }
            return;
        }
        if (group.destination != Destination::Body) return;
        m_advancingLine = false;
        if (word == "pard" || word == "trowd") SectionBody(start);
        if (word == "b") {
            group.bold = !hasParameter || parameter != 0;
        } else if (word == "plain") {
            group.bold = false;
        } else if (word == "pard") {
            m_inTable = false;
            m_pardEnd = end;
        } else if (word == "intbl") {
            m_inTable = true;
        } else if (word == "par" || word == "sect" || word == "row") {
            LineBreak(start, end);
        } else if (word == "cell") {
            Content(start);
            if (m_waitingForCell) {
                m_result.m_lineEnds.back().below = TemplateSpot{start, group.bold, true};
                m_waitingForCell = false;
                m_lineOpen = false;
            }
        } else if (word == "u") {
            Content(start);
            m_pendingSkip = group.unicodeSkip;
        } else if (Contains(kCharacterWords, word)) {
            Content(start);
        } else if (hasParameter) {
            PageWord(word, parameter);
        }
    }

    void PageWord(std::string_view word, int value) {
        if (word == "paperw" || word == "pgwsxn") m_paperWidth = value;
        if (word == "margl" || word == "marglsxn") m_marginLeft = value;
        if (word == "margr" || word == "margrsxn") m_marginRight = value;
    }

    void Character(unsigned char byte, std::size_t pos) {
        if (m_groups.empty()) return;
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        Group& group = Top();
        group.fresh = false;
        if (group.destination == Destination::BookmarkStart ||
            group.destination == Destination::BookmarkEnd) {
            group.name += static_cast<char>(byte);
            return;
        }
        if (group.destination != Destination::Body) return;
        m_advancingLine = false;
        Content(pos);
    }

    // Text, a character word or a break at `pos`: settles where the line
    // opened by the last break starts, and the document's first text.
    void Content(std::size_t pos) {
        SectionBody(pos);
        if (!m_seenContent) {
            m_seenContent = true;
            m_result.m_start = TemplateSpot{pos, Top().bold, m_inTable};
        }
        if (m_lineOpen && !m_waitingForCell) {
            // A row is entered at the end of its first cell: text cannot stand
            // between two rows.
            if (m_inTable) {
                m_waitingForCell = true;
            } else {
                // Past the line's \pard: before it, the state of the line
                // above holds, which after a table row is still "in table".
                TemplateSpot& below = m_result.m_lineEnds.back().below;
                below.offset = std::max(below.offset, m_pardEnd);
                m_lineOpen = false;
            }
        }
    }

    // The first paragraph, row or text of the body: the section's page
    // setup lies before it, and a footer goes there.
    void SectionBody(std::size_t pos) {
        if (m_seenSectionBody) return;
        m_seenSectionBody = true;
        m_result.m_footerSpot = pos;
    }

    void LineBreak(std::size_t start, std::size_t end) {
        Content(start);
        if (m_waitingForCell) {
            // A paragraph break inside the cell that the last line entered.
            m_result.m_lineEnds.back().below = TemplateSpot{start, Top().bold, true};
            m_waitingForCell = false;
        }
        m_result.m_lineEnds.push_back({start, TemplateSpot{end, Top().bold, false}});
        m_lineOpen = true;
        m_advancingLine = true;
    }

    bool Finish(std::size_t bodyEnd) {
        m_result.m_bodyEnd = bodyEnd;
        if (!m_seenContent) m_result.m_start = TemplateSpot{bodyEnd, false, false};
        if (!m_seenSectionBody) m_result.m_footerSpot = bodyEnd;
        m_result.m_textWidth =
            std::max(m_paperWidth - m_marginLeft - m_marginRight, kNarrowestText);
        return true;
    }

    RtfTemplate& m_result;
    const std::string& m_text;
    std::vector<Group> m_groups;
    int m_pendingSkip = 0;
    bool m_inTable = false;
    bool m_seenContent = false;
    bool m_seenSectionBody = false;
    bool m_lineOpen = false;        // the last break's line start is not settled yet
    bool m_advancingLine = false;   // ... and still moves past closing braces
    bool m_waitingForCell = false;  // ... and lies in the next table row
    std::size_t m_pardEnd = 0;      // where the last \pard of the text ends
    int m_paperWidth = kDefaultPaperWidth;
    int m_marginLeft = kDefaultMargin;
    int m_marginRight = kDefaultMargin;
};

std::optional<RtfTemplate> RtfTemplate::Parse(std::string text) {
    RtfTemplate result;
    result.m_text = std::move(text);
    TemplateReader reader(result);
    if (!reader.Read()) return std::nullopt;
    return result;
}

const TemplateSpot* RtfTemplate::FindBookmark(std::string_view name) const {
    const std::string lowered = LowerCp1251(name);
    for (const auto& [bookmark, spot] : m_bookmarks) {
        if (bookmark == lowered) return &spot;
    }
    return nullptr;
}

std::optional<TemplateSpot> RtfTemplate::LineBelow(std::size_t offset) const {
    const auto next = std::lower_bound(
        m_lineEnds.begin(), m_lineEnds.end(), offset,
        [](const LineEnd& lineEnd, std::size_t value) { return lineEnd.tokenStart < value; });
    // The break that ends the body's last paragraph opens no line.
    if (next == m_lineEnds.end() || next->below.offset >= m_bodyEnd) return std::nullopt;
    return next->below;
}

}  // namespace zorvek
