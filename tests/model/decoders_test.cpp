#include "model/decoders.h"

#include <gtest/gtest.h>

#include "model/cp1251.h"
#include "tests/support/image_reader.h"

namespace zorvek {
namespace {

namespace map = memory_map;
using test::ImageReader;

struct FixedClock : Clock {
    LocalDateTime now{2026, 12, 7, 12, 0, 0};
    LocalDateTime Now() const override { return now; }
};

template <typename Record>
void Seal(Record& record, std::size_t crcOffset) {
    record.bytes[crcOffset] = Crc8(std::span(record.bytes).first(crcOffset));
}

CycleRecord Cycle(const LocalDateTime& t, std::uint8_t tag) {
    CycleRecord record;
    record.SetTime(PackDateTime(t));
    record.bytes[14] = tag;  // load percent marks which record is which
    Seal(record, 32);
    return record;
}

void Store(ImageReader& image, std::uint32_t address, std::span<const std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), image.At(address));
}

void SetFloor(ImageReader& image, const LocalDateTime& t) {
    StoreLe(std::span(image.At(map::kTimeFloorAddress), 4), 0, 4, PackDateTime(t));
}

TEST(ReadStatistics, AcceptsOnlyAMatchingChecksum) {
    ImageReader image;
    StatisticsBlock stored;
    stored.bytes[4] = 7;
    Seal(stored, 84);
    Store(image, map::kStatisticsTotalAddress, stored.bytes);

    StatisticsBlock block;
    EXPECT_TRUE(ReadStatistics(image, map::kStatisticsTotalAddress, block));
    EXPECT_EQ(block.CycleCount(0), 7u);

    image.At(map::kStatisticsTotalAddress)[84] ^= 1;
    EXPECT_FALSE(ReadStatistics(image, map::kStatisticsTotalAddress, block));

    // All-zero counters with their right checksum are a valid block.
    EXPECT_TRUE(ReadStatistics(image, map::kStatisticsSinceAddress, block));
    image.failAll = true;
    EXPECT_FALSE(ReadStatistics(image, map::kStatisticsSinceAddress, block));
}

TEST(ReadMechanismCounters, AddsLiveIncrementsOnlyFromTheRecorder) {
    MechanismCounters stored;
    StoreLe(stored.bytes, MechanismCounters::SwitchOnOffset(2, 3), 2, 0xFFF8);
    StoreLe(stored.bytes, MechanismCounters::TimeOffset(2, 3), 3, 0xFFFFF0);
    StoreLe(stored.bytes, MechanismCounters::SwitchOnOffset(7, 4), 2, 100);
    Seal(stored, 208);

    for (SourceKind kind : {SourceKind::DumpFile, SourceKind::Recorder}) {
        ImageReader image(kind);
        Store(image, map::kCountersTotalAddress, stored.bytes);
        StoreLe(image.ram, map::kLiveCountersAddress + 2 * (10 * 2 + 3), 2, 10);
        StoreLe(image.ram, map::kLiveCountersAddress + 2 * (10 * 2 + 5 + 3), 2, 0x20);
        StoreLe(image.ram, map::kLiveCountersAddress + 2 * (10 * 7 + 4), 2, 5);

        MechanismCounters block;
        ASSERT_TRUE(ReadMechanismCounters(image, map::kCountersTotalAddress, block));
        if (kind == SourceKind::DumpFile) {
            EXPECT_EQ(block.bytes, stored.bytes);
        } else {
            EXPECT_EQ(block.SwitchOns(2, 3), 0xFFFFu);
            EXPECT_EQ(block.OperatingSeconds(2, 3), 0xFFFFFFu);
            EXPECT_EQ(block.SwitchOns(7, 4), 105u);
            EXPECT_EQ(block.SwitchOns(0, 0), 0u);
        }
    }
}

TEST(ReadMechanismCounters, RecorderBlockWithBadChecksumGetsNoIncrements) {
    ImageReader image(SourceKind::Recorder);
    StoreLe(image.ram, map::kLiveCountersAddress, 2, 9);
    image.At(map::kCountersTotalAddress)[208] = 1;
    MechanismCounters block;
    EXPECT_FALSE(ReadMechanismCounters(image, map::kCountersTotalAddress, block));
    EXPECT_EQ(block.SwitchOns(0, 0), 0u);
}

TEST(SaturatingCounters, StopAtTheirTop) {
    EXPECT_EQ(AddU16Saturated(0xFFF8, 10), 0xFFFF);
    EXPECT_EQ(AddU16Saturated(0xFFF5, 10), 0xFFFF);
    EXPECT_EQ(AddU16Saturated(0xFFF4, 10), 0xFFFE);
    std::uint8_t field[3];
    StoreU24(0xFFFFFF, field);
    EXPECT_EQ(field[0] & field[1] & field[2], 0xFF);
    StoreU24(0x1000000, field);
    EXPECT_EQ(field[0] & field[1] & field[2], 0xFF);
    StoreU24(0x123456, field);
    EXPECT_EQ(field[0], 0x56);
    EXPECT_EQ(field[2], 0x12);
    AddU24Saturated(field, 0xFFFF);
    EXPECT_EQ(LoadLe(field, 0, 3), 0x123456u + 0xFFFF);
}

TEST(ReadCycleList, InvalidRecordsGoLastInStoredOrder) {
    ImageReader image;
    SetFloor(image, {2020, 1, 1, 0, 0, 0});
    CycleList stored;
    for (std::size_t i = 0; i < stored.size(); ++i) stored[i].bytes.fill(0xFF);
    stored[0] = Cycle({2024, 5, 1, 10, 0, 0}, 1);
    stored[1] = Cycle({2019, 12, 31, 23, 59, 59}, 2);  // before the floor
    stored[2] = Cycle({2023, 5, 1, 10, 0, 0}, 3);
    stored[3] = Cycle({2023, 5, 1, 10, 0, 0}, 4);   // same time: keeps its place after 3
    stored[4] = Cycle({2022, 13, 1, 10, 0, 0}, 5);  // month 13
    stored[5] = Cycle({2021, 1, 1, 0, 0, 0}, 6);
    stored[5].bytes[32] ^= 0x40;                  // damaged checksum
    stored[6] = Cycle({2020, 1, 1, 0, 0, 0}, 7);  // exactly the floor
    for (std::size_t i = 0; i < stored.size(); ++i) {
        Store(image, map::kLastCyclesAddress + static_cast<std::uint32_t>(i * 33), stored[i].bytes);
    }

    CycleList list;
    ASSERT_TRUE(ReadCycleList(image, map::kLastCyclesAddress, list, nullptr));
    const std::uint8_t expectedTags[] = {7, 3, 4, 1, 2, 5, 6};
    for (std::size_t i = 0; i < std::size(expectedTags); ++i) {
        EXPECT_EQ(list[i].LoadPercent(), expectedTags[i]) << i;
    }
    for (std::size_t i = 4; i < list.size(); ++i) EXPECT_FALSE(list[i].IsValid()) << i;
    // An invalid record keeps everything but its time.
    EXPECT_EQ(list[4].bytes[32], stored[1].bytes[32]);
}

TEST(ReadCycleList, EmptyListIsReadable) {
    ImageReader image;
    std::fill(image.image.begin(), image.image.end(), 0xFF);
    CycleList list;
    ASSERT_TRUE(ReadCycleList(image, map::kProtectionCyclesAddress, list, nullptr));
    for (const CycleRecord& record : list) EXPECT_FALSE(record.IsValid());
}

TEST(ReadCycleList, EmptyTimeIsInvalidEvenWithAMatchingChecksum) {
    ImageReader image;
    CycleRecord record;
    record.SetTime(kInvalidTime);
    Seal(record, 32);
    Store(image, map::kLastCyclesAddress, record.bytes);
    CycleList list;
    ASSERT_TRUE(ReadCycleList(image, map::kLastCyclesAddress, list, nullptr));
    EXPECT_FALSE(list.back().IsValid());
}

TEST(ReadHourList, RecordsFromTheFutureAreInvalid) {
    ImageReader image;
    SetFloor(image, {2020, 1, 1, 0, 0, 0});
    FixedClock clock;
    const auto put = [&](int index, const LocalDateTime& t) {
        HourRecord record;
        record.SetTime(PackDateTime(t));
        record.bytes[28] = kEventCycleEnd;
        Seal(record, 29);
        Store(image, map::kHourListAddress + static_cast<std::uint32_t>(index * 30), record.bytes);
    };
    put(0, {2026, 12, 7, 12, 1, 0});  // a minute ahead of the clock
    put(1, {2026, 12, 7, 12, 0, 0});  // now
    put(2, {2026, 12, 7, 11, 59, 0});

    auto list = std::make_unique<HourList>();
    ASSERT_TRUE(ReadHourList(image, *list, nullptr, clock));
    EXPECT_EQ((*list)[0].Time(), PackDateTime({2026, 12, 7, 11, 59, 0}));
    EXPECT_EQ((*list)[1].Time(), PackDateTime({2026, 12, 7, 12, 0, 0}));
    // The all-zero records carry a valid checksum but lie before the floor.
    for (std::size_t i = 2; i < list->size(); ++i) ASSERT_FALSE((*list)[i].IsValid()) << i;
}

TEST(MechanismName, FifthNameComesFromTheImage) {
    ImageReader image;
    const std::string name = Cp1251FromUtf8("  Механизм выдвижения опор");
    std::copy(name.begin(), name.end(), image.At(map::kMechanismNameAddress));
    EXPECT_EQ(Utf8FromCp1251(MechanismName(image, 4)), "Механизм выдвижения опор");
    EXPECT_EQ(Utf8FromCp1251(MechanismName(image, 0)), "Грузовая лебедка");
    EXPECT_EQ(MechanismName(image, 5), "");
    EXPECT_EQ(MechanismName(image, -1), "");
    image.failAll = true;
    EXPECT_EQ(MechanismName(image, 4), "");
}

}  // namespace
}  // namespace zorvek
