#include "reports/excel/sheet_view_patch.h"

#include <gtest/gtest.h>

#include <string>

#include "reports/excel/xlsx_excel_layer.h"
#include "tests/reports/excel/folder_sink.h"
#include "tests/reports/excel/xlsx_package.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class SheetViewPatchTest : public test::TempDirTest {};

TEST_F(SheetViewPatchTest, PatchingAgainKeepsOneWellFormedView) {
    test::FolderSink sink(m_dir);
    XlsxExcelLayer layer(sink, "grid");
    layer.ExcelStart();
    layer.ExcelDrawGrid(2, 6);
    ASSERT_TRUE(layer.ExcelShow());
    const auto path = sink.finished.back().first;

    ASSERT_TRUE(SetPageBreakPreview(path));
    // A repeated attribute would make the sheet unreadable.
    const test::XlsxPackage book(path);
    EXPECT_EQ(book.Sheet().All("//m:sheetView/@view"),
              std::vector<std::string>{"pageBreakPreview"});
    EXPECT_EQ(book.LookAt("B5").alignment, "center");
}

}  // namespace
}  // namespace zorvek
