#include "reports/excel/recording_excel_layer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/cp1251.h"

namespace zorvek {
namespace {

TEST(RecordingExcelLayerTest, RecordsEveryCallWithItsArgumentsInUtf8) {
    RecordingExcelLayer layer;
    layer.ExcelStart();
    layer.ExcelShowGridlines(false);
    layer.ExcelFillBackground(0, 0, 48);
    layer.ExcelWriteCell(3, 1, true, 14,
                         Cp1251FromUtf8("Информация о работе крана за последние часы."));
    layer.ExcelAddLegend("protect", 11, 4);
    layer.ExcelRedRow(5);
    layer.ExcelWriteCell(11, 4, false, 10, Cp1251FromUtf8("\"MinV\"\"КренХ\""));
    layer.ExcelSetColumnWidth(0, 5);
    layer.ExcelDrawGrid(18, 37);
    layer.ExcelFreezeHeader();
    layer.SetShowResult(false);
    EXPECT_FALSE(layer.ExcelShow());

    const std::vector<std::string> expected = {
        "ExcelStart()",
        "ExcelShowGridlines(false)",
        "ExcelFillBackground(0, 0, 48)",
        "ExcelWriteCell(3, 1, true, 14, \"Информация о работе крана за последние часы.\")",
        "ExcelAddLegend(\"protect\", 11, 4)",
        "ExcelRedRow(5)",
        "ExcelWriteCell(11, 4, false, 10, \"\"MinV\"\"КренХ\"\")",
        "ExcelSetColumnWidth(0, 5)",
        "ExcelDrawGrid(18, 37)",
        "ExcelFreezeHeader()",
        "ExcelShow()",
    };
    EXPECT_EQ(layer.Lines(), expected);
}

}  // namespace
}  // namespace zorvek
