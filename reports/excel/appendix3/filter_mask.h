#pragma once

#include <cstdint>

#include "model/records.h"

namespace zorvek {

// The protections the filter window offers, each one check box.
enum class Protection {
    Radius,     // "Запрет по вылету": minimum and maximum radius
    Overload,   // "Загрузка 110%"
    Coord,      // "Запрет от кооддинатной защиты"
    PowerLine,  // "Запрет от ЛЭП"
    Hook,       // "Концевик крюка"
    Tilt,       // "Наклон платформы": tilt X and tilt Y
    Wind,       // "Ветер"
};

// Which records appendix 3 shows. With showAll ("Вывести всё") every valid
// record; otherwise only records in which at least one chosen protection
// tripped. The flag bytes mirror the record's LimitFlags, TiltFlags and
// ZoneFlags; only their nine protection bits are ever tested.
struct FilterMask {
    bool showAll = true;
    std::uint8_t limitFlags = 0;
    std::uint8_t tiltFlags = 0;
    std::uint8_t zoneFlags = 0;

    // Sets the protection's bits; bits already set stay set. Leaves showAll
    // as it is.
    void Add(Protection protection);
    bool Shows(const HourRecord& record) const;
};

}  // namespace zorvek
