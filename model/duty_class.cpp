#include "model/duty_class.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "model/bits.h"
#include "model/cp1251.h"
#include "model/decimal_number.h"
#include "model/format.h"

namespace zorvek {
namespace {

// The widest mass field of the documents takes 10^11 t less a little.
constexpr double kMassLimit = 1e11;
constexpr std::array<double, 4> kNominalKp = {0.125, 0.25, 0.5, 1.0};
// Upper bound of U0..U8 in cycles; U9 has none.
constexpr std::array<std::uint64_t, 9> kUtilisationBound = {
    16'000, 32'000, 63'000, 125'000, 250'000, 500'000, 1'000'000, 2'000'000, 4'000'000};
// Upper bound of T0..T8 in hours; T9 has none.
constexpr std::array<double, 9> kMechanismHourBound = {200,   400,    800,    1'600, 3'200,
                                                       6'300, 12'500, 25'000, 50'000};
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

// The cell C_max * Kp_nom of `group` that bounds it in the row of
// `loadingClass`; nothing when the row has no cell of the group.
struct BaseCell {
    int loadingClass;
    int utilisationClass;
};

std::optional<BaseCell> CellOfRow(int group, int loadingClass) {
    std::optional<BaseCell> cell;
    for (int u = 0; u < 10; ++u) {
        if (kGroups[loadingClass - 1][u] == group) cell = BaseCell{loadingClass, u};
    }
    return cell;
}

double CellCycles(const BaseCell& cell) {
    return static_cast<double>(kUtilisationBound[cell.utilisationClass]) *
           kNominalKp[cell.loadingClass - 1];
}

}  // namespace

int MechanismClassOf(double hours) {
    for (int t = 0; t < static_cast<int>(kMechanismHourBound.size()); ++t) {
        if (hours <= kMechanismHourBound[t]) return t;
    }
    return 9;
}

std::optional<double> ProjectedOverTerm(double soFar, const DutyAssessment& wholeDuty,
                                        const LifeAssessment& life) {
    if (!life.serviceLife || !wholeDuty.periodDays) return std::nullopt;
    const double pace = soFar / *wholeDuty.periodDays;
    const auto term = life.serviceLife->End() - life.serviceLife->commissioned;
    const double estimated = soFar + pace * life.unrecordedDays.value_or(0);
    return std::max(pace * static_cast<double>(term.count()), estimated);
}

bool IsMobileJibCrane(std::string_view craneTypeCp1251) {
    std::string text = Utf8FromCp1251(craneTypeCp1251);
    // Lower case for the Cyrillic capitals the words may start with.
    for (const auto& [upper, lower] :
         std::initializer_list<std::pair<std::string_view, std::string_view>>{
             {"А", "а"}, {"С", "с"}, {"Г", "г"}, {"П", "п"}, {"Ш", "ш"}, {"К", "к"}}) {
        for (std::size_t at = text.find(upper); at != std::string::npos; at = text.find(upper)) {
            text.replace(at, upper.size(), lower);
        }
    }
    for (const std::string_view mark : {"кс-", "кс ", "автокран", "автомобильн", "самоходн",
                                        "на шасси", "гусеничн", "пневмоколёсн", "пневмоколесн"}) {
        if (text.find(mark) != std::string::npos) return true;
    }
    return text.starts_with("кс") && text.size() > 4 &&
           std::isdigit(static_cast<unsigned char>(text[4]));
}

double NominalKp(int loadingClass) { return kNominalKp[std::clamp(loadingClass, 1, 4) - 1]; }

std::optional<std::uint64_t> UtilisationBound(int utilisationClass) {
    if (utilisationClass < 0 || utilisationClass >= static_cast<int>(kUtilisationBound.size())) {
        return std::nullopt;
    }
    return kUtilisationBound[utilisationClass];
}

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
    std::optional<std::chrono::sys_days> reading;
    if (const std::optional<Moment> end = Unpack(inputs.periodEnd)) reading = end->day;
    PassportServiceLife life = ServiceLifeOf(sheet.Value(PassportSheet::kCommissioned),
                                             sheet.Value(PassportSheet::kNormativeTerm), reading);
    inputs.serviceLife = life.life;
    inputs.serviceLifeProblem = std::move(life.whyNot);
    inputs.commissioningProblem = life.dateProblem;
    return inputs;
}

bool IsUsableMass(double tonnes) {
    return std::isfinite(tonnes) && tonnes >= 0 && tonnes < kMassLimit;
}

std::optional<std::chrono::sys_days> RecorderDay(std::uint32_t packed) {
    const std::optional<Moment> moment = Unpack(packed);
    if (!moment) return std::nullopt;
    return moment->day;
}

std::optional<double> RecorderDaysBetween(std::uint32_t from, std::uint32_t to) {
    const std::optional<Moment> start = Unpack(from);
    const std::optional<Moment> end = Unpack(to);
    if (!start || !end) return std::nullopt;
    return DaysBetween(*start, *end);
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
            if (!IsUsableMass(record.mass)) return std::nullopt;
            return record.mass / record.cycles / *inputs.ratedCapacity;
        });
    }
    duty.utilisationClass = UtilisationClassOf(duty.totalCycles);
    if (duty.kpUpperBound) {
        duty.loadingClass = LoadingClassOf(*duty.kpUpperBound);
        duty.group = GroupOf(*duty.loadingClass, duty.utilisationClass);
    }

    const std::optional<Moment> start = Unpack(inputs.periodStart);
    const std::optional<Moment> end = Unpack(inputs.periodEnd);
    if (start) duty.periodStart = start->day;
    if (end) duty.periodEnd = end->day;
    if (start && end && DaysBetween(*start, *end) > 0) {
        duty.periodDays = DaysBetween(*start, *end);
        if (duty.totalCycles > 0) duty.cyclesPerDay = total / *duty.periodDays;
    }
    return duty;
}

LifeAssessment AssessLife(const DutyInputs& whole, const DutyAssessment& wholeDuty,
                          const DutyAssessment& period) {
    LifeAssessment life;
    life.passportGroup = whole.passportGroup;
    if (life.passportGroup) {
        std::optional<BaseCell> cell;
        if (wholeDuty.loadingClass) cell = CellOfRow(*life.passportGroup, *wholeDuty.loadingClass);
        life.baseOfOwnClass = cell.has_value();
        if (!cell) {
            for (int q = 1; q <= 4; ++q) {
                const std::optional<BaseCell> row = CellOfRow(*life.passportGroup, q);
                if (row &&
                    (!cell || row->utilisationClass == 9 ||
                     (cell->utilisationClass != 9 && CellCycles(*row) > CellCycles(*cell)))) {
                    cell = row;
                }
            }
        }
        if (cell) {
            life.baseLoadingClass = cell->loadingClass;
            life.baseUtilisationClass = cell->utilisationClass;
            if (cell->utilisationClass < 9) life.designLife = CellCycles(*cell);
        }
    }

    life.serviceLife = whole.serviceLife;
    life.serviceLifeProblem = whole.serviceLifeProblem;
    const double cycles = static_cast<double>(wholeDuty.totalCycles);
    if (life.serviceLife && wholeDuty.periodStart &&
        life.serviceLife->commissioned < *wholeDuty.periodStart) {
        life.unrecordedDays =
            static_cast<double>((*wholeDuty.periodStart - life.serviceLife->commissioned).count());
        if (wholeDuty.cyclesPerDay) {
            life.unrecordedCycles = *wholeDuty.cyclesPerDay * *life.unrecordedDays;
        }
    }
    // Without the pace the unrecorded years cannot be filled in; the
    // recorder's own count is then all there is.
    const double estimated = cycles + life.unrecordedCycles.value_or(0);
    std::optional<double> used;
    if (wholeDuty.kpUpperBound) used = estimated * *wholeDuty.kpUpperBound;
    if (life.designLife && used) {
        life.usedShareRecorded = cycles * *wholeDuty.kpUpperBound / *life.designLife;
        life.usedShare = *used / *life.designLife;
        life.exhausted = *life.usedShare >= 1;
    }

    const std::optional<std::chrono::sys_days> reading = wholeDuty.periodEnd;
    if (life.serviceLife && reading) life.normativeEnded = life.serviceLife->End() <= *reading;
    if (life.serviceLife && wholeDuty.cyclesPerDay) {
        const auto term = life.serviceLife->End() - life.serviceLife->commissioned;
        const double projected = *wholeDuty.cyclesPerDay * static_cast<double>(term.count());
        life.outlived = projected < estimated;
        life.projectedCycles = std::max(projected, estimated);
        life.projectedUtilisation =
            UtilisationClassOf(static_cast<std::uint64_t>(std::llround(*life.projectedCycles)));
        if (wholeDuty.loadingClass) {
            life.projectedGroup = GroupOf(*wholeDuty.loadingClass, *life.projectedUtilisation);
        }
    }

    life.currentFromPeriod = period.cyclesPerDay.has_value() && period.kpUpperBound.has_value();
    const DutyAssessment& current = life.currentFromPeriod ? period : wholeDuty;
    life.currentKp = current.kpUpperBound;
    life.currentPace = current.cyclesPerDay;
    if (life.designLife && used && life.currentKp && *life.currentKp > 0) {
        life.cyclesLeft = std::max(0.0, (*life.designLife - *used) / *life.currentKp);
        if (life.currentPace && *life.cyclesLeft > 0 && reading) {
            life.daysLeft = std::ceil(*life.cyclesLeft / *life.currentPace);
            const bool termRuns = life.serviceLife && !life.normativeEnded;
            // Beyond a few thousand years a date says nothing more.
            if (*life.daysLeft < 1e6) {
                life.resourceEnds = *reading + std::chrono::days(static_cast<int>(*life.daysLeft));
                life.beyondNormative = termRuns && *life.resourceEnds > life.serviceLife->End();
            } else {
                life.beyondNormative = termRuns;
            }
        }
    }
    return life;
}

}  // namespace zorvek
