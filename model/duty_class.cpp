#include "model/duty_class.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>

#include "model/bits.h"
#include "model/cp1251.h"
#include "model/decimal_number.h"
#include "model/format.h"

namespace zorvek {
namespace {

// Six bits of year after 2000.
constexpr int kLastPackedYear = 2063;
constexpr std::array<double, 4> kNominalKp = {0.125, 0.25, 0.5, 1.0};
// Upper bound of U0..U8 in cycles; U9 has none.
constexpr std::array<std::uint64_t, 9> kUtilisationBound = {
    16'000, 32'000, 63'000, 125'000, 250'000, 500'000, 1'000'000, 2'000'000, 4'000'000};
// Group per state of loading (rows Q1..Q4) and class of utilisation (U0..U9).
constexpr int kGroups[4][10] = {
    {1, 1, 1, 2, 3, 4, 5, 6, 7, 8},
    {1, 1, 2, 3, 4, 5, 6, 7, 8, 8},
    {1, 2, 3, 4, 5, 6, 7, 8, 8, 8},
    {2, 3, 4, 5, 6, 7, 8, 8, 8, 8},
};

struct Moment {
    std::chrono::sys_days day;
    std::chrono::seconds time;
};

std::optional<Moment> Unpack(std::uint32_t packed) {
    if (!IsValidDateTime(packed)) return std::nullopt;
    std::uint32_t bits = packed;
    const int year = 2000 + static_cast<int>(TakeBits(bits, 6));
    const unsigned month = TakeBits(bits, 4);
    const unsigned day = TakeBits(bits, 5);
    const auto hour = std::chrono::hours(TakeBits(bits, 5));
    const auto minute = std::chrono::minutes(TakeBits(bits, 6));
    const auto second = std::chrono::seconds(TakeBits(bits, 6));
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(month),
                                           std::chrono::day(day)};
    if (!date.ok()) return std::nullopt;
    return Moment{std::chrono::sys_days(date), hour + minute + second};
}

double DaysBetween(const Moment& from, const Moment& to) {
    const auto seconds = (to.day - from.day) + (to.time - from.time);
    return std::chrono::duration<double, std::ratio<86400>>(seconds).count();
}

std::optional<std::uint32_t> PackDay(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    const int year = static_cast<int>(date.year());
    if (year < 2000 || year > kLastPackedYear) return std::nullopt;
    return PackDateTime({year, static_cast<int>(static_cast<unsigned>(date.month())),
                         static_cast<int>(static_cast<unsigned>(date.day())), 0, 0, 0});
}

void Erase(std::string& text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word)) {
        text.erase(at, word.size());
    }
}

std::optional<double> Kp(const DutyInputs& inputs, std::uint64_t total,
                         const std::function<std::optional<double>(int)>& loadShare) {
    if (total == 0) return std::nullopt;
    double kp = 0;
    for (int range = 0; range < kLoadRangeCount; ++range) {
        const std::uint32_t cycles = inputs.ranges[range].cycles;
        if (cycles == 0) continue;
        const std::optional<double> share = loadShare(range);
        if (!share) return std::nullopt;
        kp += static_cast<double>(cycles) / static_cast<double>(total) * std::pow(*share, 3);
    }
    return kp;
}

}  // namespace

int LoadingClassOf(double kp) {
    for (int q = 0; q < 3; ++q) {
        if (kp <= kNominalKp[q]) return q + 1;
    }
    return 4;
}

int UtilisationClassOf(std::uint64_t cycles) {
    for (int u = 0; u < static_cast<int>(kUtilisationBound.size()); ++u) {
        if (cycles <= kUtilisationBound[u]) return u;
    }
    return 9;
}

int GroupOf(int loadingClass, int utilisationClass) {
    return kGroups[std::clamp(loadingClass, 1, 4) - 1][std::clamp(utilisationClass, 0, 9)];
}

std::optional<int> ParseGroup(std::string_view cp1251) {
    std::string text = Utf8FromCp1251(cp1251);
    for (const std::string_view word :
         {"группа", "Группа", "ГРУППА", "классификации", "режима", "(", ")", ":", " "}) {
        Erase(text, word);
    }
    // The letter may be Cyrillic or Latin, of either case.
    for (const std::string_view letter : {"А", "а", "a"}) {
        if (text.starts_with(letter)) text = "A" + text.substr(letter.size());
    }
    if (text.size() != 2 || text[0] != 'A' || text[1] < '1' || text[1] > '8') return std::nullopt;
    return text[1] - '0';
}

std::optional<double> ParseCapacity(std::string_view cp1251) {
    std::string text = Utf8FromCp1251(cp1251);
    for (const std::string_view unit : {"тонн", "тн", "т", "t"}) {
        const std::size_t at = text.rfind(unit);
        if (at != std::string::npos && at + unit.size() == text.size()) {
            text.erase(at);
            break;
        }
    }
    Erase(text, " ");
    const std::optional<double> value = ParseDecimal(text);
    if (!value || !(*value > 0)) return std::nullopt;
    return value;
}

DutyInputs DutyInputsOf(const StatisticsBlock& block, const PassportSheet& sheet) {
    DutyInputs inputs;
    for (int range = 0; range < kLoadRangeCount; ++range) {
        inputs.ranges[range] = {block.CycleCount(range), block.OperatingSeconds(range),
                                block.LiftedMass(range)};
    }
    inputs.periodStart = block.PeriodStart();
    inputs.periodEnd = block.PeriodEnd();
    inputs.ratedCapacity = ParseCapacity(sheet.Value(PassportSheet::kRatedCapacity));
    inputs.passportGroup = ParseGroup(sheet.Value(PassportSheet::kClassificationGroup));
    return inputs;
}

DutyAssessment AssessDuty(const DutyInputs& inputs) {
    DutyAssessment duty;
    for (const LoadRangeRecord& range : inputs.ranges) duty.totalCycles += range.cycles;
    const double total = static_cast<double>(duty.totalCycles);
    for (int range = 0; range < kLoadRangeCount; ++range) {
        if (duty.totalCycles != 0) duty.cycleShare[range] = inputs.ranges[range].cycles / total;
    }

    duty.kpUpperBound = Kp(inputs, duty.totalCycles,
                           [](int range) { return std::optional(kRangeUpperShare[range]); });
    if (inputs.ratedCapacity) {
        duty.kpMeanLoad = Kp(inputs, duty.totalCycles, [&](int range) -> std::optional<double> {
            const LoadRangeRecord& record = inputs.ranges[range];
            return std::max(0.0, record.mass / record.cycles / *inputs.ratedCapacity);
        });
    }
    duty.utilisationClass = UtilisationClassOf(duty.totalCycles);
    if (duty.kpUpperBound) {
        duty.loadingClass = LoadingClassOf(*duty.kpUpperBound);
        duty.group = GroupOf(*duty.loadingClass, duty.utilisationClass);
    }

    duty.passportGroup = inputs.passportGroup;
    if (duty.passportGroup) {
        double largest = 0;
        bool bounded = true;
        for (int q = 0; q < 4; ++q) {
            for (int u = 0; u < 10; ++u) {
                if (kGroups[q][u] != *duty.passportGroup) continue;
                if (u == 9) bounded = false;
                if (u < 9) {
                    largest = std::max(largest,
                                       static_cast<double>(kUtilisationBound[u]) * kNominalKp[q]);
                }
            }
        }
        if (bounded) duty.designLife = largest;
    }
    if (duty.designLife && duty.kpUpperBound) {
        const double used = total * *duty.kpUpperBound;
        duty.usedShare = used / *duty.designLife;
        if (*duty.kpUpperBound > 0) {
            duty.cyclesLeft = std::max(0.0, (*duty.designLife - used) / *duty.kpUpperBound);
        }
    }
    const std::optional<Moment> start = Unpack(inputs.periodStart);
    const std::optional<Moment> end = Unpack(inputs.periodEnd);
    if (start && end && DaysBetween(*start, *end) > 0 && duty.totalCycles > 0) {
        duty.cyclesPerDay = total / DaysBetween(*start, *end);
        if (duty.cyclesLeft) {
            duty.daysLeft = std::ceil(*duty.cyclesLeft / *duty.cyclesPerDay);
            if (*duty.daysLeft < 100 * 366) {
                duty.lifeEnds =
                    PackDay(end->day + std::chrono::days(static_cast<int>(*duty.daysLeft)));
            }
        }
    }
    return duty;
}

}  // namespace zorvek
