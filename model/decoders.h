#pragma once

#include <cstdint>
#include <string>

#include "model/format.h"
#include "model/memory_reader.h"
#include "model/records.h"

// The decoders read blocks and lists through a MemoryReader, check them and
// fill a buffer owned by the caller. False means the block cannot be used;
// the buffer may then hold partial data.
namespace zorvek {

// address: memory_map::kStatisticsTotalAddress or kStatisticsSinceAddress.
// True when read and its checksum holds.
bool ReadStatistics(MemoryReader& source, std::uint32_t address, StatisticsBlock& block);

// address: kCountersTotalAddress or kCountersSinceAddress. With the recorder
// itself as source, its pending live increments are added (saturating).
bool ReadMechanismCounters(MemoryReader& source, std::uint32_t address, MechanismCounters& block);

// address: kLastCyclesAddress or kProtectionCyclesAddress. Records with a bad
// checksum, an invalid time or a time before the floor get kInvalidTime; the
// list is ordered by time, invalid records last in their stored order.
bool ReadCycleList(MemoryReader& source, std::uint32_t address, CycleList& list,
                   ProgressSink* progress);

// As ReadCycleList for the hour records; records later than `clock`'s
// present are invalid too.
bool ReadHourList(MemoryReader& source, HourList& list, ProgressSink* progress,
                  const Clock& clock = SystemClock());

// The five mechanisms' names (cp1251); the fifth is read from the image.
// Empty for any other index or a failed read.
std::string MechanismName(MemoryReader& source, int index);

void AddLiveCounters(MechanismCounters& block, const LiveCounters& live);
// field + increment, 0xFFFF when the sum does not fit.
std::uint16_t AddU16Saturated(std::uint16_t field, std::uint16_t increment);
// The 3-byte field plus increment, stored back with StoreU24.
void AddU24Saturated(std::uint8_t* field, std::uint16_t increment);
// The low three bytes of value, least significant first; FF FF FF when the
// value does not fit in 24 bits.
void StoreU24(std::uint32_t value, std::uint8_t* out);

}  // namespace zorvek
