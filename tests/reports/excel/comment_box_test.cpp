#include "reports/excel/comment_box.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "reports/excel/sheet_ruler.h"

namespace zorvek {
namespace {

// Sheet row 2 (0-based 1) holds a 14-point title, so 25 pixels high.
Sheet TableSheet() {
    Sheet sheet;
    sheet.SetAllColumnsWidth(16);
    sheet.SetColumnWidth(0, 5);
    sheet.SelectCells({1, 3}, {1, 3});
    sheet.SetFormula({1, 3}, "title");
    sheet.SetFontSize(14);
    return sheet;
}

// Expected boxes are those libxlsxwriter drew for the same comments when it
// still wrote them: the boxes people have seen in these workbooks.
TEST(CommentBoxTest, BoxesKeepThePlacesTheyHaveAlwaysHad) {
    Sheet narrow;
    narrow.SetAllColumnsWidth(3);
    narrow.SetColumnWidth(1, 0);
    narrow.SetColumnWidth(2, 0.5);
    narrow.SetColumnWidth(3, 0.04);
    narrow.SetColumnWidth(4, 255);
    Sheet tall;  // standard columns; rows 3, 5 and 7 at 26, 14 and 40 points
    for (const auto& [row, size] : {std::pair{2, 26}, {4, 14}}) {
        tall.SelectCells({row, 1}, {row, 1});
        tall.SetFormula({row, 1}, "x");
        tall.SetFontSize(size);
    }
    tall.SelectRows(6, 6);
    tall.SetFontSize(40);
    Sheet wide;
    wide.SetAllColumnsWidth(16);

    struct Case {
        const char* name;
        const Sheet& sheet;
        CellRef cell;
        std::pair<double, double> sizePt;
        CommentBox box;  // corners {col, row, x, y}, left, top, width, height
    };
    const Sheet table = TableSheet();
    const std::vector<Case> cases = {
        // Counted from the standard row height above, whatever the title row's.
        {"under the title",
         table,
         {4, 9},
         {300, 60},
         {{10, 3, 15, 10}, {13, 7, 64, 10}, 1108, 70, 400, 80}},
        {"the first row", wide, {0, 0}, {300, 60}, {{1, 0, 15, 2}, {4, 4, 64, 2}, 132, 2, 400, 80}},
        {"no size: the standard box",
         wide,
         {1, 0},
         {0, 0},
         {{1, 0, 15, 10}, {2, 4, 26, 4}, 132, 10, 128, 74}},
        {"across tall rows",
         tall,
         {5, 2},
         {286.5, 75.5},
         {{3, 4, 15, 10}, {9, 6, 13, 66}, 207, 90, 382, 101}},
        // Zero-width columns are stepped over, narrow ones take the offset.
        {"over hidden and narrow columns",
         narrow,
         {3, 0},
         {10, 30},
         {{4, 2, 9, 10}, {4, 4, 22, 10}, 41, 50, 13, 40}},
        {"the last cell",
         wide,
         {1048575, 16383},
         {400, 100},
         {{16380, 1048571, 49, 14}, {16385, 1048578, 50, 7}, 1916509, 20971434, 533, 133}},
        {"three before the last",
         wide,
         {1048573, 16381},
         {1000, 100},
         {{16378, 1048569, 49, 16}, {16394, 1048576, 40, 9}, 1916275, 20971396, 1333, 133}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommentBox box =
            PlaceComment(SheetRuler(c.sheet), c.cell, c.sizePt.first, c.sizePt.second);
        EXPECT_EQ(box.from, c.box.from);
        EXPECT_EQ(box.to, c.box.to);
        EXPECT_EQ(std::tuple(box.left, box.top, box.width, box.height),
                  std::tuple(c.box.left, c.box.top, c.box.width, c.box.height));
    }
}

}  // namespace
}  // namespace zorvek
