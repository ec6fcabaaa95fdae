#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "model/cp1251.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "tests/reports/excel/folder_sink.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class OfficeConversionTest : public test::TempDirTest {
  protected:
    // Converts the folder's appendix3.xlsx with the office suite's filter.
    void Convert(const std::string& filter) {
        const std::string command = "cd '" + m_dir.string() +
                                    "' && timeout 120 soffice -env:UserInstallation=file://" +
                                    (m_dir / "profile").string() + " --headless --convert-to '" +
                                    filter + "' appendix3.xlsx >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
};

// The workbook as a person gets it: an office suite opens it and finds the
// texts and numbers where the layer put them. Its CSV quotes text and leaves
// numbers bare.
TEST_F(OfficeConversionTest, OfficeSuiteReadsTheWorkbookBack) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no soffice";
    const auto cp = [](const char* utf8) { return Cp1251FromUtf8(utf8); };
    test::FolderSink sink(m_dir);
    XlsxExcelLayer layer(sink, "appendix3");
    layer.ExcelStart();
    layer.ExcelFillBackground(0, 0, 48);
    layer.ExcelWriteCell(0, 0, false, 10, cp("Приложение 3"));
    layer.ExcelWriteCell(3, 1, true, 14, cp("Информация о работе крана за последние часы."));
    const char* header[] = {"№", "Дата и время", "Сраб. защиты", "Ветер, м/с"};
    for (int col = 0; col < 4; ++col) layer.ExcelWriteCell(col, 3, true, 10, cp(header[col]));
    layer.ExcelWriteCell(0, 4, false, 10, "1");
    layer.ExcelWriteCell(1, 4, false, 10, cp(" 4.07.09  3:56:33"));
    layer.ExcelRedRow(5);
    layer.ExcelAddLegend("protect", 2, 4);
    layer.ExcelWriteCell(2, 4, false, 10, cp("\"MaxV\"\"ЛЭП\""));
    layer.ExcelWriteCell(3, 4, false, 10, "25.5");
    layer.ExcelDrawGrid(3, 5);
    layer.ExcelFillBackground(3, 5, 0);
    layer.ExcelFreezeHeader();
    ASSERT_TRUE(layer.ExcelShow());

    Convert("csv:Text - txt - csv (StarCalc):44,34,76,1");
    std::ifstream csv(m_dir / "appendix3.csv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);) lines.push_back(line);

    const std::vector<std::string> expected = {
        "\"Приложение 3\",,,",
        ",,,\"Информация о работе крана за последние часы.\"",
        ",,,",
        "\"№\",\"Дата и время\",\"Сраб. защиты\",\"Ветер, м/с\"",
        "1,\" 4.07.09  3:56:33\",\"\"\"MaxV\"\"\"\"ЛЭП\"\"\",25.5",
    };
    EXPECT_EQ(lines, expected);
}

// The suite finds each comment where it was put, with its text, in a sheet
// of several legends.
TEST_F(OfficeConversionTest, OfficeSuiteFindsTheComments) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no soffice";
    test::FolderSink sink(m_dir);
    XlsxExcelLayer layer(sink, "appendix3");
    layer.ExcelStart();
    for (int row = 3; row < 6; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (row > 3 && col > 1) layer.ExcelAddLegend(col == 2 ? "protect" : "lep", col, row);
            layer.ExcelWriteCell(col, row, false, 10, std::to_string(row * 10 + col));
        }
    }
    layer.ExcelDrawGrid(3, 6);
    ASSERT_TRUE(layer.ExcelShow());

    Convert("fods");
    std::ifstream fods(m_dir / "appendix3.fods");
    const std::string text{std::istreambuf_iterator<char>(fods), {}};
    // Each annotation sits in its cell's element, just before the value.
    const std::regex annotated(R"(<office:annotation[\s\S]*?<text:p[^>]*>([^<]*)</text:p>[\s\S]*?)"
                               R"(</office:annotation>\s*<text:p>(\d+)</text:p>)");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), annotated);
         it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[2].str() + " " + (*it)[1].str());
    }
    EXPECT_EQ(found, (std::vector<std::string>{"42 Срабатывание защиты:", "43 ЛЭП:",
                                               "52 Срабатывание защиты:", "53 ЛЭП:"}));
}

}  // namespace
}  // namespace zorvek
