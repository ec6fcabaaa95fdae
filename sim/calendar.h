#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/format.h"

// The twin's clock: local time as seconds since 2000-01-01 00:00:00. The
// recorder knows no time zones or daylight saving, and neither does this.
namespace zorvek::sim {

using SimSeconds = std::int64_t;

constexpr SimSeconds kMinute = 60;
constexpr SimSeconds kHour = 60 * kMinute;
constexpr SimSeconds kDay = 24 * kHour;

// The recorder packs years 2000..2063.
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2063;

SimSeconds SecondsFromLocal(const LocalDateTime& t);
LocalDateTime LocalFromSeconds(SimSeconds seconds);
std::uint32_t PackSeconds(SimSeconds seconds);

// 0 Monday .. 6 Sunday.
int Weekday(SimSeconds seconds);
// Midnight of the day that holds `seconds`.
SimSeconds StartOfDay(SimSeconds seconds);

// "YYYY-MM-DDTHH:MM:SS", a real calendar date within kFirstYear..kLastYear;
// nothing for anything else.
std::optional<LocalDateTime> ParseLocalDateTime(std::string_view text);

}  // namespace zorvek::sim
