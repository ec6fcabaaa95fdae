#include "reports/excel/sheet_ruler.h"

#include <algorithm>
#include <cmath>

namespace zorvek {
namespace {

// Characters of the standard font to pixels: 7 a character plus 5 of
// padding, rounded; narrow columns shrink with their padding.
std::uint32_t ColumnWidthPixels(double width) {
    if (width < 1) return static_cast<std::uint32_t>(width * 12 + 0.5);
    return static_cast<std::uint32_t>(width * 7 + 0.5) + 5;
}

// Truncated, not rounded: a row of 15.5 points is 20 pixels high.
std::uint32_t RowHeightPixels(double points) { return static_cast<std::uint32_t>(points / 0.75); }

}  // namespace

// One pixel is 0.75 points; a line takes about 1.73 pixels per point of font
// size (45 pixels for 26 points, 25 for 14).
double RowHeightPt(const SheetRow& row) {
    int largestFont = row.format ? row.format->fontSize : CellFormat::kDefaultFontSize;
    for (const auto& [col, cell] : row.cells)
        largestFont = std::max(largestFont, cell.format.fontSize);
    if (largestFont <= CellFormat::kDefaultFontSize) return kStandardRowHeightPt;
    return std::ceil(largestFont * 1.73) * 0.75;
}

SheetRuler::SheetRuler(const Sheet& sheet)
    : m_otherColumns(ColumnWidthPixels(sheet.AllColumnsWidth().value_or(kStandardColumnWidth))) {
    if (!sheet.ColumnWidths().empty()) {
        m_columns.assign(static_cast<std::size_t>(sheet.ColumnWidths().rbegin()->first) + 1,
                         m_otherColumns);
        for (const auto& [col, width] : sheet.ColumnWidths()) {
            m_columns[static_cast<std::size_t>(col)] = ColumnWidthPixels(width);
        }
    }
    for (const auto& [r, row] : sheet.Rows()) {
        if (const std::uint32_t pixels = RowHeightPixels(RowHeightPt(row));
            pixels != kStandardRowPixels) {
            m_rows.emplace_back(r, pixels);
        }
    }
}

std::uint32_t SheetRuler::ColumnPixels(std::int64_t col) const {
    if (col >= 0 && col < static_cast<std::int64_t>(m_columns.size())) {
        return m_columns[static_cast<std::size_t>(col)];
    }
    if (col < kSheetColumns) return m_otherColumns;
    // Past the sheet's edge no width is set.
    return ColumnWidthPixels(kStandardColumnWidth);
}

std::uint32_t SheetRuler::RowPixels(std::int64_t row) const {
    const auto found =
        std::lower_bound(m_rows.begin(), m_rows.end(), row,
                         [](const auto& entry, std::int64_t r) { return entry.first < r; });
    if (found != m_rows.end() && found->first == row) return found->second;
    return kStandardRowPixels;
}

}  // namespace zorvek
