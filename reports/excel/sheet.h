#pragma once

#include <compare>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reports/excel/cell_format.h"

namespace zorvek {

// The sheet's size; rows and columns are 0-based in this file.
inline constexpr int kSheetRows = 1048576;
inline constexpr int kSheetColumns = 16384;

struct CellRef {
    int row = 0;
    int col = 0;
    auto operator<=>(const CellRef&) const = default;
};

bool IsOnSheet(CellRef cell);

// What the window's selection covers. Rows span every column; All is the
// whole sheet.
struct SheetSelection {
    enum class Kind { Cells, Rows, All };
    Kind kind = Kind::Cells;
    CellRef first;  // top left
    CellRef last;   // bottom right
};

struct SheetCell {
    CellFormat format;
    std::string text;              // as typed, cp1251; empty: no value
    std::optional<double> number;  // set when the text is a plain number
};

struct SheetRow {
    std::optional<CellFormat> format;  // set once the whole row was formatted
    // By column, in column order. A row holds a few dozen cells at most, and
    // walking them in one block keeps whole-table settings fast.
    std::vector<std::pair<int, SheetCell>> cells;
};

// How the sheet prints beyond its orientation.
struct SheetPrintSetup {
    int titleRows = 0;  // rows titleFirstRow.. repeated at the top of every page
    int titleFirstRow = 0;
    int titleColumns = 0;  // columns 0.. repeated at the left of every page
    std::string footer;    // cp1251, with the page codes "&P" and "&N"; empty: none
    // The spreadsheet scales the print to one page wide (PaperFromSheet
    // does not: it prints bands of columns).
    bool fitWidth = false;
    // The filter buttons' range: its first row holds the buttons.
    std::optional<std::pair<CellRef, CellRef>> autoFilter;
    // What prints; unset: whatever the sheet uses.
    std::optional<std::pair<CellRef, CellRef>> printArea;
    // Pages of a sheet wider than the paper follow each other across its
    // columns first, then down its rows.
    bool overThenDown = false;
};

struct SheetComment {
    std::string text;  // cp1251
    double widthPt = 0;
    double heightPt = 0;
};

// One worksheet held in memory with its window, changed the way the
// spreadsheet changes it: select, then set properties of the selection. A
// cell takes its format from its row, if the row was formatted, or else from
// the sheet when it first comes to exist; formatting whole rows or the whole
// sheet also reformats the cells that exist in them.
//
// Values the spreadsheet would refuse, and codes this sheet does not model,
// leave the sheet unchanged: colour indices outside the palette, line styles
// other than none and continuous, weights other than hairline, thin, medium
// and thick, alignments other than general, left, centre and right, border
// indices outside 5..12, font sizes outside 1..409, widths outside 0..255,
// cells off the sheet.
class Sheet {
  public:
    // A new workbook's sheet: A1 selected, nothing set, gridlines shown,
    // normal view, portrait.
    Sheet() = default;

    // Corners in any order.
    void SelectCells(CellRef a, CellRef b);
    void SelectRows(int firstRow, int lastRow);
    void SelectAll();
    const SheetSelection& Selection() const { return m_selection; }

    // Properties of the selection, in the spreadsheet's codes.
    void SetBold(bool bold);
    void SetFontSize(int points);
    void SetFontColorIndex(int index);
    void SetInteriorColorIndex(int index);
    void SetHorizontalAlignment(int alignment);
    // border: 5, 6 diagonals; 7..10 left, top, bottom, right edge of the
    // selection; 11, 12 the lines between its columns and between its rows.
    void SetBorderLineStyle(int border, int lineStyle);
    void SetBorderWeight(int border, int weight);
    void SetBorderColorIndex(int border, int colorIndex);

    // The cell's content as if typed: a plain number becomes a number, any
    // other text stays text (never a formula); an empty text empties it.
    void SetFormula(CellRef cell, std::string_view text);
    // False, and the existing comment kept as it is, when the cell already
    // carries one.
    bool AddComment(CellRef cell, std::string_view text, double widthPt, double heightPt);

    void SetAllColumnsWidth(double width);
    void SetColumnWidth(int col, double width);

    void SetDisplayGridlines(bool show);
    // Rows above and columns left of the active cell stay in view.
    void FreezePanes();
    void SetView(int view);
    void SetOrientation(int orientation);
    void SetPrintSetup(SheetPrintSetup setup) { m_print = std::move(setup); }

    const CellFormat& Format() const { return m_format; }
    const std::map<int, SheetRow>& Rows() const { return m_rows; }
    const std::map<CellRef, SheetComment>& Comments() const { return m_comments; }
    // Unset: the spreadsheet's standard width.
    std::optional<double> AllColumnsWidth() const { return m_allColumnsWidth; }
    const std::map<int, double>& ColumnWidths() const { return m_columnWidths; }
    bool DisplayGridlines() const { return m_displayGridlines; }
    // The top left cell of the scrolling pane; unset: nothing frozen.
    std::optional<CellRef> FrozenAt() const { return m_frozenAt; }
    int View() const { return m_view; }
    int Orientation() const { return m_orientation; }
    const SheetPrintSetup& PrintSetup() const { return m_print; }

  private:
    // Where a format stands in the selection, for the edges of a frame.
    struct Place {
        bool firstRow = false;
        bool lastRow = false;
        bool firstCol = false;
        bool lastCol = false;
    };

    template <typename Change>
    void ChangeCells(CellRef from, CellRef to, Change change);
    template <typename Change>
    void ApplyToSelection(Change change);
    template <typename Change>
    void ApplyToBorders(int border, Change change);
    SheetCell& CellAt(CellRef cell);
    // The position of the cell at col in the row, created if missing.
    std::size_t CellIndex(SheetRow& row, std::size_t from, int col);

    CellFormat m_format;  // of every cell, row and column not set otherwise
    std::map<int, SheetRow> m_rows;
    std::map<CellRef, SheetComment> m_comments;
    SheetSelection m_selection;
    std::optional<double> m_allColumnsWidth;
    std::map<int, double> m_columnWidths;
    bool m_displayGridlines = true;
    std::optional<CellRef> m_frozenAt;
    int m_view = kXlNormalView;
    int m_orientation = kXlPortrait;
    SheetPrintSetup m_print;
};

}  // namespace zorvek
