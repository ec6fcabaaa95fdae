#include "sim/record_lists.h"

#include <algorithm>

#include "model/bits.h"
#include "model/records.h"
#include "sim/calendar.h"
#include "sim/image_bytes.h"
#include "sim/packed_real.h"

namespace zorvek::sim {
namespace {

constexpr int kHourSlots = static_cast<int>(memory_map::kHourRecordCount);
constexpr int kCycleSlots = static_cast<int>(memory_map::kCycleRecordCount);

void StorePacked(std::span<std::uint8_t> record, std::size_t offset, float value) {
    StoreLe(record, offset, 2, PackFloat16(value));
}

// Bytes 0..27, shared by cycle and hour records. Bytes 4..6 carry the
// cycle's number, byte 11 stays 0.
void WriteSnapshot(std::span<std::uint8_t> record, const CraneState& s, SimSeconds time,
                   std::uint32_t number) {
    StoreLe(record, 0, 4, PackSeconds(time));
    StoreLe(record, 4, 3, number);
    record[7] = s.mode;
    record[8] = s.limits;
    record[9] = s.tilt;
    record[10] = s.zone;
    record[11] = 0;
    record[12] = s.coord;
    record[13] = s.powerLine;
    record[14] = s.loadPercent;
    record[15] = s.windTenths;
    record[16] = static_cast<std::uint8_t>(s.rollLongitudinal);
    record[17] = static_cast<std::uint8_t>(s.rollTransverse);
    StorePacked(record, 18, s.loadWeight);
    StorePacked(record, 20, s.boomLength);
    StorePacked(record, 22, s.radius);
    StorePacked(record, 24, s.azimuth);
    StorePacked(record, 26, s.capacity);
}

// A flipped data bit or a garbled checksum byte; the time stays intact so
// that only the checksum gives the record away.
void DamageChecksum(std::span<std::uint8_t> record, DeterministicRandom& random) {
    const std::size_t crcOffset = record.size() - 1;
    if (random.Chance(0.5)) {
        record[crcOffset] ^= static_cast<std::uint8_t>(random.Between(1, 255));
    } else {
        const auto at =
            static_cast<std::size_t>(random.Between(7, static_cast<int>(crcOffset) - 1));
        record[at] ^= static_cast<std::uint8_t>(1u << random.Between(0, 7));
    }
}

// A clock glitch at `time`: one field out of its range (each still fits its
// bits), written with a good checksum.
void DamageDate(std::span<std::uint8_t> record, SimSeconds time, DeterministicRandom& random) {
    LocalDateTime t = LocalFromSeconds(time);
    switch (random.Between(0, 4)) {
        case 0:
            t.month = random.Between(13, 15);
            break;
        case 1:
            t.day = 0;
            break;
        case 2:
            t.hour = random.Between(24, 31);
            break;
        case 3:
            t.minute = random.Between(60, 63);
            break;
        default:
            t.second = random.Between(60, 63);
            break;
    }
    StoreLe(record, 0, 4, PackDateTime(t));
    SealBlock(record);
}

std::vector<HourEvent> NewestEvents(std::vector<WorkCycle>& cycles, int count, RecordKind kind) {
    std::vector<HourEvent> events;
    for (WorkCycle& cycle : cycles) {
        events.push_back({&cycle, false, kind});
        events.push_back({&cycle, true, kind});
    }
    const auto excess = static_cast<std::ptrdiff_t>(events.size()) - std::max(count, 0);
    if (excess > 0) events.erase(events.begin(), events.begin() + excess);
    return events;
}

// Marks `count` of the still valid events from index `first` on.
void MarkDamaged(std::vector<HourEvent>& events, std::size_t first, int count, RecordKind kind,
                 DeterministicRandom& random) {
    std::vector<std::size_t> candidates;
    for (std::size_t i = first; i < events.size(); ++i) {
        if (events[i].kind == RecordKind::Valid) candidates.push_back(i);
    }
    for (int n = 0; n < count && !candidates.empty(); ++n) {
        const auto pick =
            static_cast<std::size_t>(random.Between(0, static_cast<int>(candidates.size()) - 1));
        events[candidates[pick]].kind = kind;
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(pick));
    }
}

// A cycle record shows the state the cycle ended in, with all its alarms.
void WriteCycle(std::span<std::uint8_t> record, const WorkCycle& cycle) {
    WriteSnapshot(record, cycle.atEnd, cycle.start, cycle.number);
    StoreLe(record, 28, 2, cycle.durationSeconds);
    record[30] = 0;
    record[31] = 0;
    SealBlock(record);
}

std::span<std::uint8_t> CycleSlot(std::span<std::uint8_t> list, int slot) {
    return list.subspan(static_cast<std::size_t>(slot) * memory_map::kCycleRecordSize,
                        memory_map::kCycleRecordSize);
}

std::vector<const WorkCycle*> NewestTripped(const std::vector<WorkCycle>& cycles, int count) {
    std::vector<const WorkCycle*> tripped;
    for (auto it = cycles.rbegin(); it != cycles.rend() && static_cast<int>(tripped.size()) < count;
         ++it) {
        if (it->Tripped()) tripped.push_back(&*it);
    }
    std::reverse(tripped.begin(), tripped.end());
    return tripped;
}

}  // namespace

void RecordMix::Count(RecordKind kind) {
    switch (kind) {
        case RecordKind::Valid:
            ++valid;
            break;
        case RecordKind::Empty:
            ++empty;
            break;
        case RecordKind::BadChecksum:
            ++badChecksum;
            break;
        case RecordKind::BeforeFloor:
            ++beforeFloor;
            break;
        case RecordKind::BadDate:
            ++badDate;
            break;
    }
}

HourRingLayout PlanHourRing(DeterministicRandom& random) {
    HourRingLayout layout;
    // About one erased flash sector ahead of the writer.
    layout.empty = random.Between(40, 140);
    layout.beforeFloor = random.Between(120, 260);
    layout.badChecksum = random.Between(8, 20);
    layout.badDate = random.Between(5, 12);
    // Far enough from both ends that the ring has visibly wrapped.
    layout.writePosition = random.Between(300, kHourSlots - layout.empty - 300);
    return layout;
}

std::vector<HourEvent> PlanHourEvents(std::vector<WorkCycle>& older, std::vector<WorkCycle>& recent,
                                      const HourRingLayout& layout, DeterministicRandom& random) {
    std::vector<HourEvent> events =
        NewestEvents(older, layout.beforeFloor, RecordKind::BeforeFloor);
    const std::size_t firstRecent = events.size();
    const auto after = NewestEvents(recent, layout.AfterFloor(), RecordKind::Valid);
    events.insert(events.end(), after.begin(), after.end());
    MarkDamaged(events, firstRecent, layout.badChecksum, RecordKind::BadChecksum, random);
    MarkDamaged(events, firstRecent, layout.badDate, RecordKind::BadDate, random);
    return events;
}

void ShowEveryFlag(std::vector<HourEvent>& events, DeterministicRandom& random) {
    std::vector<HourEvent*> carriers;
    for (HourEvent& event : events) {
        if (event.kind == RecordKind::Valid && event.isEnd) carriers.push_back(&event);
    }
    if (carriers.empty()) return;
    for (FlagByte which : kFlagBytes) {
        for (int bitIndex = 0; bitIndex < 8; ++bitIndex) {
            const auto bit = static_cast<std::uint8_t>(1u << bitIndex);
            if ((MeaningfulBits(which) & bit) == 0) continue;
            const bool seen = std::any_of(events.begin(), events.end(), [&](const HourEvent& e) {
                return e.kind == RecordKind::Valid && (FlagsOf(e.State(), which) & bit) != 0;
            });
            if (seen) continue;
            HourEvent* carrier = carriers[static_cast<std::size_t>(
                random.Between(0, static_cast<int>(carriers.size()) - 1))];
            ShowFlagBit(carrier->cycle->atEnd, which, bit, random);
        }
    }
}

RecordMix WriteHourList(std::span<std::uint8_t> list, const std::vector<HourEvent>& events,
                        const HourRingLayout& layout, DeterministicRandom& random) {
    std::fill(list.begin(), list.end(), std::uint8_t{0xFF});
    RecordMix mix;
    const int count = std::min(static_cast<int>(events.size()), kHourSlots);
    const auto skipped = events.size() - static_cast<std::size_t>(count);
    for (int i = 0; i < count; ++i) {
        const HourEvent& event = events[skipped + static_cast<std::size_t>(i)];
        const int slot =
            ((layout.writePosition - count + i) % kHourSlots + kHourSlots) % kHourSlots;
        auto record = list.subspan(static_cast<std::size_t>(slot) * memory_map::kHourRecordSize,
                                   memory_map::kHourRecordSize);
        WriteSnapshot(record, event.State(), event.Time(), event.cycle->number);
        record[28] = event.isEnd ? kEventCycleEnd : kEventCycleStart;
        SealBlock(record);
        if (event.kind == RecordKind::BadChecksum) DamageChecksum(record, random);
        if (event.kind == RecordKind::BadDate) DamageDate(record, event.Time(), random);
        mix.Count(event.kind);
    }
    mix.empty += kHourSlots - count;
    return mix;
}

RecordMix WriteLastCycles(std::span<std::uint8_t> list, const std::vector<WorkCycle>& recent,
                          DeterministicRandom& random) {
    std::fill(list.begin(), list.end(), std::uint8_t{0xFF});
    const int count = std::min(static_cast<int>(recent.size()), kCycleSlots);
    const int next = random.Between(0, kCycleSlots - 1);
    const auto first = recent.size() - static_cast<std::size_t>(count);
    for (int i = 0; i < count; ++i) {
        WriteCycle(CycleSlot(list, (next + i) % kCycleSlots),
                   recent[first + static_cast<std::size_t>(i)]);
    }
    return RecordMix{.valid = count, .empty = kCycleSlots - count};
}

RecordMix WriteProtectionCycles(std::span<std::uint8_t> list, const std::vector<WorkCycle>& older,
                                const std::vector<WorkCycle>& recent, DeterministicRandom& random) {
    std::fill(list.begin(), list.end(), std::uint8_t{0xFF});
    const auto before = NewestTripped(older, random.Between(2, kMaxOlderTrips));
    const auto since = NewestTripped(recent, random.Between(11, kMaxRecentTrips));
    // This list has never filled up: written from slot 0 in time order.
    int slot = 0;
    for (const WorkCycle* cycle : before) WriteCycle(CycleSlot(list, slot++), *cycle);
    for (const WorkCycle* cycle : since) WriteCycle(CycleSlot(list, slot++), *cycle);
    return RecordMix{.valid = static_cast<int>(since.size()),
                     .empty = kCycleSlots - slot,
                     .beforeFloor = static_cast<int>(before.size())};
}

}  // namespace zorvek::sim
