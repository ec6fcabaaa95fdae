#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "model/transfer_result.h"
#include "reports/common/paper_document.h"

namespace zorvek {

// The spreadsheet layer: each operation selects a cell, range or row of the
// one sheet and sets properties of the selection, as the appendix-3 builder
// calls them. Rows given as "row" to ExcelWriteCell and ExcelAddLegend are
// 0-based; the others take sheet row numbers (1-based). Columns are 0-based
// indices into ColumnLetters (at most 21 columns). Texts are cp1251.
class ExcelLayer {
  public:
    virtual ~ExcelLayer() = default;

    virtual void ExcelStart() = 0;
    virtual void ExcelWriteCell(int col, int row, bool bold, int size, std::string_view value) = 0;
    virtual void ExcelDrawGrid(int lastCol, int lastRow) = 0;
    // colour is a palette index; 0 clears the fill (-4142).
    virtual void ExcelFillBackground(int lastCol, int lastRow, int colour) = 0;
    virtual void ExcelShowGridlines(bool show) = 0;
    virtual void ExcelRedRow(int row) = 0;
    virtual void ExcelSetColumnWidth(int col, int width) = 0;
    // key is one of "yustkoord", "koord", "warnings", "protect", "discret", "lep".
    virtual void ExcelAddLegend(std::string_view key, int col, int row) = 0;
    virtual void ExcelFreezeHeader() = 0;
    // Hands the finished workbook to the document sink; false when it could
    // not be written, LastWrite says why.
    virtual bool ExcelShow() = 0;
    // How writing the workbook went: success until it is shown, and again
    // once ExcelStart begins the next one. Layers that write no file never
    // fail.
    virtual TransferResult LastWrite() const { return TransferResult::Ok(); }
    // Where the workbook was written, or was to be, as the document sink
    // named it; empty until it is shown, and again once ExcelStart begins
    // the next one.
    virtual std::filesystem::path LastWriteFile() const { return {}; }
    // The workbook last shown, laid out for paper as a spreadsheet prints
    // it; nothing from layers that keep no sheet, or before the first.
    virtual std::optional<PaperDocument> Paper() const { return std::nullopt; }
    // The line every printed page of the workbooks shown from now on
    // carries in its footer (cp1251; see StampLine). Layers that keep no
    // pages ignore it.
    virtual void SetFooter(std::string_view) {}
};

// "A".."U" for the column indices 0..20.
std::string_view ColumnLetters(int col);

}  // namespace zorvek
