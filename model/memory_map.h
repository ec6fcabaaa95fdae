#pragma once

#include <cstdint>

// Where everything lies in the recorder's memory. An address is 24 bits:
// bank in bits 16..23, offset in bits 0..15. Bank 3 holds the stored data
// (a dump file is a copy of it), bank 0 the recorder's working memory.
namespace zorvek::memory_map {

constexpr std::uint32_t kStoredBank = 0x30000;
constexpr std::uint32_t kImageSize = 0x10000;

constexpr std::uint32_t kFormatSignatureAddress = 0x30000;
constexpr std::uint32_t kDataFormatSignature = 0x55AA0502;
constexpr std::uint32_t kNewDataMarkAddress = 0x30005;
constexpr std::uint32_t kReaderNewDataValue = 123;

constexpr std::uint32_t kPassportAddress = 0x3000A;
constexpr std::uint32_t kPassportTextSize = 64;
constexpr std::uint32_t kPassportTextCount = 20;
constexpr std::uint32_t kPassportSize = kPassportTextSize * kPassportTextCount;

constexpr std::uint32_t kMechanismNameAddress = 0x30542;
constexpr std::uint32_t kMechanismNameSize = 32;

constexpr std::uint32_t kOnTimeTotalAddress = 0x30562;
constexpr std::uint32_t kOnTimeSinceAddress = 0x30567;
constexpr std::uint32_t kOnTimeCounterSize = 5;

constexpr std::uint32_t kStatisticsTotalAddress = 0x3056C;
constexpr std::uint32_t kStatisticsSinceAddress = 0x305C1;
constexpr std::uint32_t kStatisticsBlockSize = 85;

constexpr std::uint32_t kCountersTotalAddress = 0x30616;
constexpr std::uint32_t kCountersSinceAddress = 0x306E7;
constexpr std::uint32_t kMechanismCountersSize = 209;

constexpr std::uint32_t kTimeFloorAddress = 0x307B8;
constexpr std::uint32_t kTimeFloorBlockSize = 21;

constexpr std::uint32_t kLastCyclesAddress = 0x307D2;
constexpr std::uint32_t kProtectionCyclesAddress = 0x30A66;
constexpr std::uint32_t kCycleRecordSize = 33;
constexpr std::uint32_t kCycleRecordCount = 20;
constexpr std::uint32_t kCycleListSize = kCycleRecordSize * kCycleRecordCount;

constexpr std::uint32_t kHourListAddress = 0x30CFA;
constexpr std::uint32_t kHourRecordSize = 30;
constexpr std::uint32_t kHourRecordCount = 1900;
constexpr std::uint32_t kHourListSize = kHourRecordSize * kHourRecordCount;

constexpr std::uint32_t kEndOfCopyMarkAddress = 0x3EBA2;

// Bank 0: the recorder's pending counter increments.
constexpr std::uint32_t kLiveCountersAddress = 0x200;
constexpr std::uint32_t kLiveCountersSize = 161;

constexpr std::uint32_t Offset(std::uint32_t address) { return address & 0xFFFF; }
constexpr std::uint8_t Bank(std::uint32_t address) {
    return static_cast<std::uint8_t>(address >> 16);
}

// Eight load ranges in percent of the rated load, five mechanisms.
constexpr int kLoadRanges = 8;
constexpr int kMechanisms = 5;

}  // namespace zorvek::memory_map
