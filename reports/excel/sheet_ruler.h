#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "reports/excel/sheet.h"

namespace zorvek {

// A new sheet's rows are 15 points (20 pixels) high and its columns 8.43
// characters of the standard font wide.
inline constexpr double kStandardRowHeightPt = 15;
inline constexpr double kStandardColumnWidth = 8.43;
inline constexpr std::uint32_t kStandardRowPixels = 20;

// The height in points a row is written with: rows grow with their largest
// font, as they do when typed into.
double RowHeightPt(const SheetRow& row);

// Row heights and column widths of the written sheet in whole pixels (96 to
// the inch, 7 to a character of the standard font), as the spreadsheet lays
// them out: comment boxes are placed on this grid. Any index may be asked,
// also past the sheet's last row or column.
class SheetRuler {
  public:
    explicit SheetRuler(const Sheet& sheet);

    std::uint32_t ColumnPixels(std::int64_t col) const;
    std::uint32_t RowPixels(std::int64_t row) const;

  private:
    std::vector<std::uint32_t> m_columns;  // up to the last column with a width of its own
    std::uint32_t m_otherColumns = 0;      // the rest of the sheet's columns
    // Rows of another height than the standard, by row; a sheet has few.
    std::vector<std::pair<std::int64_t, std::uint32_t>> m_rows;
};

}  // namespace zorvek
