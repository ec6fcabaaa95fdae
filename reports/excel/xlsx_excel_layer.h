#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "reports/common/document_sink.h"
#include "reports/excel/excel_layer.h"
#include "reports/excel/sheet.h"

namespace zorvek {

// The spreadsheet layer without a spreadsheet program: every operation
// changes an in-memory sheet as the spreadsheet would change its selection,
// and ExcelShow writes the sheet as an XLSX workbook for the document sink.
//
// Cell texts are values: a plain number ("12", " -3.5") is stored as a number,
// anything else as text, never as a formula. Operations whose column has no
// letter (see ColumnLetters) or whose row is off the sheet change nothing.
// Operations before ExcelStart work on a blank sheet without its settings.
class XlsxExcelLayer final : public ExcelLayer {
  public:
    // `title` is the UTF-8 name the sink files the workbook under
    // ("Приложение 3").
    XlsxExcelLayer(DocumentSink& sink, std::string title);

    // A new sheet: every column 16 characters wide, landscape.
    void ExcelStart() override;
    void ExcelWriteCell(int col, int row, bool bold, int size, std::string_view value) override;
    // Frames A4 to (lastCol, lastRow) with thin lines and centres it; with
    // data rows below the header also the lines between rows, A5 selected
    // and the window in page-break preview.
    void ExcelDrawGrid(int lastCol, int lastRow) override;
    // A1 to (lastCol, lastRow); the whole sheet when either is 0.
    void ExcelFillBackground(int lastCol, int lastRow, int colour) override;
    void ExcelShowGridlines(bool show) override;
    void ExcelRedRow(int row) override;
    void ExcelSetColumnWidth(int col, int width) override;
    // A cell that already carries a comment keeps it; an unknown key only
    // selects the cell.
    void ExcelAddLegend(std::string_view key, int col, int row) override;
    // Rows 1..4 and columns A, B stay in view.
    void ExcelFreezeHeader() override;
    // Writes the workbook where the sink says and tells the sink the outcome.
    // On paper rows 1..4 repeat on every page, and columns A and B too when
    // the table is wider than the page; the footer numbers the pages
    // ("Стр. 2 из 9") beside the footer line; the framed table carries
    // filter buttons in its header when it has data rows. Only the titles
    // and the table print, page after page across the columns first.
    bool ExcelShow() override;
    void SetFooter(std::string_view line) override { m_footer = line; }
    TransferResult LastWrite() const override { return m_lastWrite; }
    std::filesystem::path LastWriteFile() const override { return m_lastWriteFile; }
    // The sheet as built so far; after ExcelShow with its print settings,
    // ready to go onto paper (see PaperFromSheet).
    const Sheet& CurrentSheet() const { return m_sheet; }
    // The sheet as it prints: rows 1..4 on every page, bands of columns
    // when wider than the page.
    std::optional<PaperDocument> Paper() const override;

  private:
    void SetUpPrinting();

    DocumentSink& m_sink;
    std::string m_title;
    Sheet m_sheet;
    std::string m_footer;                   // cp1251
    std::optional<CellRef> m_tableCorner;   // the framed table's last cell
    std::optional<CellRef> m_filterCorner;  // its last cell, when it has data rows
    TransferResult m_lastWrite;
    std::filesystem::path m_lastWriteFile;
};

}  // namespace zorvek
