#include "reports/word/rtf_flow.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "reports/word/rtf_text.h"

namespace zorvek {
namespace {

// Pictures that do not say their resolution are laid out at 96 dots per inch.
constexpr int kTwipsPerDefaultPixel = 15;
constexpr double kTwipsPerMetre = 1440 / 0.0254;
constexpr int kCellGap = 108;  // text to cell border, twips
// Tables up to this many rows fit on a page and are kept whole on one, with
// the text above and below; longer ones are left to break where they must.
constexpr std::size_t kRowsKeptTogether = 40;
// The documents' default tab stops (\deftab).
constexpr int kDefaultTabTwips = 709;
constexpr std::string_view kCellFormat =
    "\\clvertalc\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
    "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx";

void AppendInt(std::string& out, std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

std::string_view AlignWord(ParagraphAlign align) {
    switch (align) {
        case ParagraphAlign::Centred:
            return "\\qc";
        case ParagraphAlign::Right:
            return "\\qr";
        case ParagraphAlign::Left:
            break;
    }
    return "\\ql";
}

// Half-points, as \fs counts them; sizes outside what word processors accept
// are brought inside.
int HalfPoints(int size) { return std::clamp(size, 1, 1638) * 2; }

void RenderPicture(std::string& out, const RtfPicture& picture, int width) {
    const int dots = picture.size.dotsPerMetre;
    const auto twips = [&](int pixels) -> std::int64_t {
        if (dots <= 0) return std::int64_t{pixels} * kTwipsPerDefaultPixel;
        return std::max<std::int64_t>(1, std::llround(pixels * kTwipsPerMetre / dots));
    };
    std::int64_t goalWidth = twips(picture.size.width);
    std::int64_t goalHeight = twips(picture.size.height);
    // A picture wider than the text is shrunk to fit, keeping its proportions.
    if (width > 0 && goalWidth > width) {
        goalHeight = std::max<std::int64_t>(1, goalHeight * width / goalWidth);
        goalWidth = width;
    }
    out += "{\\pict\\pngblip\\picw";
    AppendInt(out, picture.size.width);
    out += "\\pich";
    AppendInt(out, picture.size.height);
    out += "\\picwgoal";
    AppendInt(out, goalWidth);
    out += "\\pichgoal";
    AppendInt(out, goalHeight);
    AppendRtfHex(out, picture.png);
    out += "}";
}

}  // namespace

RtfFlow::RtfFlow(Placement placement, int fontSize) : m_placement(placement) {
    m_blocks.emplace_back(Paragraph{ParagraphAlign::Left, fontSize, 0, {}});
}

RtfFlow::Paragraph& RtfFlow::Current() {
    if (m_inTable) return CurrentTable().rows[m_row][m_column].paragraphs.back();
    return std::get<Paragraph>(m_blocks.back());
}

RtfFlow::Table& RtfFlow::CurrentTable() { return std::get<Table>(m_blocks[m_blocks.size() - 2]); }

bool RtfFlow::IsOpeningParagraph(const Paragraph& paragraph) const {
    return m_placement != Placement::Document && !m_inTable &&
           std::get_if<Paragraph>(&m_blocks.front()) == &paragraph;
}

void RtfFlow::Type(std::string_view text, int size, bool bold, ParagraphAlign align) {
    Current().align = align;
    Current().hangingIndent = m_hangingIndent;
    Current().keepWithNext = m_keepWithNext;
    std::size_t start = 0;
    while (true) {
        const std::size_t stop = text.find_first_of("\r\n", start);
        const std::string_view part =
            text.substr(start, stop == std::string_view::npos ? stop : stop - start);
        if (!part.empty()) {
            Paragraph& paragraph = Current();
            paragraph.pieces.emplace_back(Run{std::string(part), size, bold});
            paragraph.markSize = size;
        }
        if (stop == std::string_view::npos) break;
        NewParagraph(size);
        start = stop + (text.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
    }
}

void RtfFlow::NewParagraph(int markSize) {
    Paragraph next{Current().align, markSize, Current().hangingIndent, {}, m_keepWithNext};
    if (m_inTable) {
        CurrentTable().rows[m_row][m_column].paragraphs.push_back(std::move(next));
    } else {
        m_blocks.emplace_back(std::move(next));
    }
}

void RtfFlow::AppendRow(Table& table) {
    std::vector<Cell> row(static_cast<std::size_t>(table.columns));
    for (Cell& cell : row)
        cell.paragraphs.push_back(Paragraph{ParagraphAlign::Left, table.fontSize, 0, {}});
    table.rows.push_back(std::move(row));
}

void RtfFlow::AddTable(int rows, int columns, int fontSize) {
    if (m_inTable || m_placement == Placement::InTemplateCell) return;
    const Paragraph& current = Current();
    const ParagraphAlign align = current.align;
    // An empty paragraph becomes the table; text stays above it.
    if (current.pieces.empty() && !IsOpeningParagraph(current)) m_blocks.pop_back();
    Table table{std::max(columns, 1), fontSize, {}, {}, false};
    for (int row = 0; row < std::max(rows, 1); ++row) AppendRow(table);
    m_blocks.emplace_back(std::move(table));
    m_blocks.emplace_back(Paragraph{align, fontSize, 0, {}});
    m_inTable = true;
    m_row = 0;
    m_column = 0;
}

void RtfFlow::WriteCell(std::string_view text, int size, bool bold, ParagraphAlign align) {
    Type(text, size, bold, align);
    if (!m_inTable) return;
    Table& table = CurrentTable();
    if (++m_column < static_cast<std::size_t>(table.columns)) return;
    m_column = 0;
    if (++m_row == table.rows.size()) AppendRow(table);
}

void RtfFlow::SetColumnWidths(const std::vector<int>& weights) {
    if (!m_inTable) return;
    Table& table = CurrentTable();
    if (static_cast<int>(weights.size()) != table.columns ||
        std::any_of(weights.begin(), weights.end(), [](int weight) { return weight < 1; })) {
        return;
    }
    table.weights = weights;
}

void RtfFlow::LetTableBreak() {
    if (m_inTable) CurrentTable().mayBreak = true;
}

bool RtfFlow::MoveDown() {
    if (!m_inTable) return false;
    if (m_row + 1 < CurrentTable().rows.size()) {
        ++m_row;
    } else {
        m_inTable = false;
    }
    return true;
}

void RtfFlow::DeleteRow() {
    if (!m_inTable) return;
    Table& table = CurrentTable();
    table.rows.erase(table.rows.begin() + static_cast<std::ptrdiff_t>(m_row));
    if (table.rows.empty()) {
        m_blocks.erase(m_blocks.end() - 2);
        m_inTable = false;
        return;
    }
    m_row = std::min(m_row, table.rows.size() - 1);
}

void RtfFlow::AddPicture(RtfPicture picture) {
    const Paragraph& current = Current();
    if (!current.pieces.empty() || IsOpeningParagraph(current)) NewParagraph(current.markSize);
    Paragraph& own = Current();
    own.align = ParagraphAlign::Centred;
    own.pieces.emplace_back(std::move(picture));
}

bool RtfFlow::Empty() const {
    return m_blocks.size() == 1 && std::get<Paragraph>(m_blocks.front()).pieces.empty();
}

void RtfFlow::RenderParagraph(std::string& out, const Paragraph& paragraph, bool inCell, bool head,
                              int width, bool keepWithNext) {
    // Every paragraph starts from plain formatting; in a cell it must say so,
    // or readers take it for text after the table.
    if (head) {
        out += "\\pard\\plain";
        if (inCell) out += "\\intbl";
        if (keepWithNext || paragraph.keepWithNext) out += "\\keepn";
        out += AlignWord(paragraph.align);
        if (paragraph.hangingIndent > 0) {
            out += "\\li";
            AppendInt(out, paragraph.hangingIndent);
            out += "\\fi-";
            AppendInt(out, paragraph.hangingIndent);
            // Readers that take the indent for the first tab stop would skip
            // the default stops before it; they are set out explicitly.
            for (int stop = kDefaultTabTwips; stop <= paragraph.hangingIndent;
                 stop += kDefaultTabTwips) {
                out += "\\tx";
                AppendInt(out, stop);
            }
        }
        out += "\\fs";
        AppendInt(out, HalfPoints(paragraph.markSize));
        out += ' ';
    }
    for (const Piece& piece : paragraph.pieces) {
        if (const Run* run = std::get_if<Run>(&piece)) {
            out += "{\\fs";
            AppendInt(out, HalfPoints(run->size));
            out += run->bold ? "\\b " : "\\b0 ";
            AppendRtfText(out, run->text);
            out += '}';
        } else {
            RenderPicture(out, std::get<RtfPicture>(piece), width);
        }
    }
}

bool RtfFlow::KeptTogether(const Table& table) {
    return !table.mayBreak && table.rows.size() <= kRowsKeptTogether;
}

// A first row typed all in bold, above other rows, is the table's header.
bool RtfFlow::HasHeaderRow(const Table& table) {
    if (table.rows.size() < 2) return false;
    bool any = false;
    for (const Cell& cell : table.rows.front()) {
        for (const Paragraph& paragraph : cell.paragraphs) {
            for (const Piece& piece : paragraph.pieces) {
                const Run* run = std::get_if<Run>(&piece);
                if (run == nullptr || !run->bold) return false;
                any = true;
            }
        }
    }
    return any;
}

void RtfFlow::RenderTable(std::string& out, const Table& table, int textWidth) {
    // Rows never split; a header row repeats on every page the table reaches.
    std::string rowFormat = "\\trowd\\trkeep\\trgaph";
    AppendInt(rowFormat, kCellGap);
    rowFormat += "\\trleft0";
    std::vector<std::int64_t> weights(table.weights.begin(), table.weights.end());
    if (weights.empty()) weights.assign(static_cast<std::size_t>(table.columns), 1);
    std::int64_t total = 0;
    for (const std::int64_t weight : weights) total += weight;
    std::int64_t reached = 0;
    for (const std::int64_t weight : weights) {
        reached += weight;
        rowFormat += kCellFormat;
        AppendInt(rowFormat, std::int64_t{textWidth} * reached / total);
    }
    rowFormat += '\n';
    const std::string headerFormat = "\\trowd\\trhdr" + rowFormat.substr(6);
    const bool header = HasHeaderRow(table);
    // Each row keeps with the next, the last with the text below the table.
    const bool keep = KeptTogether(table);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out += r == 0 && header ? headerFormat : rowFormat;
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            const Cell& cell = table.rows[r][c];
            const int cellWidth =
                static_cast<int>(std::int64_t{textWidth} * weights[c] / total) - 2 * kCellGap;
            for (std::size_t i = 0; i < cell.paragraphs.size(); ++i) {
                RenderParagraph(out, cell.paragraphs[i], true, true, cellWidth,
                                keep || (r == 0 && header));
                out += i + 1 < cell.paragraphs.size() ? "\\par\n" : "\\cell\n";
            }
        }
        out += "\\row\n";
    }
}

void RtfFlow::Render(std::string& out, int textWidth) const {
    const bool inCell = m_placement == Placement::InTemplateCell;
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        if (const Paragraph* paragraph = std::get_if<Paragraph>(&m_blocks[i])) {
            // A flow inside a template continues the template's paragraph
            // first and runs on into the template's text last.
            const bool continuing = i == 0 && m_placement != Placement::Document;
            // The text just above a table is its heading and stays with it.
            const bool headsTable = i + 1 < m_blocks.size() &&
                                    std::holds_alternative<Table>(m_blocks[i + 1]) &&
                                    !paragraph->pieces.empty();
            RenderParagraph(out, *paragraph, inCell, !continuing, textWidth, headsTable);
            if (i + 1 < m_blocks.size() || m_placement == Placement::Document) out += "\\par\n";
        } else {
            RenderTable(out, std::get<Table>(m_blocks[i]), textWidth);
        }
    }
}

}  // namespace zorvek
