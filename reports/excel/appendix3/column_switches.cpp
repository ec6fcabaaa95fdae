#include "reports/excel/appendix3/column_switches.h"

namespace zorvek {
namespace {

int Entry(ColumnKind kind) { return static_cast<int>(kind) - kFirstColumnKind; }

bool IsEntry(int entry) { return entry >= 0 && entry < kColumnKindCount; }

}  // namespace

ColumnSwitches ColumnSwitches::All() {
    ColumnSwitches switches;
    switches.m_on.fill(true);
    return switches;
}

void ColumnSwitches::Set(ColumnKind kind, bool on) {
    const int entry = Entry(kind);
    if (entry == 0 || !IsEntry(entry)) return;
    m_on[static_cast<std::size_t>(entry)] = on;
}

bool ColumnSwitches::SetCheckBox(int box, bool checked) {
    if (box < 1 || box > kLastColumnKind + 1) return false;
    m_on[static_cast<std::size_t>(box)] = checked;
    return true;
}

bool ColumnSwitches::IsOn(ColumnKind kind) const {
    const int entry = Entry(kind);
    return IsEntry(entry) && m_on[static_cast<std::size_t>(entry)];
}

ColumnSwitches DefaultColumnSwitches() {
    ColumnSwitches switches;
    for (ColumnKind kind :
         {ColumnKind::DateTime, ColumnKind::LoadPercent, ColumnKind::Radius, ColumnKind::BoomLength,
          ColumnKind::LoadWeight, ColumnKind::Capacity, ColumnKind::Mode}) {
        switches.Set(kind, true);
    }
    return switches;
}

}  // namespace zorvek
