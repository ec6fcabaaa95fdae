#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/duty_class.h"
#include "model/format.h"

// Figures a recorder cannot have counted: saturated counters, more work
// than the period had hours, more time under load than switched on, loads
// heavier than the crane lifts, dates that cannot be. Each finding names the
// conclusions it makes unreliable, so that the duty appendix and `info`
// withhold them rather than print a class built on such figures.
namespace zorvek {

enum class DataBlock { WholeLife, SinceReading, Passport };

// What a finding makes unreliable.
namespace doubt {
inline constexpr unsigned kNone = 0;
// The block's Kp by the range bounds, Q, U, group, used resource.
inline constexpr unsigned kClasses = 1;
// The block's Kp by mean mass.
inline constexpr unsigned kMeanLoad = 2;
// The block's pace, and what is projected with it.
inline constexpr unsigned kPace = 4;
// The block's dates themselves, and anything carried over its days (the
// mechanisms' hours too).
inline constexpr unsigned kDates = 8;
}  // namespace doubt

struct DataFinding {
    DataBlock block = DataBlock::WholeLife;
    unsigned touches = doubt::kNone;
    std::string line;    // the whole finding, cp1251
    std::string reason;  // a few words for "(...)", cp1251
};

struct RecordedPeriod {
    DutyInputs inputs;
    // The recorder's powered time over the same period; nothing when unread.
    std::optional<std::uint32_t> poweredSeconds;
};

// Every finding, the whole life's first; `since` may be null. `today` is
// the day the document is made.
std::vector<DataFinding> CheckPlausibility(const RecordedPeriod& whole, const RecordedPeriod* since,
                                           std::chrono::sys_days today);

// "вывод не может быть сделан: данные недостоверны (reason; reason)" for the
// findings of each block that touch its figures; nothing when none does.
std::optional<std::string> Withheld(const std::vector<DataFinding>& findings,
                                    std::initializer_list<std::pair<DataBlock, unsigned>> figures);

std::chrono::sys_days TodayOf(const Clock& clock);

}  // namespace zorvek
