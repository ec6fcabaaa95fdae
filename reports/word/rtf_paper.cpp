#include "reports/word/rtf_paper.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/cp1251.h"
#include "reports/word/png_size.h"

namespace zorvek {
namespace {

// Far deeper than any document nests; text made only of braces must not
// exhaust memory.
constexpr std::size_t kDeepestGroup = 1000;
constexpr int kDefaultHalfPoints = 24;  // what \plain gives: 12 points
constexpr int kLargestHalfPoints = 3276;
constexpr int kDefaultBorderWidth = 15;  // a line whose width is not given
// A cell the row gives no edge for is an inch wide.
constexpr int kCellWithoutEdge = 1440;
// Pictures that do not say their resolution are shown at 96 dots per inch.
constexpr int kTwipsPerDefaultPixel = 15;
constexpr double kTwipsPerMetre = 1440 / 0.0254;
// The page leaves at least an inch of text each way, and is no larger than
// word processors allow (22 inches).
constexpr int kLeastText = 1440;
constexpr int kLargestPage = 31680;
constexpr char32_t kNoCharacter = 0xFFFD;

enum class Destination { Body, Skipped, FontTable, ColourTable, Picture };

// Groups whose text is not the document's; those opened with \* (the
// tables of lists, revisions, themes, ...) are skipped whatever their name.
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet", "info",     "header",  "headerl", "headerr",  "headerf",
    "footer",     "footerl",  "footerr", "footerf", "footnote", "object",
    "nonshppict", "listtext", "pntext",  "pn",      "fldinst"};

// Words that stand for one character of the text.
struct CharacterWord {
    std::string_view word;
    char32_t character;
};
constexpr CharacterWord kCharacterWords[] = {
    {"tab", U'\t'},        {"line", U'\n'},     {"emdash", 0x2014},  {"endash", 0x2013},
    {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
    {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
};

// Each page length with its word for the document and for a section.
struct PageWord {
    std::string_view document;
    std::string_view section;
    int PaperPage::*length;
};
constexpr PageWord kPageWords[] = {
    {"paperw", "pgwsxn", &PaperPage::width},       {"paperh", "pghsxn", &PaperPage::height},
    {"margl", "marglsxn", &PaperPage::marginLeft}, {"margr", "margrsxn", &PaperPage::marginRight},
    {"margt", "margtsxn", &PaperPage::marginTop},  {"margb", "margbsxn", &PaperPage::marginBottom},
};

// Cell sides in the order a cell's border words name them.
constexpr std::string_view kCellSides[] = {"clbrdrl", "clbrdrt", "clbrdrr", "clbrdrb"};
constexpr int kNoSide = -1;
// Border words for lines the paper does not draw: a paragraph's, a row's.
constexpr std::string_view kOtherBorders[] = {"brdrt",   "brdrb",   "brdrl", "brdrr",
                                              "brdrbtw", "brdrbar", "box"};

bool Contains(std::span<const std::string_view> words, std::string_view word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A toggle such as \b is on without a parameter and off with 0.
bool On(std::optional<int> parameter) { return !parameter || *parameter != 0; }

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Brings two margins of a page side in so that `least` of the side is left
// between them, keeping their proportion.
void FitMargins(int length, int least, int& first, int& second) {
    first = std::max(first, 0);
    second = std::max(second, 0);
    const std::int64_t room = length - least;
    const std::int64_t both = std::int64_t{first} + second;
    if (both <= room) return;
    first = static_cast<int>(first * room / both);
    second = static_cast<int>(room - first);
}

// A row whose paragraphs all keep with the next stays with the row below;
// the last such row keeps its table with the block after it.
bool KeepsWithNext(const PaperRow& row) {
    bool any = false;
    for (const PaperCell& cell : row.cells) {
        for (const PaperParagraph& paragraph : cell.paragraphs) {
            if (!paragraph.keepWithNext) return false;
            any = true;
        }
    }
    return any;
}

struct Group {
    Destination destination = Destination::Body;
    bool bold = false;
    int halfPoints = kDefaultHalfPoints;
    int font = -1;           // number in the font table; -1: the document's default font
    int colour = 0;          // index in the colour table
    int unicodeSkip = 1;     // \ucN: fallback characters after each \uN
    bool fresh = true;       // nothing read in it yet: its first word may name a destination
    bool ignorable = false;  // opened with \*
};

struct Border {
    bool line = false;
    int width = 0;  // twips; 0: not given
};

struct CellFormat {
    std::array<Border, 4> borders;  // left, top, right, bottom
    PaperVerticalAlign verticalAlign = PaperVerticalAlign::Top;
    std::optional<std::uint32_t> fill;
};

struct CellEdge {
    int right = 0;  // \cellx: from the text's left edge, not yet from the row's
    CellFormat format;
};

struct PictureData {
    bool png = false;
    int goalWidth = 0;
    int goalHeight = 0;
    int scaleX = 100;  // per cent
    int scaleY = 100;
    std::vector<std::uint8_t> bytes;
    int highNibble = -1;  // a hex digit waiting for its partner
};

class PaperReader {
  public:
    explicit PaperReader(std::string_view rtf) : m_rtf(rtf) {}

    std::optional<PaperDocument> Read() {
        if (!m_rtf.starts_with("{\\rtf")) return std::nullopt;
        std::size_t pos = 0;
        while (pos < m_rtf.size()) {
            const char c = m_rtf[pos];
            if (c == '{') {
                if (!OpenGroup()) return std::nullopt;
                ++pos;
            } else if (c == '}') {
                if (m_groups.size() == 1) return Finish();
                CloseGroup();
                ++pos;
            } else if (c == '\\') {
                pos = Control(pos);
            } else {
                if (c != '\r' && c != '\n') Literal(c);
                ++pos;
            }
        }
        return std::nullopt;
    }

  private:
    Group& Top() { return m_groups.back(); }

    bool OpenGroup() {
        if (m_groups.size() == kDeepestGroup) return false;
        Group group = m_groups.empty() ? Group{} : Top();
        if (!m_groups.empty()) Top().fresh = false;
        group.fresh = true;
        group.ignorable = false;
        // Inside a picture or the colour table nothing more is of use; font
        // entries are groups of the font table.
        if (group.destination == Destination::Picture ||
            group.destination == Destination::ColourTable) {
            group.destination = Destination::Skipped;
        }
        m_groups.push_back(group);
        m_pendingSkip = 0;
        return true;
    }

    void CloseGroup() {
        const Destination closed = Top().destination;
        m_groups.pop_back();
        m_pendingSkip = 0;
        if (closed == Destination::Picture) EndPicture();
    }

    // Counts off the characters that stand in for a \uN for older readers.
    bool SkipFallback() {
        if (m_pendingSkip == 0) return false;
        --m_pendingSkip;
        return true;
    }

    std::size_t Control(std::size_t pos) {
        if (pos + 1 >= m_rtf.size()) return m_rtf.size();
        const char next = m_rtf[pos + 1];
        if (IsLetter(next)) return ControlWord(pos + 1);
        if (next == '*') {
            Top().ignorable = true;
            return pos + 2;
        }
        if (next == '\'') {
            const int high = pos + 2 < m_rtf.size() ? HexValue(m_rtf[pos + 2]) : -1;
            const int low = pos + 3 < m_rtf.size() ? HexValue(m_rtf[pos + 3]) : -1;
            // A broken escape stands for nothing.
            if (high < 0 || low < 0) return pos + 2;
            if (!SkipFallback() && Top().destination == Destination::Body) {
                BodyByte(static_cast<unsigned char>(high * 16 + low));
            }
            return pos + 4;
        }
        if (SkipFallback()) return pos + 2;
        Top().fresh = false;
        if (next == '\r' || next == '\n') {
            Word("par", std::nullopt);
        } else if (Top().destination == Destination::Body) {
            ControlSymbol(next);
        }
        return pos + 2;
    }

    void ControlSymbol(char symbol) {
        switch (symbol) {
            case '\\':
            case '{':
            case '}':
                BodyByte(static_cast<unsigned char>(symbol));
                break;
            case '~':
                Text(0x00A0);  // no-break space
                break;
            case '_':
                Text(0x2011);  // no-break hyphen
                break;
            default:  // \- (a place the word may break) and symbols of no use here
                break;
        }
    }

    std::size_t ControlWord(std::size_t start) {
        std::size_t end = start;
        while (end < m_rtf.size() && IsLetter(m_rtf[end])) ++end;
        const std::string_view word = m_rtf.substr(start, end - start);
        std::size_t digitsEnd = end;
        if (digitsEnd < m_rtf.size() && m_rtf[digitsEnd] == '-') ++digitsEnd;
        while (digitsEnd < m_rtf.size() && IsDigit(m_rtf[digitsEnd])) ++digitsEnd;
        // A number too long for an int counts as none.
        std::optional<int> parameter;
        int value = 0;
        const auto [ptr, error] =
            std::from_chars(m_rtf.data() + end, m_rtf.data() + digitsEnd, value);
        if (error == std::errc() && ptr == m_rtf.data() + digitsEnd) parameter = value;
        end = digitsEnd;
        if (end < m_rtf.size() && m_rtf[end] == ' ') ++end;
        if (word == "bin") return Binary(end, parameter.value_or(0));
        if (!SkipFallback()) Word(word, parameter);
        return end;
    }

    // \binN: N raw bytes follow, of a picture or of nothing we read.
    std::size_t Binary(std::size_t start, int count) {
        const std::size_t length = std::min<std::size_t>(std::max(count, 0), m_rtf.size() - start);
        if (Top().destination == Destination::Picture) {
            const std::string_view data = m_rtf.substr(start, length);
            m_picture.bytes.insert(m_picture.bytes.end(), data.begin(), data.end());
        }
        return start + length;
    }

    void Word(std::string_view word, std::optional<int> parameter) {
        Group& group = Top();
        if (std::exchange(group.fresh, false) && StartsDestination(word)) return;
        switch (group.destination) {
            case Destination::Body:
                BodyWord(word, parameter);
                break;
            case Destination::FontTable:
                FontWord(word, parameter);
                break;
            case Destination::ColourTable:
                ColourWord(word, parameter.value_or(0));
                break;
            case Destination::Picture:
                PictureWord(word, parameter.value_or(0));
                break;
            case Destination::Skipped:
                break;
        }
    }

    // The first word of a group: true when it made the group something other
    // than text of the body.
    bool StartsDestination(std::string_view word) {
        Group& group = Top();
        if (group.destination == Destination::FontTable && group.ignorable) {
            group.destination = Destination::Skipped;
            return true;
        }
        if (group.destination != Destination::Body) return false;
        // A picture saved for newer readers: its \pict is the one to show.
        if (word == "shppict") return true;
        if (word == "fonttbl") {
            group.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            group.destination = Destination::ColourTable;
            m_colours.clear();
            m_colour = {};
        } else if (word == "pict") {
            group.destination = Destination::Picture;
            m_picture = {};
        } else if (group.ignorable || Contains(kSkippedDestinations, word)) {
            group.destination = Destination::Skipped;
        } else {
            return false;
        }
        return true;
    }

    // Fonts of other families (\froman, \fnil, ...) are shown as serif.
    void FontWord(std::string_view word, std::optional<int> parameter) {
        if (word == "f" && parameter) {
            m_fontEntry = *parameter;
        } else if (word == "fmodern") {
            m_fonts[m_fontEntry] = PaperFont::Mono;
        } else if (word == "fswiss") {
            m_fonts[m_fontEntry] = PaperFont::Sans;
        }
    }

    void ColourWord(std::string_view word, int value) {
        const int shift = word == "red" ? 16 : word == "green" ? 8 : word == "blue" ? 0 : -1;
        if (shift < 0) return;
        const auto component = static_cast<std::uint32_t>(std::clamp(value, 0, 255));
        m_colour = m_colour.value_or(0) | component << shift;
    }

    void PictureWord(std::string_view word, int value) {
        if (word == "pngblip") m_picture.png = true;
        if (word == "picwgoal") m_picture.goalWidth = value;
        if (word == "pichgoal") m_picture.goalHeight = value;
        if (word == "picscalex" && value > 0) m_picture.scaleX = value;
        if (word == "picscaley" && value > 0) m_picture.scaleY = value;
    }

    void BodyWord(std::string_view word, std::optional<int> parameter) {
        const int value = parameter.value_or(0);
        if (CharacterFormatWord(word, parameter) || ParagraphFormatWord(word, parameter) ||
            RowWord(word, parameter) || BorderWord(word, value) || PageFormatWord(word, value)) {
            return;
        }
        if (word == "par") {
            EndParagraph(false);
        } else if (word == "cell") {
            EndParagraph(true);
        } else if (word == "row") {
            EndRow();
        } else if (word == "page") {
            PageBreak();
        } else if (word == "sect") {
            EndParagraph(false);
            m_pageBreakPending = true;
            m_firstSectionOver = true;
        } else if (word == "u" && parameter) {
            Unicode(value);
            m_pendingSkip = Top().unicodeSkip;
        } else {
            for (const CharacterWord& character : kCharacterWords) {
                if (character.word == word) Text(character.character);
            }
        }
    }

    bool CharacterFormatWord(std::string_view word, std::optional<int> parameter) {
        Group& group = Top();
        const int value = parameter.value_or(0);
        if (word == "plain") {
            group.bold = false;
            group.halfPoints = kDefaultHalfPoints;
            group.font = -1;
            group.colour = 0;
        } else if (word == "b") {
            group.bold = On(parameter);
        } else if (word == "fs") {
            if (value > 0) group.halfPoints = std::min(value, kLargestHalfPoints);
        } else if (word == "f") {
            if (parameter) group.font = value;
        } else if (word == "cf") {
            group.colour = value;
        } else if (word == "uc") {
            group.unicodeSkip = std::max(value, 0);
        } else if (word == "deff") {
            m_defaultFont = value;
        } else {
            return false;
        }
        return true;
    }

    // Paragraph formatting holds from \pard to the next \pard, whatever the
    // groups: text spliced into a template keeps its paragraphs' format
    // until the template's own mark ends the last of them.
    bool ParagraphFormatWord(std::string_view word, std::optional<int> parameter) {
        const int value = parameter.value_or(0);
        if (word == "pard") {
            m_format = {};
            m_inTable = false;
        } else if (word == "ql" || word == "qj") {
            m_format.align = PaperAlign::Left;
        } else if (word == "qc") {
            m_format.align = PaperAlign::Centre;
        } else if (word == "qr") {
            m_format.align = PaperAlign::Right;
        } else if (word == "sb") {
            m_format.spaceBefore = std::max(value, 0);
        } else if (word == "sa") {
            m_format.spaceAfter = std::max(value, 0);
        } else if (word == "li" || word == "lin") {
            m_format.leftIndent = value;
        } else if (word == "fi") {
            m_format.firstIndent = value;
        } else if (word == "ri" || word == "rin") {
            m_format.rightIndent = value;
        } else if (word == "tx") {
            std::vector<int>& stops = m_format.tabStops;
            const auto at = std::lower_bound(stops.begin(), stops.end(), value);
            if (value > 0 && (at == stops.end() || *at != value)) stops.insert(at, value);
        } else if (word == "keepn") {
            m_format.keepWithNext = On(parameter);
        } else if (word == "pagebb") {
            m_format.pageBreakBefore = On(parameter);
        } else if (word == "intbl") {
            m_inTable = On(parameter);
        } else {
            return false;
        }
        return true;
    }

    bool RowWord(std::string_view word, std::optional<int> parameter) {
        const int value = parameter.value_or(0);
        if (word == "trowd") {
            m_row = {};
            m_edges.clear();
            m_cell = {};
            m_side = kNoSide;
        } else if (word == "trleft") {
            m_row.left = value;
        } else if (word == "trgaph") {
            m_row.gap = std::max(value, 0);
        } else if (word == "trrh") {
            // Negative: exactly that high; the paper knows only "at least".
            m_row.minHeight = ClampToInt(std::abs(std::int64_t{value}));
        } else if (word == "trhdr") {
            m_row.header = On(parameter);
        } else if (word == "clvertalt") {
            m_cell.verticalAlign = PaperVerticalAlign::Top;
        } else if (word == "clvertalc") {
            m_cell.verticalAlign = PaperVerticalAlign::Centre;
        } else if (word == "clvertalb") {
            m_cell.verticalAlign = PaperVerticalAlign::Bottom;
        } else if (word == "clcbpat") {
            m_cell.fill = Colour(value);
        } else if (word == "cellx") {
            m_edges.push_back({value, m_cell});
            m_cell = {};
            m_side = kNoSide;
        } else {
            return false;
        }
        return true;
    }

    // A cell side names the border that the style and width words after it
    // describe.
    bool BorderWord(std::string_view word, int value) {
        for (int side = 0; side < static_cast<int>(std::size(kCellSides)); ++side) {
            if (word == kCellSides[side]) {
                m_side = side;
                return true;
            }
        }
        if (word.starts_with("trbrdr") || word.starts_with("cldg") ||
            Contains(kOtherBorders, word)) {
            m_side = kNoSide;
            return true;
        }
        if (!word.starts_with("brdr")) return false;
        if (m_side == kNoSide || word == "brdrcf") return true;
        Border& border = m_cell.borders[static_cast<std::size_t>(m_side)];
        if (word == "brdrw") {
            border.width = std::max(value, 0);
        } else {
            // Every style but \brdrnone draws a line; the paper draws them all plain.
            border.line = word != "brdrnone";
        }
        return true;
    }

    bool PageFormatWord(std::string_view word, int value) {
        if (word == "landscape") {
            m_landscape = true;
            return true;
        }
        if (word == "lndscpsxn") {
            if (!m_firstSectionOver) m_landscape = true;
            return true;
        }
        for (std::size_t i = 0; i < std::size(kPageWords); ++i) {
            if (word == kPageWords[i].document) {
                m_page.*kPageWords[i].length = value;
                return true;
            }
            if (word == kPageWords[i].section) {
                if (!m_firstSectionOver) m_sectionPage[i] = value;
                return true;
            }
        }
        return false;
    }

    void Unicode(int value) {
        const auto unit = static_cast<char16_t>(value < 0 ? value + 0x10000 : value);
        const char16_t high = std::exchange(m_highSurrogate, 0);
        if (unit >= 0xD800 && unit < 0xDC00) {
            m_highSurrogate = unit;  // waits for its low half in the next \uN
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            Text(high != 0 ? 0x10000 + (char32_t{high} - 0xD800) * 0x400 + (unit - 0xDC00)
                           : kNoCharacter);
        } else {
            if (high != 0) Text(kNoCharacter);
            Text(unit);
        }
    }

    // A character of the text as it stands in the RTF: cp1251.
    void Literal(char c) {
        if (SkipFallback()) return;
        Group& group = Top();
        group.fresh = false;
        switch (group.destination) {
            case Destination::Body:
                BodyByte(static_cast<unsigned char>(c));
                break;
            case Destination::ColourTable:
                if (c == ';') m_colours.push_back(std::exchange(m_colour, std::nullopt));
                break;
            case Destination::Picture:
                PictureDigit(HexValue(c));
                break;
            case Destination::FontTable:
            case Destination::Skipped:
                break;
        }
    }

    void BodyByte(unsigned char byte) {
        if (byte == '\t') {
            Text(U'\t');
        } else if (byte >= 0x20) {
            Text(byte < 0x80 ? char32_t{byte} : char32_t{UnicodeOfCp1251(byte)});
        }
    }

    void PictureDigit(int digit) {
        if (digit < 0) return;
        if (m_picture.highNibble < 0) {
            m_picture.highNibble = digit;
        } else {
            m_picture.bytes.push_back(static_cast<std::uint8_t>(m_picture.highNibble * 16 + digit));
            m_picture.highNibble = -1;
        }
    }

    void Text(char32_t c) {
        // A picture stands alone in its paragraph.
        if (m_shownPicture) EndParagraph(false);
        const Group& group = Top();
        const PaperRun format{{},
                              group.halfPoints / 2.0,
                              group.bold,
                              Font(group.font),
                              Colour(group.colour).value_or(0x000000)};
        if (m_runs.empty() || m_runs.back().sizePt != format.sizePt ||
            m_runs.back().bold != format.bold || m_runs.back().font != format.font ||
            m_runs.back().colour != format.colour) {
            m_runs.push_back(format);
        }
        AppendUtf8(m_runs.back().text, c);
    }

    PaperFont Font(int number) const {
        const auto found = m_fonts.find(number < 0 ? m_defaultFont : number);
        return found == m_fonts.end() ? PaperFont::Serif : found->second;
    }

    // Nullopt for the automatic colour and for an index past the table.
    std::optional<std::uint32_t> Colour(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= m_colours.size()) return std::nullopt;
        return m_colours[static_cast<std::size_t>(index)];
    }

    void EndPicture() {
        PictureData picture = std::exchange(m_picture, {});
        if (!picture.png) return;
        const std::optional<PngSize> size = ReadPngSize(picture.bytes);
        if (!size) return;
        const auto shown = [&](int goal, int pixels, int scale) {
            double twips = goal;
            if (goal <= 0) {
                twips = size->dotsPerMetre > 0
                            ? pixels * kTwipsPerMetre / size->dotsPerMetre
                            : static_cast<double>(pixels) * kTwipsPerDefaultPixel;
            }
            return static_cast<int>(
                std::clamp(std::round(twips * scale / 100), 1.0, double{kLargestPage}));
        };
        if (m_shownPicture || !m_runs.empty()) EndParagraph(false);
        m_shownPicture = PaperPicture{std::move(picture.bytes),
                                      shown(picture.goalWidth, size->width, picture.scaleX),
                                      shown(picture.goalHeight, size->height, picture.scaleY)};
    }

    void PageBreak() {
        if (m_shownPicture || !m_runs.empty()) EndParagraph(false);
        m_pageBreakPending = true;
    }

    bool RowPending() const { return !m_rowCells.empty() || !m_cellParagraphs.empty(); }

    void EndParagraph(bool endsCell) {
        PaperParagraph paragraph = m_format;
        paragraph.runs = std::exchange(m_runs, {});
        paragraph.picture = std::exchange(m_shownPicture, std::nullopt);
        paragraph.emptySizePt = Top().halfPoints / 2.0;
        if (std::exchange(m_pageBreakPending, false)) paragraph.pageBreakBefore = true;
        if (endsCell || m_inTable) {
            // A break inside a row breaks before the row.
            m_rowBreaksPage = m_rowBreaksPage || paragraph.pageBreakBefore;
            paragraph.pageBreakBefore = false;
            m_cellParagraphs.push_back(std::move(paragraph));
            if (endsCell) m_rowCells.push_back(std::exchange(m_cellParagraphs, {}));
            return;
        }
        // Text outside the table ends a row left open.
        if (RowPending()) EndRow();
        m_blocks.emplace_back(std::move(paragraph));
    }

    void EndRow() {
        if (!m_runs.empty() || m_shownPicture) EndParagraph(true);
        if (!m_cellParagraphs.empty()) m_rowCells.push_back(std::exchange(m_cellParagraphs, {}));
        const std::size_t count = std::max(m_edges.size(), m_rowCells.size());
        if (count == 0) return;
        PaperRow row = m_row;
        int previous = 0;
        for (std::size_t i = 0; i < count; ++i) {
            PaperCell cell;
            CellFormat format;
            if (i < m_edges.size()) {
                format = m_edges[i].format;
                cell.right = std::max(
                    ClampToInt(std::int64_t{m_edges[i].right} - std::int64_t{row.left}), previous);
            } else {
                cell.right = ClampToInt(std::int64_t{previous} + kCellWithoutEdge);
            }
            previous = cell.right;
            const auto width = [](const Border& border) {
                return !border.line ? 0 : border.width > 0 ? border.width : kDefaultBorderWidth;
            };
            cell.borderLeft = width(format.borders[0]);
            cell.borderTop = width(format.borders[1]);
            cell.borderRight = width(format.borders[2]);
            cell.borderBottom = width(format.borders[3]);
            cell.verticalAlign = format.verticalAlign;
            cell.fill = format.fill;
            if (i < m_rowCells.size()) cell.paragraphs = std::move(m_rowCells[i]);
            row.cells.push_back(std::move(cell));
        }
        m_rowCells.clear();
        // Rows that follow each other are one table; a page break starts another.
        PaperTable* table = m_blocks.empty() ? nullptr : std::get_if<PaperTable>(&m_blocks.back());
        if (table == nullptr || m_rowBreaksPage) {
            table = &std::get<PaperTable>(m_blocks.emplace_back(PaperTable{}));
            table->pageBreakBefore = std::exchange(m_rowBreaksPage, false);
        }
        // Only the rows that open a table repeat as its header.
        row.header = row.header && std::all_of(table->rows.begin(), table->rows.end(),
                                               [](const PaperRow& r) { return r.header; });
        row.keepWithNext = KeepsWithNext(row);
        table->keepWithNext = row.keepWithNext;
        table->rows.push_back(std::move(row));
    }

    PaperPage Page() const {
        PaperPage page = m_page;
        for (std::size_t i = 0; i < std::size(kPageWords); ++i) {
            if (m_sectionPage[i]) page.*kPageWords[i].length = *m_sectionPage[i];
        }
        if (m_landscape && page.width < page.height) std::swap(page.width, page.height);
        page.width = std::clamp(page.width, 2 * kLeastText, kLargestPage);
        page.height = std::clamp(page.height, 2 * kLeastText, kLargestPage);
        FitMargins(page.width, kLeastText, page.marginLeft, page.marginRight);
        FitMargins(page.height, kLeastText, page.marginTop, page.marginBottom);
        return page;
    }

    std::optional<PaperDocument> Finish() {
        // The last paragraph needs no mark of its own.
        if (!m_runs.empty() || m_shownPicture) EndParagraph(false);
        if (RowPending()) EndRow();
        PaperDocument document;
        document.page = Page();
        document.blocks = std::move(m_blocks);
        return document;
    }

    std::string_view m_rtf;
    std::vector<Group> m_groups;
    int m_pendingSkip = 0;
    char16_t m_highSurrogate = 0;

    std::map<int, PaperFont> m_fonts;
    int m_fontEntry = 0;
    int m_defaultFont = 0;
    std::vector<std::optional<std::uint32_t>> m_colours;  // nullopt: automatic
    std::optional<std::uint32_t> m_colour;                // the entry being read
    PictureData m_picture;

    PaperPage m_page;
    std::array<std::optional<int>, std::size(kPageWords)> m_sectionPage;
    bool m_landscape = false;
    bool m_firstSectionOver = false;

    // The paragraph being read: its format (runs and picture aside) and content.
    PaperParagraph m_format;
    bool m_inTable = false;
    std::vector<PaperRun> m_runs;
    std::optional<PaperPicture> m_shownPicture;
    bool m_pageBreakPending = false;

    // The row being read: its definition, then the cells' paragraphs.
    PaperRow m_row;
    std::vector<CellEdge> m_edges;
    CellFormat m_cell;
    int m_side = kNoSide;
    std::vector<std::vector<PaperParagraph>> m_rowCells;
    std::vector<PaperParagraph> m_cellParagraphs;
    bool m_rowBreaksPage = false;

    std::vector<PaperBlock> m_blocks;
};

}  // namespace

std::optional<PaperDocument> PaperFromRtf(std::string_view rtf) { return PaperReader(rtf).Read(); }

}  // namespace zorvek
