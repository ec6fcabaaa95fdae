#pragma once

#include <cstdint>

#include "reports/excel/sheet.h"
#include "reports/excel/sheet_ruler.h"

namespace zorvek {

// A corner of a box drawn over the sheet: the cell it lies in and how far
// into that cell, in pixels from the cell's left and top edges.
struct GridPoint {
    std::int64_t col = 0;
    std::int64_t row = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    bool operator==(const GridPoint&) const = default;
};

// Where the spreadsheet shows a cell's comment: the top left corner one
// column right of the cell and a row up (at the sheet's edges, further in),
// the box the comment's size, both corners anchored to the cells beneath.
struct CommentBox {
    GridPoint from;
    GridPoint to;
    std::uint32_t left = 0;  // pixels from the sheet's left edge
    std::uint32_t top = 0;   // pixels from the top, counting every row above as standard
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Sizes are in points, shown in whole pixels; a size of 0 takes the
// spreadsheet's standard box of 128 x 74 pixels. Boxes near the last row or
// column may reach past the sheet's edge.
CommentBox PlaceComment(const SheetRuler& ruler, CellRef cell, double widthPt, double heightPt);

}  // namespace zorvek
