#pragma once

#include <vector>

#include "sim/calendar.h"
#include "sim/crane_activity.h"
#include "sim/deterministic_random.h"
#include "sim/image_bytes.h"

namespace zorvek::sim {

struct ServicePeriods {
    // The recorder went into service: start of the whole-life period.
    SimSeconds installed = 0;
    // Start of the period since the last reading.
    SimSeconds lastReading = 0;
    // This reading: end of both periods.
    SimSeconds reading = 0;
};

// Writes both on-time counters, both StatisticsBlocks and both
// MechanismCounters blocks, with their checksums. The period since the last
// reading counts the cycles of `recent` that lie in it; the whole life adds
// the years before, drawn to the same pattern of loads and mechanisms.
void WriteCounters(Image& image, const std::vector<WorkCycle>& recent,
                   const ServicePeriods& periods, DeterministicRandom& random);

}  // namespace zorvek::sim
