#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/memory_map.h"
#include "model/passport.h"
#include "model/records.h"

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
};

// Upper bound of each load range as a share of the rated load; the last
// range ("свыше 130 %") is taken at its lower bound, the only one it has.
inline constexpr std::array<double, kLoadRangeCount> kRangeUpperShare = {0.25, 0.5, 0.75, 1.0,
                                                                         1.1,  1.2, 1.3,  1.3};

struct DutyAssessment {
    std::uint64_t totalCycles = 0;
    // Each range's share of the cycles (0 when there are none).
    std::array<double, kLoadRangeCount> cycleShare{};
    // Kp from the ranges' upper bounds (conservative) and from each range's
    // mean load against the rated capacity; nothing without cycles (or,
    // for the second, without a capacity).
    std::optional<double> kpUpperBound;
    std::optional<double> kpMeanLoad;
    // Q1..Q4 (1..4) from the conservative Kp; a Kp above 1 (overloads) is Q4.
    std::optional<int> loadingClass;
    int utilisationClass = 0;  // U0..U9
    std::optional<int> group;  // A1..A8 (1..8)

    std::optional<int> passportGroup;
    // Largest C_max * Kp_nom among the cells of the passport group; nothing
    // when the group has no upper bound (A8 reaches U9) or is unknown.
    std::optional<double> designLife;
    std::optional<double> usedShare;     // C_T * Kp / designLife
    std::optional<double> cyclesLeft;    // at the recorded Kp
    std::optional<double> cyclesPerDay;  // over the statistics period
    std::optional<double> daysLeft;      // at that pace
    // Packed date the life ends at that pace; nothing past the recorder's
    // calendar (2063).
    std::optional<std::uint32_t> lifeEnds;
};

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

DutyAssessment AssessDuty(const DutyInputs& inputs);

}  // namespace zorvek
