#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/excel/excel_layer.h"

namespace zorvek {

// Records every operation as one readable line, for tests of the builders:
//   ExcelStart()
//   ExcelWriteCell(3, 1, true, 14, "Информация о работе крана за последние часы.")
//   ExcelAddLegend("protect", 11, 4)
// Arguments appear in the order of the call; texts are converted to UTF-8
// and quoted as they are, without escapes.
class RecordingExcelLayer final : public ExcelLayer {
  public:
    void ExcelStart() override;
    void ExcelWriteCell(int col, int row, bool bold, int size, std::string_view value) override;
    void ExcelDrawGrid(int lastCol, int lastRow) override;
    void ExcelFillBackground(int lastCol, int lastRow, int colour) override;
    void ExcelShowGridlines(bool show) override;
    void ExcelRedRow(int row) override;
    void ExcelSetColumnWidth(int col, int width) override;
    void ExcelAddLegend(std::string_view key, int col, int row) override;
    void ExcelFreezeHeader() override;
    // Gives what SetShowResult asked for, true unless told otherwise.
    bool ExcelShow() override;

    void SetShowResult(bool ok) { m_showResult = ok; }
    const std::vector<std::string>& Lines() const { return m_lines; }

  private:
    std::vector<std::string> m_lines;
    bool m_showResult = true;
};

}  // namespace zorvek
