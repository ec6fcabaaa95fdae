#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/memory_map.h"
#include "sim/crane_activity.h"
#include "sim/deterministic_random.h"

namespace zorvek::sim {

// What a stored record turns out to be when the program reads it.
enum class RecordKind : std::uint8_t {
    Valid,
    Empty,        // all bytes 0xFF
    BadChecksum,  // a byte changed after the checksum was written
    BeforeFloor,  // intact, but older than the time floor
    BadDate,      // intact checksum over a time that is no date (month 13, hour 25 ...)
};

struct RecordMix {
    int valid = 0;
    int empty = 0;
    int badChecksum = 0;
    int beforeFloor = 0;
    int badDate = 0;

    void Count(RecordKind kind);
    int Total() const { return valid + empty + badChecksum + beforeFloor + badDate; }
};

// How the hour list's ring buffer stands: it has wrapped; the slots just
// ahead of the write position are erased, and its oldest records predate
// the time floor.
struct HourRingLayout {
    int empty = 0;
    int beforeFloor = 0;
    int badChecksum = 0;
    int badDate = 0;
    // The slot the next record goes to; the newest record lies just before it.
    int writePosition = 0;

    int Written() const { return static_cast<int>(memory_map::kHourRecordCount) - empty; }
    int AfterFloor() const { return Written() - beforeFloor; }
};

HourRingLayout PlanHourRing(DeterministicRandom& random);

// One hour record to be: the start (event 4) or end (event 5) of a cycle.
struct HourEvent {
    WorkCycle* cycle = nullptr;
    bool isEnd = false;
    RecordKind kind = RecordKind::Valid;

    const CraneState& State() const { return isEnd ? cycle->atEnd : cycle->atStart; }
    SimSeconds Time() const { return isEnd ? cycle->End() : cycle->start; }
};

// The records the ring holds, oldest first: the newest layout.beforeFloor
// events of `older` (all before the floor), then the newest
// layout.AfterFloor() events of `recent`, some of them marked to be damaged.
std::vector<HourEvent> PlanHourEvents(std::vector<WorkCycle>& older, std::vector<WorkCycle>& recent,
                                      const HourRingLayout& layout, DeterministicRandom& random);

// Makes every meaningful bit of every flag byte appear in at least one
// record that stays valid, changing the end state of chosen cycles.
void ShowEveryFlag(std::vector<HourEvent>& events, DeterministicRandom& random);

// Writes the 1,900 hour records (57,000 bytes) around the ring and damages
// the marked ones. Returns what was written.
RecordMix WriteHourList(std::span<std::uint8_t> list, const std::vector<HourEvent>& events,
                        const HourRingLayout& layout, DeterministicRandom& random);

// The 20 newest cycles, around a ring that has wrapped.
RecordMix WriteLastCycles(std::span<std::uint8_t> list, const std::vector<WorkCycle>& recent,
                          DeterministicRandom& random);

// The newest tripped cycles: a few from before the floor, then 11..16 since;
// the remaining slots are empty.
RecordMix WriteProtectionCycles(std::span<std::uint8_t> list, const std::vector<WorkCycle>& older,
                                const std::vector<WorkCycle>& recent, DeterministicRandom& random);

// The counts that WriteProtectionCycles needs from each era.
inline constexpr int kMaxOlderTrips = 4;
inline constexpr int kMaxRecentTrips = 16;

}  // namespace zorvek::sim
