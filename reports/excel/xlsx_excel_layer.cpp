#include "reports/excel/xlsx_excel_layer.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "model/cp1251.h"
#include "reports/excel/excel_codes.h"
#include "reports/excel/legends.h"
#include "reports/excel/sheet_paper.h"
#include "reports/excel/sheet_ruler.h"
#include "reports/excel/xlsx_writer.h"

namespace zorvek {
namespace {

constexpr int kColumnWidth = 16;  // of every column, in characters
constexpr int kHeaderRow = 4;     // sheet row of the table's header
// Columns kept at the left on screen and on paper: "№" and the date.
constexpr int kTitleColumns = 2;
// The titles above the table run from D to H, and "Не зарегистрировано!"
// below an empty table as far.
constexpr int kTitlesLastCol = 7;
constexpr int kEmptyNoteRow = 11;
// A4 landscape less the writer's side margins of 0.7 inch, at 96 pixels to
// the inch: 11.69 - 1.4 inches.
constexpr std::uint32_t kPrintablePixels = 987;

// The cell of a column index and a 1-based sheet row, if it has an address.
std::optional<CellRef> Address(int col, int sheetRow) {
    const CellRef cell{sheetRow - 1, col};
    if (ColumnLetters(col).empty() || !IsOnSheet(cell)) return std::nullopt;
    return cell;
}

}  // namespace

XlsxExcelLayer::XlsxExcelLayer(DocumentSink& sink, std::string title)
    : m_sink(sink), m_title(std::move(title)) {}

void XlsxExcelLayer::ExcelStart() {
    m_lastWrite = TransferResult::Ok();
    m_lastWriteFile.clear();
    m_sheet = Sheet{};
    m_tableCorner.reset();
    m_filterCorner.reset();
    m_sheet.SetAllColumnsWidth(kColumnWidth);
    m_sheet.SetOrientation(kXlLandscape);
}

void XlsxExcelLayer::ExcelWriteCell(int col, int row, bool bold, int size, std::string_view value) {
    const auto cell = Address(col, row + 1);
    if (!cell) return;
    m_sheet.SelectCells(*cell, *cell);
    m_sheet.SetFormula(*cell, value);
    m_sheet.SetBold(bold);
    m_sheet.SetFontSize(size);
}

void XlsxExcelLayer::ExcelDrawGrid(int lastCol, int lastRow) {
    const auto corner = Address(lastCol, lastRow);
    if (!corner) return;
    const auto setLine = [this](int border) {
        m_sheet.SetBorderLineStyle(border, kXlContinuous);
        m_sheet.SetBorderWeight(border, kXlThin);
        m_sheet.SetBorderColorIndex(border, kXlAutomatic);
    };
    m_sheet.SelectCells(*Address(0, kHeaderRow), *corner);
    m_sheet.SetHorizontalAlignment(kXlAlignCentre);
    m_sheet.SetBorderLineStyle(kXlDiagonalDown, kXlNone);
    m_sheet.SetBorderLineStyle(kXlDiagonalUp, kXlNone);
    for (const int edge : {kXlEdgeLeft, kXlEdgeTop, kXlEdgeBottom, kXlEdgeRight}) setLine(edge);
    if (lastCol != 0) setLine(kXlInsideVertical);
    m_tableCorner = corner;
    if (lastRow != kHeaderRow) {
        m_filterCorner = corner;
        setLine(kXlInsideHorizontal);
        const CellRef firstDataCell = *Address(0, kHeaderRow + 1);
        m_sheet.SelectCells(firstDataCell, firstDataCell);
        m_sheet.SetView(kXlPageBreakPreview);
    }
}

// There is no sheet row 0, so lastRow 0 asks for the whole sheet; lastCol 0
// is column A like in every other operation.
void XlsxExcelLayer::ExcelFillBackground(int lastCol, int lastRow, int colour) {
    if (lastCol == 0 || lastRow == 0) {
        m_sheet.SelectAll();
    } else {
        const auto corner = Address(lastCol, lastRow);
        if (!corner) return;
        m_sheet.SelectCells(CellRef{0, 0}, *corner);
    }
    m_sheet.SetInteriorColorIndex(colour == 0 ? kXlNone : colour);
}

void XlsxExcelLayer::ExcelShowGridlines(bool show) { m_sheet.SetDisplayGridlines(show); }

void XlsxExcelLayer::ExcelRedRow(int row) {
    if (row < 1 || row > kSheetRows) return;
    m_sheet.SelectRows(row - 1, row - 1);
    m_sheet.SetFontColorIndex(kXlColourRed);
}

void XlsxExcelLayer::ExcelSetColumnWidth(int col, int width) {
    if (ColumnLetters(col).empty()) return;
    m_sheet.SetColumnWidth(col, width);
}

void XlsxExcelLayer::ExcelAddLegend(std::string_view key, int col, int row) {
    const auto cell = Address(col, row + 1);
    if (!cell) return;
    m_sheet.SelectCells(*cell, *cell);
    if (const Legend* legend = FindLegend(key)) {
        // A second comment on the cell is refused and nothing else changes.
        m_sheet.AddComment(*cell, legend->text, legend->widthPt, legend->heightPt);
    }
}

void XlsxExcelLayer::ExcelFreezeHeader() {
    const CellRef c5 = *Address(2, 5);
    m_sheet.SelectCells(c5, c5);
    m_sheet.FreezePanes();
}

void XlsxExcelLayer::SetUpPrinting() {
    SheetPrintSetup print;
    print.titleRows = kHeaderRow;
    // "&" starts a code in a footer; a lone one is written twice.
    std::string line;
    for (const char c : m_footer) line += c == '&' ? std::string("&&") : std::string(1, c);
    print.footer = (line.empty() ? std::string() : "&L" + line) + Cp1251FromUtf8("&CСтр. &P из &N");
    if (m_tableCorner) {
        const SheetRuler ruler(m_sheet);
        std::uint32_t width = 0;
        for (int col = 0; col <= m_tableCorner->col; ++col) width += ruler.ColumnPixels(col);
        if (width > kPrintablePixels) print.titleColumns = kTitleColumns;
        // Text running out of the table's last column, and the grey of the
        // sheet around it, would print as pages of their own.
        const bool empty = m_tableCorner->row == kHeaderRow - 1;
        print.printArea = {CellRef{0, 0},
                           CellRef{std::max(m_tableCorner->row, empty ? kEmptyNoteRow - 1 : 0),
                                   std::max(m_tableCorner->col, kTitlesLastCol)}};
        print.overThenDown = true;
    }
    if (m_filterCorner) print.autoFilter = {*Address(0, kHeaderRow), *m_filterCorner};
    m_sheet.SetPrintSetup(std::move(print));
}

std::optional<PaperDocument> XlsxExcelLayer::Paper() const {
    PaperDocument paper = PaperFromSheet(m_sheet);
    paper.title = m_title;
    paper.footer = Utf8FromCp1251(m_footer);
    return paper;
}

bool XlsxExcelLayer::ExcelShow() {
    SetUpPrinting();
    if (!m_sink.Keeps("xlsx")) return true;
    m_lastWriteFile = m_sink.PathFor(m_title, "xlsx");
    m_lastWrite = WriteXlsx(m_sheet, m_lastWriteFile);
    m_sink.Finished(m_lastWriteFile, m_lastWrite);
    return m_lastWrite.Succeeded();
}

}  // namespace zorvek
