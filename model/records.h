#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/bits.h"
#include "model/memory_map.h"

// The recorder's blocks and records, each holding its bytes exactly as they
// lie in memory (checksum byte included) and reading its fields from them.
// Range, mechanism and index arguments outside their bounds read as 0.
namespace zorvek {

template <std::size_t N>
struct RecorderBytes {
    static constexpr std::size_t kSize = N;
    std::array<std::uint8_t, N> bytes{};

  protected:
    std::uint32_t U8(std::size_t offset) const { return LoadLe(bytes, offset, 1); }
    std::uint32_t U16(std::size_t offset) const { return LoadLe(bytes, offset, 2); }
    std::uint32_t U24(std::size_t offset) const { return LoadLe(bytes, offset, 3); }
    std::uint32_t U32(std::size_t offset) const { return LoadLe(bytes, offset, 4); }
    // The checksum byte follows the data it covers.
    bool CrcAt(std::size_t crcOffset) const {
        return crcOffset < N && Crc8(std::span(bytes).first(crcOffset)) == bytes[crcOffset];
    }
};

constexpr bool InRange(int index, int count) { return index >= 0 && index < count; }

// Seconds the recorder was powered.
struct OnTimeCounter : RecorderBytes<memory_map::kOnTimeCounterSize> {
    std::uint32_t Seconds() const { return U32(0); }
};

// Load statistics of one period, per load range 0..7.
struct StatisticsBlock : RecorderBytes<memory_map::kStatisticsBlockSize> {
    std::uint32_t PeriodStart() const { return U32(0); }
    std::uint32_t CycleCount(int range) const {
        return InRange(range, memory_map::kLoadRanges) ? U16(4 + 2 * range) : 0;
    }
    std::uint32_t OperatingSeconds(int range) const {
        return InRange(range, memory_map::kLoadRanges) ? U24(20 + 3 * range) : 0;
    }
    float LiftedMass(int range) const {
        return InRange(range, memory_map::kLoadRanges) ? LoadFloat32(bytes, 44 + 4 * range) : 0.0f;
    }
    float CharacteristicNumber() const { return LoadFloat32(bytes, 76); }
    std::uint32_t PeriodEnd() const { return U32(80); }
    bool CrcOk() const { return CrcAt(84); }
};

// Switch-ons and operating seconds of the five mechanisms per load range.
struct MechanismCounters : RecorderBytes<memory_map::kMechanismCountersSize> {
    static constexpr std::size_t SwitchOnOffset(int range, int mechanism) {
        return 4 + 25 * static_cast<std::size_t>(range) + 2 * static_cast<std::size_t>(mechanism);
    }
    static constexpr std::size_t TimeOffset(int range, int mechanism) {
        return 14 + 25 * static_cast<std::size_t>(range) + 3 * static_cast<std::size_t>(mechanism);
    }
    std::uint32_t SwitchOns(int range, int mechanism) const {
        return Valid(range, mechanism) ? U16(SwitchOnOffset(range, mechanism)) : 0;
    }
    std::uint32_t OperatingSeconds(int range, int mechanism) const {
        return Valid(range, mechanism) ? U24(TimeOffset(range, mechanism)) : 0;
    }
    bool CrcOk() const { return CrcAt(208); }

  private:
    static bool Valid(int range, int mechanism) {
        return InRange(range, memory_map::kLoadRanges) &&
               InRange(mechanism, memory_map::kMechanisms);
    }
};

// The recorder's pending increments (bank 0): per load range ten words, the
// switch-ons of mechanisms 0..4, then their operating seconds.
struct LiveCounters : RecorderBytes<memory_map::kLiveCountersSize> {
    std::uint32_t Word(int index) const { return InRange(index, 80) ? U16(2 * index) : 0; }
};

struct TimeFloorBlock : RecorderBytes<memory_map::kTimeFloorBlockSize> {
    // The earliest record time the lists accept.
    std::uint32_t Floor() const { return U32(0); }
};

// Bit meanings of the snapshot's flag bytes.
namespace flags {
constexpr std::uint8_t kModeNumberMask = 0x0F;
constexpr std::uint8_t kModeAdjustment = 0x10;
constexpr std::uint8_t kModeBlocking = 0x20;
constexpr std::uint8_t kModeAuxiliary = 0x40;

constexpr std::uint8_t kMinRadiusWarning = 0x01;
constexpr std::uint8_t kMinRadiusProtection = 0x02;
constexpr std::uint8_t kMaxRadiusWarning = 0x04;
constexpr std::uint8_t kMaxRadiusProtection = 0x08;
constexpr std::uint8_t kDangerousLoadWarning = 0x10;
constexpr std::uint8_t kOverloadProtection = 0x20;
constexpr std::uint8_t kForbiddenZoneWarning = 0x40;
constexpr std::uint8_t kHookAtTopProtection = 0x80;

constexpr std::uint8_t kTiltXWarning = 0x01;
constexpr std::uint8_t kTiltXProtection = 0x02;
constexpr std::uint8_t kTiltYWarning = 0x04;
constexpr std::uint8_t kTiltYProtection = 0x08;
constexpr std::uint8_t kNamedMechanismRunning = 0x10;

constexpr std::uint8_t kCoordWarning = 0x01;
constexpr std::uint8_t kCoordProtection = 0x02;
constexpr std::uint8_t kPowerLineWarning = 0x04;
constexpr std::uint8_t kPowerLineProtection = 0x08;
constexpr std::uint8_t kWindWarning = 0x10;
constexpr std::uint8_t kWindProtection = 0x20;
}  // namespace flags

// The first 28 bytes that cycle and hour records share: the crane's state.
template <std::size_t N>
struct SnapshotRecord : RecorderBytes<N> {
    std::uint32_t Time() const { return this->U32(0); }
    void SetTime(std::uint32_t packed) { StoreLe(this->bytes, 0, 4, packed); }
    bool IsValid() const { return Time() != kInvalidTime; }

    std::uint8_t ModeFlags() const { return this->bytes[7]; }
    std::uint8_t LimitFlags() const { return this->bytes[8]; }
    std::uint8_t TiltFlags() const { return this->bytes[9]; }
    std::uint8_t ZoneFlags() const { return this->bytes[10]; }
    std::uint8_t CoordFlags() const { return this->bytes[12]; }
    std::uint8_t PowerLineState() const { return this->bytes[13]; }
    std::uint8_t LoadPercent() const { return this->bytes[14]; }
    // Tenths of a metre per second.
    std::uint8_t WindSpeed() const { return this->bytes[15]; }
    std::int8_t RollLongitudinal() const { return static_cast<std::int8_t>(this->bytes[16]); }
    std::int8_t RollTransverse() const { return static_cast<std::int8_t>(this->bytes[17]); }
    float LoadWeight() const { return Packed(18); }
    float BoomLength() const { return Packed(20); }
    float Radius() const { return Packed(22); }
    float Azimuth() const { return Packed(24); }
    float Capacity() const { return Packed(26); }

  private:
    float Packed(std::size_t offset) const {
        return UnpackFloat16(static_cast<std::uint16_t>(this->U16(offset)));
    }
};

struct CycleRecord : SnapshotRecord<memory_map::kCycleRecordSize> {
    std::uint32_t DurationSeconds() const { return U16(28); }
    bool CrcOk() const { return CrcAt(32); }
};

constexpr std::uint8_t kEventCycleStart = 4;
constexpr std::uint8_t kEventCycleEnd = 5;

struct HourRecord : SnapshotRecord<memory_map::kHourRecordSize> {
    std::uint8_t EventCode() const { return bytes[28]; }
    bool CrcOk() const { return CrcAt(29); }
};

using CycleList = std::array<CycleRecord, memory_map::kCycleRecordCount>;
using HourList = std::array<HourRecord, memory_map::kHourRecordCount>;

}  // namespace zorvek
