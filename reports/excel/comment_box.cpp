#include "reports/excel/comment_box.h"

#include <algorithm>
#include <cmath>

namespace zorvek {
namespace {

constexpr std::uint32_t kStandardWidthPx = 128;
constexpr std::uint32_t kStandardHeightPx = 74;

std::uint32_t Pixels(double points, std::uint32_t standard) {
    const auto pixels =
        static_cast<std::uint32_t>(std::clamp(std::lround(points * 4 / 3), 0L, 65535L));
    return pixels == 0 ? standard : pixels;
}

}  // namespace

// The placement the spreadsheet gives a new comment, so that boxes keep the
// places and sizes they have always had in these workbooks: 15 pixels right
// of the next column's edge, 10 below the top of the row above (2 below the
// sheet's top for row 1); by the last columns and rows the box starts
// further left or up.
CommentBox PlaceComment(const SheetRuler& ruler, CellRef cell, double widthPt, double heightPt) {
    const std::int64_t col = cell.col;
    const std::int64_t row = cell.row;
    GridPoint from{col + 1, row - 1, 15, 10};
    if (col >= kSheetColumns - 3) {
        from.col = col - 3;
        from.x = 49;
    }
    if (row == 0) {
        from.row = 0;
        from.y = 2;
    } else if (row >= kSheetRows - 3) {
        from.row = row - 4;
        from.y = row == kSheetRows - 1 ? 14 : 16;
    }

    CommentBox box;
    box.width = Pixels(widthPt, kStandardWidthPx);
    box.height = Pixels(heightPt, kStandardHeightPx);
    for (std::int64_t c = 0; c < from.col; ++c) box.left += ruler.ColumnPixels(c);
    box.left += static_cast<std::uint32_t>(from.x);
    // Rows above count at the standard height whatever their own: that is
    // where these boxes have always been put; readers go by the anchor cells.
    box.top = static_cast<std::uint32_t>(from.row) * kStandardRowPixels +
              static_cast<std::uint32_t>(from.y);

    // An offset wider than its cell moves into the next one; hidden
    // (zero-width) columns are skipped.
    while (from.x >= ruler.ColumnPixels(from.col)) from.x -= ruler.ColumnPixels(from.col++);
    while (from.y >= ruler.RowPixels(from.row)) from.y -= ruler.RowPixels(from.row++);

    GridPoint to{from.col, from.row, from.x + box.width, from.y + box.height};
    while (to.x >= ruler.ColumnPixels(to.col)) to.x -= ruler.ColumnPixels(to.col++);
    while (to.y >= ruler.RowPixels(to.row)) to.y -= ruler.RowPixels(to.row++);
    box.from = from;
    box.to = to;
    return box;
}

}  // namespace zorvek
