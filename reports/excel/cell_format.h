#pragma once

#include <array>
#include <compare>
#include <cstddef>

#include "reports/excel/excel_codes.h"

namespace zorvek {

// One side of a cell's frame, in the spreadsheet's codes.
struct BorderLine {
    int lineStyle = kXlNone;
    int weight = kXlThin;
    int colorIndex = kXlAutomatic;

    bool Drawn() const { return lineStyle != kXlNone; }
    auto operator<=>(const BorderLine&) const = default;
};

enum class CellSide : std::size_t { Left, Top, Bottom, Right, DiagonalDown, DiagonalUp };

// Everything the sheet records about how a cell looks. The default is the
// look of a new workbook's cells: 11-point regular font, automatic colour,
// no fill, general alignment, no frame.
struct CellFormat {
    static constexpr int kDefaultFontSize = 11;

    bool bold = false;
    int fontSize = kDefaultFontSize;
    int fontColorIndex = kXlAutomatic;
    int interiorColorIndex = kXlNone;
    int horizontalAlignment = kXlAlignGeneral;
    std::array<BorderLine, 6> borders{};

    BorderLine& Border(CellSide side) { return borders[static_cast<std::size_t>(side)]; }
    const BorderLine& Border(CellSide side) const {
        return borders[static_cast<std::size_t>(side)];
    }
    auto operator<=>(const CellFormat&) const = default;
};

}  // namespace zorvek
