#pragma once

#include <string>

namespace zorvek {

// The columns appendix 3 can show, in the order they appear on the sheet.
// Kind n (0..17) is switched by the options window's check box n + 1.
enum class ColumnKind : int {
    Number = -1,  // always present
    DateTime = 0,
    LoadPercent = 1,
    Radius = 2,
    BoomLength = 3,
    LoadWeight = 4,
    Capacity = 5,
    Azimuth = 6,
    Mode = 7,
    CoordSet = 8,
    CoordTripped = 9,
    Warnings = 10,
    Protection = 11,
    Mechanism = 12,
    PowerLine = 13,
    RollLongitudinal = 14,
    RollTransverse = 15,
    Wind = 16,
    Note = 17,
};

inline constexpr int kFirstColumnKind = -1;
inline constexpr int kLastColumnKind = 17;
inline constexpr int kColumnKindCount = kLastColumnKind - kFirstColumnKind + 1;

// The header text of the column (cp1251); empty for a value outside the kinds.
std::string ColumnHeader(ColumnKind kind);

}  // namespace zorvek
