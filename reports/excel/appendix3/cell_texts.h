#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/records.h"
#include "reports/excel/appendix3/column_kind.h"

// The texts of appendix 3's data cells (cp1251).
namespace zorvek {

// The operating mode: its number (bits 0..3), or " Вспом. " and the number
// minus 10 (negative below 10) for the auxiliary mode (0x40); then " Юст."
// for adjustment (0x10) and " Блок." for blocking (0x20).
std::string ModeText(std::uint8_t modeFlags);

// 1000 protection off (0x10), 111 no antenna link (0x10 and 0x20); without
// 0x10 the range number (bits 0..3), plus 888 when 0x20 is set.
int PowerLineCode(std::uint8_t powerLineState);

// The cell text of a power-line code: "0.22-1" .. "500>" for ranges 1..5,
// "  net err", "  On", "  OFF"; empty for any other code.
std::string PowerLineText(int code);

// The text of `kind` for the record at `position` (0-based) of the sorted
// hour list. Only flag, power-line and note cells can be empty.
std::string CellText(ColumnKind kind, const HourRecord& record, int position);

// The key of the legend comment that explains a column's codes; empty for
// columns without one. A cell gets it only when its text is not empty.
std::string_view LegendKey(ColumnKind kind);

}  // namespace zorvek
