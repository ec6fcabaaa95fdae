#include "reports/excel/sheet_paper.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/cp1251.h"
#include "reports/excel/excel_codes.h"
#include "reports/excel/palette.h"
#include "reports/excel/sheet_ruler.h"

namespace zorvek {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPoint = 20;
constexpr int kTwipsPerPixel = kTwipsPerInch / 96;
// The XLSX writer sets no margins, so the workbook prints with a new
// workbook's: 0.7 inch at the sides, 0.75 at the head and foot.
constexpr int kSideMargin = kTwipsPerInch * 7 / 10;
constexpr int kEndMargin = kTwipsPerInch * 3 / 4;
// The spreadsheet keeps a cell's text about two pixels off its edges.
constexpr int kCellGap = 2 * kTwipsPerPixel;

// Rows and columns (0-based, inclusive) that print.
struct UsedRange {
    int firstRow = 0;
    int lastRow = 0;
    int firstCol = 0;
    int lastCol = 0;

    int Columns() const { return lastCol - firstCol + 1; }
};

// A cell of the range as the sheet shows it. Cells that do not exist show
// their row's format, or else the sheet's.
struct Shown {
    const CellFormat* format = nullptr;
    std::string text;  // UTF-8; empty: nothing shown
    bool number = false;
};

PaperPage PrintedPage(const Sheet& sheet) {
    PaperPage page;  // A4 portrait
    if (sheet.Orientation() == kXlLandscape) std::swap(page.width, page.height);
    page.marginLeft = kSideMargin;
    page.marginRight = kSideMargin;
    page.marginTop = kEndMargin;
    page.marginBottom = kEndMargin;
    return page;
}

std::optional<UsedRange> FindUsedRange(const Sheet& sheet) {
    std::optional<UsedRange> range;
    const auto& area = sheet.PrintSetup().printArea;
    if (area) {
        range = UsedRange{area->first.row, area->second.row, area->first.col, area->second.col};
    }
    const auto& rows = sheet.Rows();
    for (auto it = area ? rows.end() : rows.begin(); it != rows.end(); ++it) {
        const auto& [r, row] = *it;
        if (row.cells.empty()) continue;
        const int first = row.cells.front().first;
        const int last = row.cells.back().first;
        if (!range) range = UsedRange{r, r, first, last};
        range->lastRow = r;
        range->firstCol = std::min(range->firstCol, first);
        range->lastCol = std::max(range->lastCol, last);
    }
    if (!range) return range;
    // Repeated rows and columns print even where the range has none.
    const SheetPrintSetup& print = sheet.PrintSetup();
    if (print.titleRows > 0) {
        range->firstRow = 0;
        range->lastRow = std::max(range->lastRow,
                                  std::min(print.titleFirstRow + print.titleRows, kSheetRows) - 1);
    }
    if (print.titleColumns > 0) {
        range->firstCol = 0;
        range->lastCol = std::max(range->lastCol, std::min(print.titleColumns, kSheetColumns) - 1);
    }
    return range;
}

// A number shows as a cell of general format shows it: "007" as 7, "5.0"
// as 5, "-0" as 0. Fixed notation of any double fits the buffer.
std::string NumberText(double number) {
    std::array<char, 512> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number + 0.0,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::vector<Shown> ShownRow(const Sheet& sheet, const SheetRow* row, const UsedRange& range) {
    const CellFormat& empty = row != nullptr && row->format ? *row->format : sheet.Format();
    std::vector<Shown> shown(static_cast<std::size_t>(range.Columns()), Shown{&empty, {}, false});
    if (row == nullptr) return shown;
    for (const auto& [col, cell] : row->cells) {
        if (col < range.firstCol || col > range.lastCol) continue;
        Shown& target = shown[static_cast<std::size_t>(col - range.firstCol)];
        target.format = &cell.format;
        target.number = cell.number.has_value();
        target.text = cell.number ? NumberText(*cell.number) : Utf8FromCp1251(cell.text);
    }
    return shown;
}

// Positions (in the range) of each band's columns. Every band begins with
// the repeated columns and takes at least one column more, however wide.
using Band = std::vector<std::size_t>;
std::vector<Band> Bands(const std::vector<int>& widths, std::size_t titleCount, int textWidth) {
    const std::size_t count = widths.size();
    Band titles(titleCount);
    std::iota(titles.begin(), titles.end(), 0);
    if (titleCount >= count || std::accumulate(widths.begin(), widths.end(), 0) <= textWidth) {
        Band all(count);
        std::iota(all.begin(), all.end(), 0);
        return {all};
    }
    const int titleWidth = std::accumulate(
        widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(titleCount), 0);
    std::vector<Band> bands;
    for (std::size_t next = titleCount; next < count;) {
        Band band = titles;
        int width = titleWidth;
        do {
            width += widths[next];
            band.push_back(next++);
        } while (next < count && width + widths[next] <= textWidth);
        bands.push_back(std::move(band));
    }
    return bands;
}

PaperAlign AlignOf(const Shown& shown) {
    switch (shown.format->horizontalAlignment) {
        case kXlAlignLeft:
            return PaperAlign::Left;
        case kXlAlignCentre:
            return PaperAlign::Centre;
        case kXlAlignRight:
            return PaperAlign::Right;
        default:
            return shown.number ? PaperAlign::Right : PaperAlign::Left;
    }
}

// Thin is one pixel, medium two, thick three; a hairline about half a pixel.
int LineWidth(const BorderLine& line) {
    if (!line.Drawn()) return 0;
    switch (line.weight) {
        case kXlHairline:
            return 8;
        case kXlMedium:
            return 2 * kTwipsPerPixel;
        case kXlThick:
            return 3 * kTwipsPerPixel;
        default:
            return kTwipsPerPixel;
    }
}

// Whether one paper cell can stand for `left` and its neighbour `right`: no
// line between them and the same fill and lines above and below. The sheet
// lets a text run across lines too; a paper cell cannot draw them inside it.
bool Joins(const CellFormat& left, const CellFormat& right) {
    return !left.Border(CellSide::Right).Drawn() && !right.Border(CellSide::Left).Drawn() &&
           left.interiorColorIndex == right.interiorColorIndex &&
           left.Border(CellSide::Top) == right.Border(CellSide::Top) &&
           left.Border(CellSide::Bottom) == right.Border(CellSide::Bottom);
}

PaperParagraph TextParagraph(const Shown& shown) {
    PaperParagraph paragraph;
    paragraph.align = AlignOf(shown);
    PaperRun run;
    run.text = shown.text;
    run.sizePt = shown.format->fontSize;
    run.bold = shown.format->bold;
    run.font = PaperFont::Sans;
    run.colour = PaletteColour(shown.format->fontColorIndex).value_or(0x000000);  // automatic
    paragraph.runs.push_back(std::move(run));
    return paragraph;
}

// One sheet row within a band. A text runs over the empty cells beside it,
// as far as they reach, the way its alignment makes it overflow: to the
// right, to the left, or evenly to both sides; numbers never overflow. The
// cells it runs over become part of its paper cell.
PaperRow BandRow(const std::vector<Shown>& shown, const Band& band,
                 const std::vector<int>& widths) {
    const std::size_t n = band.size();
    const auto at = [&](std::size_t k) -> const Shown& { return shown[band[k]]; };
    // By band position: whose text the cell shows, and that text's span.
    std::vector<std::size_t> owner(n);
    std::iota(owner.begin(), owner.end(), 0);
    std::vector<std::size_t> first = owner;
    std::vector<std::size_t> last = owner;
    const auto isFree = [&](std::size_t k) { return owner[k] == k && at(k).text.empty(); };
    const auto joins = [&](std::size_t k) { return Joins(*at(k).format, *at(k + 1).format); };
    for (std::size_t i = 0; i < n; ++i) {
        if (at(i).text.empty() || at(i).number) continue;
        const PaperAlign align = AlignOf(at(i));
        const bool toLeft = align != PaperAlign::Left;
        const bool toRight = align != PaperAlign::Right;
        std::size_t& from = first[i];
        std::size_t& to = last[i];
        while ((!toLeft || (from > 0 && isFree(from - 1) && joins(from - 1))) &&
               (!toRight || (to + 1 < n && isFree(to + 1) && joins(to)))) {
            if (toLeft) owner[--from] = i;
            if (toRight) owner[++to] = i;
        }
    }

    PaperRow row;
    row.gap = kCellGap;
    int right = 0;
    for (std::size_t k = 0; k < n; ++k) {
        right += widths[band[k]];
        const std::size_t o = owner[k];
        if (k != last[o]) continue;
        const Shown& text = at(o);
        PaperCell cell;
        cell.right = right;
        cell.borderLeft = LineWidth(at(first[o]).format->Border(CellSide::Left));
        cell.borderRight = LineWidth(at(k).format->Border(CellSide::Right));
        cell.borderTop = LineWidth(text.format->Border(CellSide::Top));
        cell.borderBottom = LineWidth(text.format->Border(CellSide::Bottom));
        cell.verticalAlign = PaperVerticalAlign::Centre;
        if (const auto rgb = PaletteColour(text.format->interiorColorIndex)) cell.fill = *rgb;
        if (!text.text.empty()) cell.paragraphs.push_back(TextParagraph(text));
        row.cells.push_back(std::move(cell));
    }
    return row;
}

}  // namespace

PaperDocument PaperFromSheet(const Sheet& sheet) {
    PaperDocument document;
    document.page = PrintedPage(sheet);
    const SheetPrintSetup& print = sheet.PrintSetup();
    document.pageNumbers = print.footer.find("&P") != std::string::npos;
    const std::optional<UsedRange> range = FindUsedRange(sheet);
    if (!range) {
        // Nothing to print still makes a page.
        document.blocks.emplace_back(PaperParagraph{});
        return document;
    }

    const SheetRuler ruler(sheet);
    std::vector<int> widths;
    for (int col = range->firstCol; col <= range->lastCol; ++col) {
        widths.push_back(static_cast<int>(ruler.ColumnPixels(col)) * kTwipsPerPixel);
    }
    const auto titleCount =
        static_cast<std::size_t>(std::clamp(print.titleColumns, 0, range->Columns()));
    const std::vector<Band> bands = Bands(widths, titleCount, document.page.TextWidth());
    // Per band: the rows above the repeated ones (a heading, printed once),
    // the rows repeated on every page, then the others.
    std::vector<std::vector<PaperRow>> tops(bands.size());
    std::vector<std::vector<PaperRow>> heads(bands.size());
    std::vector<std::vector<PaperRow>> bodies(bands.size());
    std::vector<int> bodyHeights;
    int headHeight = 0;
    auto rowIt = sheet.Rows().lower_bound(range->firstRow);
    for (int r = range->firstRow; r <= range->lastRow; ++r) {
        const SheetRow* row = nullptr;
        if (rowIt != sheet.Rows().end() && rowIt->first == r) row = &(rowIt++)->second;
        const std::vector<Shown> shown = ShownRow(sheet, row, *range);
        // Empty rows keep their height too.
        const int height = static_cast<int>(
            std::lround(RowHeightPt(row != nullptr ? *row : SheetRow{}) * kTwipsPerPoint));
        const bool top = r < print.titleFirstRow;
        const bool head = !top && r < print.titleFirstRow + print.titleRows;
        if (head) {
            headHeight += height;
        } else if (!top) {
            bodyHeights.push_back(height);
        }
        for (std::size_t b = 0; b < bands.size(); ++b) {
            PaperRow paperRow = BandRow(shown, bands[b], widths);
            paperRow.minHeight = height;
            paperRow.header = head;
            (top ? tops : head ? heads : bodies)[b].push_back(std::move(paperRow));
        }
    }
    // Down, then over: each band prints all its rows before the next
    // begins. Over, then down: the rows a page holds print in every band
    // before the next rows begin.
    std::vector<std::pair<std::size_t, std::size_t>> chunks;  // [first, end) of the body rows
    if (print.overThenDown && bands.size() > 1) {
        const int room =
            (document.page.height - document.page.marginTop - document.page.marginBottom) * 97 /
                100 -
            headHeight;
        std::size_t first = 0;
        int filled = 0;
        for (std::size_t i = 0; i < bodyHeights.size(); ++i) {
            if (i > first && filled + bodyHeights[i] > room) {
                chunks.emplace_back(first, i);
                first = i;
                filled = 0;
            }
            filled += bodyHeights[i];
        }
        chunks.emplace_back(first, bodyHeights.size());
    } else {
        chunks.emplace_back(0, bodyHeights.size());
    }
    for (const auto& [first, end] : chunks) {
        for (std::size_t b = 0; b < bands.size(); ++b) {
            PaperTable table;
            table.pageBreakBefore = !document.blocks.empty();
            // The heading goes once before each band's first rows, the
            // repeated rows then open a table of their own.
            if (first == 0 && !tops[b].empty()) {
                PaperTable heading;
                heading.pageBreakBefore = table.pageBreakBefore;
                heading.rows = tops[b];
                document.blocks.emplace_back(std::move(heading));
                table.pageBreakBefore = false;
            }
            table.rows = heads[b];
            table.rows.insert(table.rows.end(),
                              bodies[b].begin() + static_cast<std::ptrdiff_t>(first),
                              bodies[b].begin() + static_cast<std::ptrdiff_t>(end));
            document.blocks.emplace_back(std::move(table));
        }
    }
    return document;
}

}  // namespace zorvek
