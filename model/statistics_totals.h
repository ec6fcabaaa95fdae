#pragma once

#include <cstdint>

#include "model/records.h"

namespace zorvek {

// What the documents total and compare over the eight load ranges of one
// statistics block.
struct StatisticsTotals {
    std::uint32_t cycleTotal = 0;
    // Range 1 first, rounded to single precision after every addition.
    float massTotal = 0;
    // Ranges 6 to 8: the cycles above 110 % of the rated load. Their mass is
    // added exactly and rounded to single precision once.
    std::uint32_t overloadCycles = 0;
    float overloadMass = 0;

    std::uint32_t workingSeconds = 0;
    std::uint32_t longestSeconds = 0;
    std::uint32_t greatestCount = 0;
    // Never below 0: negative masses do not count as the greatest.
    float greatestMass = 0;
};

StatisticsTotals TotalsOf(const StatisticsBlock& block);

// Powered time less the working time. The two come from separate counters;
// when the working time is the larger the crane was never idle, and the
// result is 0 rather than a wrapped-around difference.
std::uint32_t IdleSeconds(std::uint32_t poweredSeconds, std::uint32_t workingSeconds);

}  // namespace zorvek
