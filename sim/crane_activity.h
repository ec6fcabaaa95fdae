#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "model/memory_map.h"
#include "sim/calendar.h"
#include "sim/crane_state.h"
#include "sim/deterministic_random.h"

namespace zorvek::sim {

// One work cycle: hook up, lift, move, set down.
struct WorkCycle {
    // Counted over the crane's service life; the recorder keeps it with the
    // cycle's records.
    std::uint32_t number = 0;
    SimSeconds start = 0;
    std::uint16_t durationSeconds = 0;
    CraneState atStart;
    // The state at the end, with every warning and protection of the cycle.
    CraneState atEnd;
    // Per mechanism (winch, boom hoist, telescoping, slewing, outriggers).
    std::array<std::uint16_t, memory_map::kMechanisms> switchOns{};
    std::array<std::uint32_t, memory_map::kMechanisms> mechanismSeconds{};

    SimSeconds End() const { return start + durationSeconds; }
    // The heavier end of the cycle decides its load range.
    int LoadRange() const {
        return LoadRangeOfPercent(std::max(atStart.loadPercent, atEnd.loadPercent));
    }
    bool Tripped() const { return HasProtection(atEnd); }
};

// `count` consecutive work cycles in time order, the newest ending before
// `until`: working days of varying length, idle weekends and days off, the
// day's site conditions (coordinate limits, power lines, wind) shared by
// its cycles. The day of `until` is worked whenever a cycle fits before it.
std::vector<WorkCycle> SimulateWork(DeterministicRandom& random, SimSeconds until, int count);

// Makes at least `atLeast` cycles (or all) end in a protection trip, by
// tripping randomly chosen cycles that had none.
void EnsureTrips(std::vector<WorkCycle>& cycles, int atLeast, DeterministicRandom& random);

}  // namespace zorvek::sim
