#include "model/statistics_totals.h"

#include <algorithm>

namespace zorvek {
namespace {

constexpr int kFirstOverloadRange = 5;  // 111-120 %, counted from 0

}  // namespace

StatisticsTotals TotalsOf(const StatisticsBlock& block) {
    StatisticsTotals totals;
    long double overloadMass = 0;
    for (int range = 0; range < memory_map::kLoadRanges; ++range) {
        const std::uint32_t seconds = block.OperatingSeconds(range);
        const std::uint32_t count = block.CycleCount(range);
        const float mass = block.LiftedMass(range);

        totals.workingSeconds += seconds;
        totals.longestSeconds = std::max(totals.longestSeconds, seconds);
        totals.cycleTotal += count;
        totals.greatestCount = std::max(totals.greatestCount, count);
        totals.massTotal += mass;
        // Written so that a NaN mass never becomes the greatest.
        if (mass > totals.greatestMass) totals.greatestMass = mass;

        if (range >= kFirstOverloadRange) {
            totals.overloadCycles += count;
            overloadMass += mass;
        }
    }
    totals.overloadMass = static_cast<float>(overloadMass);
    return totals;
}

std::uint32_t IdleSeconds(std::uint32_t poweredSeconds, std::uint32_t workingSeconds) {
    return poweredSeconds > workingSeconds ? poweredSeconds - workingSeconds : 0;
}

}  // namespace zorvek
