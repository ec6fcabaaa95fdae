#pragma once

#include <array>

#include "reports/excel/appendix3/column_kind.h"

namespace zorvek {

// Which columns appendix 3 shows: entry kind + 1 for each kind, entry 0
// ("№") always on. A default-constructed set shows "№" only.
class ColumnSwitches {
  public:
    // Every column.
    static ColumnSwitches All();

    // Switching "№" off is ignored.
    void Set(ColumnKind kind, bool on);
    // The options window's check box `box` (1..18) switches kind box - 1.
    // False, and nothing changed, for any other number.
    bool SetCheckBox(int box, bool checked);

    bool IsOn(ColumnKind kind) const;

  private:
    std::array<bool, kColumnKindCount> m_on{true};
};

// The check marks the options window starts with: "Дата и время",
// "Загрузка", "Вылет", "Длина стрелы", "Вес груза", "Грузоподъёмность" and
// "Режим".
ColumnSwitches DefaultColumnSwitches();

}  // namespace zorvek
