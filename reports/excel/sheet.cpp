#include "reports/excel/sheet.h"

#include <algorithm>

#include "reports/excel/palette.h"
#include "reports/excel/plain_number.h"

namespace zorvek {
namespace {

constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 409;
constexpr double kMaxColumnWidth = 255;

bool IsFontColour(int index) { return index == kXlAutomatic || PaletteColour(index); }
bool IsFill(int index) { return index == kXlNone || PaletteColour(index); }
bool IsBorderIndex(int border) {
    return border >= kXlDiagonalDown && border <= kXlInsideHorizontal;
}

bool IsWeight(int weight) {
    return weight == kXlHairline || weight == kXlThin || weight == kXlMedium || weight == kXlThick;
}

bool IsAlignment(int alignment) {
    return alignment == kXlAlignGeneral || alignment == kXlAlignLeft ||
           alignment == kXlAlignCentre || alignment == kXlAlignRight;
}

bool IsRow(int row) { return row >= 0 && row < kSheetRows; }

}  // namespace

bool IsOnSheet(CellRef cell) {
    return IsRow(cell.row) && cell.col >= 0 && cell.col < kSheetColumns;
}

void Sheet::SelectCells(CellRef a, CellRef b) {
    if (!IsOnSheet(a) || !IsOnSheet(b)) return;
    m_selection = {SheetSelection::Kind::Cells,
                   {std::min(a.row, b.row), std::min(a.col, b.col)},
                   {std::max(a.row, b.row), std::max(a.col, b.col)}};
}

void Sheet::SelectRows(int firstRow, int lastRow) {
    if (!IsRow(firstRow) || !IsRow(lastRow)) return;
    m_selection = {SheetSelection::Kind::Rows,
                   {std::min(firstRow, lastRow), 0},
                   {std::max(firstRow, lastRow), kSheetColumns - 1}};
}

void Sheet::SelectAll() {
    m_selection = {SheetSelection::Kind::All, {0, 0}, {kSheetRows - 1, kSheetColumns - 1}};
}

std::size_t Sheet::CellIndex(SheetRow& row, std::size_t from, int col) {
    auto& cells = row.cells;
    if (from < cells.size() && cells[from].first == col) return from;  // walking a row in order
    const auto it = std::lower_bound(cells.begin() + static_cast<std::ptrdiff_t>(from), cells.end(),
                                     col, [](const auto& entry, int c) { return entry.first < c; });
    if (it != cells.end() && it->first == col) return static_cast<std::size_t>(it - cells.begin());
    const auto created = cells.insert(it, {col, SheetCell{row.format.value_or(m_format), {}, {}}});
    return static_cast<std::size_t>(created - cells.begin());
}

SheetCell& Sheet::CellAt(CellRef cell) {
    SheetRow& row = m_rows[cell.row];
    const std::size_t index = CellIndex(row, 0, cell.col);
    return row.cells[index].second;
}

// Walks the rows and cells of a block in order, creating the cells that do
// not exist yet; a cell's place is its place in the whole selection.
template <typename Change>
void Sheet::ChangeCells(CellRef from, CellRef to, Change change) {
    const CellRef first = m_selection.first;
    const CellRef last = m_selection.last;
    auto rowIt = m_rows.lower_bound(from.row);
    for (int r = from.row; r <= to.row; ++r, ++rowIt) {
        if (rowIt == m_rows.end() || rowIt->first != r)
            rowIt = m_rows.emplace_hint(rowIt, r, SheetRow{});
        SheetRow& row = rowIt->second;
        std::size_t index = 0;
        for (int c = from.col; c <= to.col; ++c, ++index) {
            index = CellIndex(row, index, c);
            change(row.cells[index].second.format,
                   Place{r == first.row, r == last.row, c == first.col, c == last.col});
        }
    }
}

// A range reaches each of its cells. Whole rows and the whole sheet change
// the formats that stand for their empty cells, and the cells that exist in
// them.
template <typename Change>
void Sheet::ApplyToSelection(Change change) {
    const CellRef first = m_selection.first;
    const CellRef last = m_selection.last;
    const auto changeCells = [&](SheetRow& row, int r) {
        for (auto& [c, cell] : row.cells) {
            change(cell.format,
                   Place{r == first.row, r == last.row, c == first.col, c == last.col});
        }
    };
    switch (m_selection.kind) {
        case SheetSelection::Kind::Cells:
            ChangeCells(first, last, change);
            break;
        case SheetSelection::Kind::Rows:
            for (int r = first.row; r <= last.row; ++r) {
                SheetRow& row = m_rows[r];
                if (!row.format) row.format = m_format;
                change(*row.format, Place{r == first.row, r == last.row, false, false});
                changeCells(row, r);
            }
            break;
        case SheetSelection::Kind::All:
            change(m_format, Place{});
            for (auto& [r, row] : m_rows) {
                if (row.format)
                    change(*row.format, Place{r == first.row, r == last.row, false, false});
                changeCells(row, r);
            }
            break;
    }
}

// Edges touch only the cells on that side of the selection; inside lines
// are the facing sides of neighbouring cells.
template <typename Change>
void Sheet::ApplyToBorders(int border, Change change) {
    const auto changeBorder = [&](CellFormat& format, const Place& place) {
        switch (border) {
            case kXlDiagonalDown:
                change(format.Border(CellSide::DiagonalDown));
                break;
            case kXlDiagonalUp:
                change(format.Border(CellSide::DiagonalUp));
                break;
            case kXlEdgeLeft:
                if (place.firstCol) change(format.Border(CellSide::Left));
                break;
            case kXlEdgeTop:
                if (place.firstRow) change(format.Border(CellSide::Top));
                break;
            case kXlEdgeBottom:
                if (place.lastRow) change(format.Border(CellSide::Bottom));
                break;
            case kXlEdgeRight:
                if (place.lastCol) change(format.Border(CellSide::Right));
                break;
            case kXlInsideVertical:
                if (!place.lastCol) change(format.Border(CellSide::Right));
                if (!place.firstCol) change(format.Border(CellSide::Left));
                break;
            case kXlInsideHorizontal:
                if (!place.lastRow) change(format.Border(CellSide::Bottom));
                if (!place.firstRow) change(format.Border(CellSide::Top));
                break;
        }
    };
    if (m_selection.kind != SheetSelection::Kind::Cells) {
        ApplyToSelection(changeBorder);
        return;
    }
    // A range's edge is one row or column of it: only those cells change.
    CellRef from = m_selection.first;
    CellRef to = m_selection.last;
    switch (border) {
        case kXlEdgeLeft:
            to.col = from.col;
            break;
        case kXlEdgeTop:
            to.row = from.row;
            break;
        case kXlEdgeBottom:
            from.row = to.row;
            break;
        case kXlEdgeRight:
            from.col = to.col;
            break;
    }
    ChangeCells(from, to, changeBorder);
}

void Sheet::SetBold(bool bold) {
    ApplyToSelection([bold](CellFormat& format, const Place&) { format.bold = bold; });
}

void Sheet::SetFontSize(int points) {
    if (points < kMinFontSize || points > kMaxFontSize) return;
    ApplyToSelection([points](CellFormat& format, const Place&) { format.fontSize = points; });
}

void Sheet::SetFontColorIndex(int index) {
    if (!IsFontColour(index)) return;
    ApplyToSelection([index](CellFormat& format, const Place&) { format.fontColorIndex = index; });
}

void Sheet::SetInteriorColorIndex(int index) {
    if (!IsFill(index)) return;
    ApplyToSelection(
        [index](CellFormat& format, const Place&) { format.interiorColorIndex = index; });
}

void Sheet::SetHorizontalAlignment(int alignment) {
    if (!IsAlignment(alignment)) return;
    ApplyToSelection(
        [alignment](CellFormat& format, const Place&) { format.horizontalAlignment = alignment; });
}

// A line that is switched off forgets its weight and colour; setting the
// weight or colour of a missing line draws it continuous.
void Sheet::SetBorderLineStyle(int border, int lineStyle) {
    if (!IsBorderIndex(border) || (lineStyle != kXlNone && lineStyle != kXlContinuous)) return;
    ApplyToBorders(border, [lineStyle](BorderLine& line) {
        if (lineStyle == kXlNone) {
            line = BorderLine{};
        } else {
            line.lineStyle = lineStyle;
        }
    });
}

void Sheet::SetBorderWeight(int border, int weight) {
    if (!IsBorderIndex(border) || !IsWeight(weight)) return;
    ApplyToBorders(border, [weight](BorderLine& line) {
        if (!line.Drawn()) line.lineStyle = kXlContinuous;
        line.weight = weight;
    });
}

void Sheet::SetBorderColorIndex(int border, int colorIndex) {
    if (!IsBorderIndex(border) || !IsFontColour(colorIndex)) return;
    ApplyToBorders(border, [colorIndex](BorderLine& line) {
        if (!line.Drawn()) line.lineStyle = kXlContinuous;
        line.colorIndex = colorIndex;
    });
}

void Sheet::SetFormula(CellRef cell, std::string_view text) {
    if (!IsOnSheet(cell)) return;
    SheetCell& target = CellAt(cell);
    target.text = text;
    target.number = PlainNumber(text);
}

bool Sheet::AddComment(CellRef cell, std::string_view text, double widthPt, double heightPt) {
    if (!IsOnSheet(cell)) return false;
    return m_comments.try_emplace(cell, SheetComment{std::string(text), widthPt, heightPt}).second;
}

void Sheet::SetAllColumnsWidth(double width) {
    if (width < 0 || width > kMaxColumnWidth) return;
    m_allColumnsWidth = width;
    m_columnWidths.clear();
}

void Sheet::SetColumnWidth(int col, double width) {
    if (col < 0 || col >= kSheetColumns || width < 0 || width > kMaxColumnWidth) return;
    m_columnWidths[col] = width;
}

void Sheet::SetDisplayGridlines(bool show) { m_displayGridlines = show; }

void Sheet::FreezePanes() {
    if (m_selection.kind == SheetSelection::Kind::All) return;
    const CellRef active = m_selection.kind == SheetSelection::Kind::Rows
                               ? CellRef{m_selection.first.row, 0}
                               : m_selection.first;
    if (active.row > 0 || active.col > 0) m_frozenAt = active;
}

void Sheet::SetView(int view) {
    if (view == kXlNormalView || view == kXlPageBreakPreview) m_view = view;
}

void Sheet::SetOrientation(int orientation) {
    if (orientation == kXlPortrait || orientation == kXlLandscape) m_orientation = orientation;
}

}  // namespace zorvek
