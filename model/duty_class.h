#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/memory_map.h"
#include "model/passport.h"
#include "model/records.h"
#include "model/service_life.h"

// How hard a crane has really worked, from the load statistics of its
// recorder: the load spectrum factor, the classes of loading and
// utilisation and the resulting classification group, set against the
// group in the crane's passport. The figures follow the classification of
// cranes by groups A1..A8 (state of loading Q1..Q4, utilisation U0..U9).
namespace zorvek {

inline constexpr int kLoadRangeCount = memory_map::kLoadRanges;

// What one statistics block holds per load range.
struct LoadRangeRecord {
    std::uint32_t cycles = 0;
    std::uint32_t seconds = 0;
    double mass = 0;  // tonnes lifted in the range
};

struct DutyInputs {
    std::array<LoadRangeRecord, kLoadRangeCount> ranges{};
    // The statistics period, as the recorder packs dates.
    std::uint32_t periodStart = 0;
    std::uint32_t periodEnd = 0;
    // Rated capacity in tonnes, from the passport; nothing when unreadable.
    std::optional<double> ratedCapacity;
    // The passport's group 1..8; nothing when missing or unreadable.
    std::optional<int> passportGroup;
    // Commissioning day and normative term; nothing when either is unusable,
    // and then why not (cp1251).
    std::optional<ServiceLife> serviceLife;
    std::string serviceLifeProblem;
    DateProblem commissioningProblem = DateProblem::None;
};

// Upper bound of each load range as a share of the rated load; the last
// range ("свыше 130 %") is taken at its lower bound, the only one it has,
// which understates its loads.
inline constexpr std::array<double, kLoadRangeCount> kRangeUpperShare = {0.25, 0.5, 0.75, 1.0,
                                                                         1.1,  1.2, 1.3,  1.3};

// The figures of one statistics block.
struct DutyAssessment {
    std::uint64_t totalCycles = 0;
    // Each range's share of the cycles (0 when there are none).
    std::array<double, kLoadRangeCount> cycleShare{};
    // Kp from the ranges' upper bounds (conservative) and from each range's
    // mean load against the rated capacity; nothing without cycles (or,
    // for the second, without a capacity or with a mass that is no usable
    // figure, see IsUsableMass).
    std::optional<double> kpUpperBound;
    std::optional<double> kpMeanLoad;
    // Q1..Q4 (1..4) from the conservative Kp; a Kp above 1 (overloads) is Q4.
    std::optional<int> loadingClass;
    int utilisationClass = 0;  // U0..U9 of the cycles so far
    std::optional<int> group;  // A1..A8 (1..8) of the cycles so far
    // Cycles per day over the block's period; nothing without cycles or for
    // a period of no days or unreadable dates.
    std::optional<double> cyclesPerDay;
    // Days of the period, with their fraction; nothing for unreadable dates
    // or a period of no time.
    std::optional<double> periodDays;
    // The period's first and last day; nothing when a date is unreadable.
    std::optional<std::chrono::sys_days> periodStart;
    std::optional<std::chrono::sys_days> periodEnd;
};

// The whole service life set against the passport: its group's design life
// and the normative term.
struct LifeAssessment {
    std::optional<int> passportGroup;
    // C_max * Kp_nom of the passport group's cell in the row of the crane's
    // own Q class (the largest U of that row still in the group); nothing
    // when that cell has no upper bound (U9) or the group is unknown. Where
    // the crane's Q class has no cell of the group, or the class is unknown,
    // the largest C_max * Kp_nom among the group's cells.
    std::optional<double> designLife;
    // The cell the base is taken from, and whether it is the crane's own
    // class's.
    int baseLoadingClass = 0;
    int baseUtilisationClass = 0;
    bool baseOfOwnClass = false;

    // Days from commissioning to the first day the recorder counted, and the
    // cycles they would hold at the whole life's pace; nothing when the
    // recorder began on or before commissioning, or without the figures.
    std::optional<double> unrecordedDays;
    std::optional<double> unrecordedCycles;
    // C_T * Kp over designLife of what the recorder counted alone, and with
    // the unrecorded days worked at the recorded pace (the same figure when
    // there are none); at 1 and above the group's resource is exhausted.
    std::optional<double> usedShareRecorded;
    std::optional<double> usedShare;
    bool exhausted = false;

    std::optional<ServiceLife> serviceLife;
    std::string serviceLifeProblem;
    // The whole life's cycles at its pace over the normative term; the cycles
    // so far (the unrecorded ones included) where that is less (the crane has
    // outlived its term). Nothing without a usable commissioning day, term or
    // pace.
    std::optional<double> projectedCycles;
    bool outlived = false;
    std::optional<int> projectedUtilisation;
    std::optional<int> projectedGroup;
    // The normative term ended on or before the day of reading.
    bool normativeEnded = false;

    // What is left of the design life, projected at the current Kp and pace:
    // the period since the last reading's where it has cycles and days, the
    // whole life's otherwise.
    bool currentFromPeriod = false;
    std::optional<double> currentKp;
    std::optional<double> currentPace;
    std::optional<double> cyclesLeft;
    std::optional<double> daysLeft;
    std::optional<std::chrono::sys_days> resourceEnds;
    // The normative term still runs and the resource lasts beyond its end.
    bool beyondNormative = false;
};

// Class of utilisation T0..T9 of a mechanism from its operating hours: up to
// 200 h is T0, 400 T1, 800 T2, 1 600 T3, 3 200 T4, 6 300 T5, 12 500 T6,
// 25 000 T7, 50 000 T8, above that T9.
int MechanismClassOf(double hours);
// An amount counted over the whole life's recorded period (hours, cycles),
// carried at the recorded pace over the normative term, or the amount so far
// with the unrecorded days at that pace where that is more; nothing without
// a term or a recorded period of some length.
std::optional<double> ProjectedOverTerm(double soFar, const DutyAssessment& wholeDuty,
                                        const LifeAssessment& life);

// A passport crane type that names a mobile jib crane (an index "КС-...",
// "автокран", "стреловой самоходный", a truck, crawler or wheeled chassis),
// cp1251.
bool IsMobileJibCrane(std::string_view craneTypeCp1251);

// Nominal Kp of a Q class 1..4: 0.125, 0.25, 0.5, 1.0.
double NominalKp(int loadingClass);
// Upper bound in cycles of U0..U8; nothing for U9.
std::optional<std::uint64_t> UtilisationBound(int utilisationClass);

// Q class 1..4 of a spectrum factor: the smallest whose nominal value
// (0.125, 0.25, 0.5, 1.0) is not below it.
int LoadingClassOf(double kp);
// U class 0..9 of a total number of cycles.
int UtilisationClassOf(std::uint64_t cycles);
// The group 1..8 of a Q class 1..4 and a U class 0..9.
int GroupOf(int loadingClass, int utilisationClass);

// "А6", "A6", "группа А 6", "Группа классификации A6" ... (cp1251); nothing
// for anything else.
std::optional<int> ParseGroup(std::string_view cp1251);
// "25", "16,5 т", "12.5 тонн" (cp1251); nothing unless the text is one
// positive number with an optional unit of tonnes.
std::optional<double> ParseCapacity(std::string_view cp1251);

// The ranges and period of a statistics block, with the passport's rated
// capacity and group.
DutyInputs DutyInputsOf(const StatisticsBlock& block, const PassportSheet& sheet);

// Usable as a figure: finite, not negative and narrow enough for the
// documents' mass fields (below 10^11 t), which print "****" otherwise.
bool IsUsableMass(double tonnes);

// The day of a packed recorder time; nothing for an invalid one.
std::optional<std::chrono::sys_days> RecorderDay(std::uint32_t packed);
// Days, with their fraction, from one packed time to another; nothing when
// either is invalid.
std::optional<double> RecorderDaysBetween(std::uint32_t from, std::uint32_t to);

DutyAssessment AssessDuty(const DutyInputs& inputs);

// `whole` and `wholeDuty` of the whole-life block, `period` of the block
// since the last reading.
LifeAssessment AssessLife(const DutyInputs& whole, const DutyAssessment& wholeDuty,
                          const DutyAssessment& period);

}  // namespace zorvek
