#include <gtest/gtest.h>

#include <set>

#include "model/passport.h"
#include "reports/excel/appendix3/appendix3.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "sim/image_generator.h"
#include "tests/reports/excel/appendix3/appendix3_support.h"
#include "tests/reports/excel/folder_sink.h"
#include "tests/reports/excel/xlsx_package.h"
#include "tests/support/image_reader.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class Appendix3XlsxTest : public test::TempDirTest {};

// A generated image with every column, read back from the written workbook.
TEST_F(Appendix3XlsxTest, GeneratedImageMakesAFramedTableWithRedTrips) {
    sim::ImageSummary summary;
    const sim::Image image = sim::GenerateImage({}, &summary);
    test::ImageReader source;
    std::copy(image.begin(), image.end(), source.image.begin());
    const PassportSheet sheet;
    test::NoMessages notifier;
    test::FolderSink sink(m_dir);
    XlsxExcelLayer excel(sink, "appendix3");
    test::RecordingTitle window;
    BuildBusy busy;
    busy.Begin();
    ASSERT_TRUE(RunAppendix3({source, sheet, notifier, nullptr, {}}, excel, ColumnSwitches::All(),
                             FilterMask(), window, busy, test::FixedClock(sim::kDefaultNow)));
    const test::XlsxPackage book(m_dir / "appendix3.xlsx");
    const int lastRow = 4 + summary.hours.valid;
    const std::string last = std::to_string(lastRow);

    EXPECT_EQ(book.Value("D2"), "Информация о работе крана за последние часы.");
    EXPECT_EQ(book.Value("S4"), "Примечание");
    EXPECT_EQ(book.ValueType("A5"), "n");
    EXPECT_EQ(book.Value("A" + last), std::to_string(summary.hours.valid));
    EXPECT_FALSE(book.HasCell("A" + std::to_string(lastRow + 1)));

    // Rows with a trip are red from "№" on; a few of each kind keep it quick.
    std::set<int> tripped;
    for (const std::string& ref : book.Sheet().All("//m:c[starts-with(@r, 'M') and m:v]/@r")) {
        if (const int row = std::stoi(ref.substr(1)); row >= 5) tripped.insert(row);
    }
    ASSERT_FALSE(tripped.empty());
    const int firstPlain = [&] {
        int row = 5;
        while (tripped.count(row)) ++row;
        return row;
    }();
    EXPECT_EQ(book.LookAt("A" + std::to_string(*tripped.begin())).fontRgb, "FFFF0000");
    EXPECT_EQ(book.LookAt("A" + std::to_string(firstPlain)).fontRgb, "");

    const test::CellLook corner = book.LookAt("S" + last);
    EXPECT_EQ(corner.right + corner.bottom + corner.alignment, "thinthincenter");
    EXPECT_EQ(corner.fillRgb, "");
    for (auto [col, width] : {std::pair{1, 5.0}, {2, 16.0}, {12, 23.0}, {15, 18.0}, {19, 38.0}}) {
        EXPECT_NEAR(book.ColumnWidth(col), width, 0.75) << col;
    }
    EXPECT_EQ(book.Sheet().One("//m:pane/@topLeftCell"), "C5");
    EXPECT_EQ(book.Sheet().One("//m:sheetView/@view"), "pageBreakPreview");
    EXPECT_GE(book.Comments().Count("//m:comment"), summary.hours.valid);
}

}  // namespace
}  // namespace zorvek
