#include "sim/image_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>

#include "model/cp1251.h"
#include "model/memory_map.h"

// The checks here are written from the recorder's rules, not from the
// generator: their own checksum, their own date test, their own layout.
namespace zorvek::sim {

// Failures name the image by its seed and present.
void PrintTo(const ImageOptions& options, std::ostream* out) {
    const LocalDateTime& t = options.now;
    *out << "seed " << options.seed << " variant " << NameOfVariant(options.variant) << " now "
         << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute << ":"
         << t.second;
}

namespace {

using namespace memory_map;

std::uint8_t DallasCrc(const std::uint8_t* data, std::size_t size) {
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint8_t>(crc & 1 ? (crc >> 1) ^ 0x8C : crc >> 1);
    }
    return crc;
}

std::uint32_t Dword(const Image& image, std::uint32_t address) {
    const std::size_t at = Offset(address);
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 |
           static_cast<std::uint32_t>(image[at + 3]) << 24;
}

bool BlockCrcOk(const Image& image, std::uint32_t address, std::uint32_t size) {
    const std::uint8_t* block = image.data() + Offset(address);
    return DallasCrc(block, size - 1) == block[size - 1];
}

bool PlausibleTime(std::uint32_t t) {
    const auto month = t >> 22 & 15, day = t >> 17 & 31, hour = t >> 12 & 31, minute = t >> 6 & 63,
               second = t & 63;
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24 && minute < 60 &&
           second < 60;
}

std::chrono::sys_seconds ToTimePoint(std::uint32_t t) {
    using namespace std::chrono;
    const year_month_day date{year{2000 + static_cast<int>(t >> 26)}, month{t >> 22 & 15},
                              day{t >> 17 & 31}};
    return sys_days{date} + hours{t >> 12 & 31} + minutes{t >> 6 & 63} + seconds{t & 63};
}

struct Record {
    std::uint32_t time;
    const std::uint8_t* bytes;
    RecordKind kind;
};

// A list's records in memory order, classified by the first rule each breaks.
std::vector<Record> Classify(const Image& image, std::uint32_t address, std::uint32_t size,
                             std::uint32_t count, std::uint32_t now) {
    const std::uint32_t floor = Dword(image, kTimeFloorAddress);
    std::vector<Record> records;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* r = image.data() + Offset(address) + i * size;
        const std::uint32_t time =
            r[0] | r[1] << 8 | r[2] << 16 | static_cast<std::uint32_t>(r[3]) << 24;
        RecordKind kind = RecordKind::Valid;
        if (std::all_of(r, r + size, [](std::uint8_t b) { return b == 0xFF; })) {
            kind = RecordKind::Empty;
        } else if (DallasCrc(r, size - 1) != r[size - 1]) {
            kind = RecordKind::BadChecksum;
        } else if (!PlausibleTime(time)) {
            kind = RecordKind::BadDate;
        } else if (time < floor) {
            kind = RecordKind::BeforeFloor;
        }
        // No kind for "after now": the generator promises there are none.
        EXPECT_FALSE(kind == RecordKind::Valid && time > now)
            << "record " << i << " lies in the future";
        records.push_back({time, r, kind});
    }
    return records;
}

RecordMix Tally(const std::vector<Record>& records) {
    RecordMix mix;
    for (const auto& r : records) mix.Count(r.kind);
    return mix;
}

void ExpectSameMix(const RecordMix& found, const RecordMix& claimed, const char* list) {
    EXPECT_EQ(found.valid, claimed.valid) << list;
    EXPECT_EQ(found.empty, claimed.empty) << list;
    EXPECT_EQ(found.badChecksum, claimed.badChecksum) << list;
    EXPECT_EQ(found.beforeFloor, claimed.beforeFloor) << list;
    EXPECT_EQ(found.badDate, claimed.badDate) << list;
}

ImageOptions Options(std::uint32_t seed, ImageVariant variant = ImageVariant::Valid,
                     LocalDateTime now = kDefaultNow) {
    ImageOptions options;
    options.seed = seed;
    options.variant = variant;
    options.now = now;
    return options;
}

class GeneratedImage : public testing::TestWithParam<ImageOptions> {
  protected:
    void SetUp() override {
        m_image = GenerateImage(GetParam(), &m_summary);
        m_hours =
            Classify(m_image, kHourListAddress, kHourRecordSize, kHourRecordCount, m_summary.now);
    }
    std::vector<Record> Valid() const {
        std::vector<Record> valid;
        std::copy_if(m_hours.begin(), m_hours.end(), std::back_inserter(valid),
                     [](const Record& r) { return r.kind == RecordKind::Valid; });
        return valid;
    }
    Image m_image{};
    ImageSummary m_summary;
    std::vector<Record> m_hours;
};

TEST_P(GeneratedImage, PassesTheProgramsChecks) {
    EXPECT_EQ(Dword(m_image, kFormatSignatureAddress), 0x55AA0502u);
    EXPECT_EQ(Dword(m_image, kEndOfCopyMarkAddress), 0x55AA0502u);
    EXPECT_EQ(Dword(m_image, kNewDataMarkAddress), 0u);
    for (auto address : {kStatisticsTotalAddress, kStatisticsSinceAddress}) {
        EXPECT_TRUE(BlockCrcOk(m_image, address, kStatisticsBlockSize)) << std::hex << address;
    }
    for (auto address : {kCountersTotalAddress, kCountersSinceAddress}) {
        EXPECT_TRUE(BlockCrcOk(m_image, address, kMechanismCountersSize)) << std::hex << address;
    }
}

TEST_P(GeneratedImage, RecordCountsAreWhatTheSummaryClaims) {
    ExpectSameMix(Tally(m_hours), m_summary.hours, "hours");
    const auto last =
        Classify(m_image, kLastCyclesAddress, kCycleRecordSize, kCycleRecordCount, m_summary.now);
    const auto trips = Classify(m_image, kProtectionCyclesAddress, kCycleRecordSize,
                                kCycleRecordCount, m_summary.now);
    ExpectSameMix(Tally(last), m_summary.lastCycles, "last cycles");
    ExpectSameMix(Tally(trips), m_summary.protectionCycles, "protection cycles");
    EXPECT_EQ(m_summary.lastCycles.valid, 20);
    EXPECT_GT(m_summary.protectionCycles.valid, 0);
    EXPECT_GT(m_summary.protectionCycles.beforeFloor, 0);
    for (const auto& r : trips) {
        if (r.kind != RecordKind::Valid) continue;
        // Some protection bit: limits 0xAA, tilt 0x0A, zone 0x2A.
        EXPECT_TRUE((r.bytes[8] & 0xAA) || (r.bytes[9] & 0x0A) || (r.bytes[10] & 0x2A));
    }
}

TEST_P(GeneratedImage, HourListHoldsEveryKindOfRecord) {
    const RecordMix mix = Tally(m_hours);
    EXPECT_GT(mix.valid, 1000);
    EXPECT_GT(mix.empty, 0);
    EXPECT_GT(mix.badChecksum, 0);
    EXPECT_GT(mix.beforeFloor, 0);
    EXPECT_GT(mix.badDate, 0);
    for (const auto& r : Valid()) EXPECT_TRUE(r.bytes[28] == 4 || r.bytes[28] == 5);
}

TEST_P(GeneratedImage, HourListHasWrappedAroundItsRing) {
    const auto valid = Valid();
    int descents = 0;
    for (std::size_t i = 1; i < valid.size(); ++i)
        descents += valid[i].time < valid[i - 1].time ? 1 : 0;
    EXPECT_EQ(descents, 1);
    EXPECT_GT(valid.front().time, valid.back().time);
}

TEST_P(GeneratedImage, NewestRecordsShortlyBeforeNowAndFloorMonthsEarlier) {
    std::uint32_t newest = 0;
    for (const auto& r : Valid()) newest = std::max(newest, r.time);
    const auto now = ToTimePoint(m_summary.now);
    EXPECT_LE(now - ToTimePoint(newest), std::chrono::days{3});
    EXPECT_GE(ToTimePoint(newest) - ToTimePoint(Dword(m_image, kTimeFloorAddress)),
              std::chrono::days{45});
    const std::uint32_t periodEnd = Dword(m_image, kStatisticsTotalAddress + 80);
    EXPECT_GE(periodEnd, newest);
    EXPECT_LE(periodEnd, m_summary.now);
}

TEST_P(GeneratedImage, EveryFlagBitOccursInValidHourRecords) {
    struct FlagField {
        std::size_t offset;
        std::uint8_t bits;
    };
    // Mode (number bits 0..3 too), limits, tilt, zone, coordinates, power line.
    const FlagField fields[] = {{7, 0x7F},  {8, 0xFF},  {9, 0x1F},
                                {10, 0x3F}, {12, 0xFF}, {13, 0x3F}};
    for (const auto& field : fields) {
        std::uint8_t seen = 0;
        for (const auto& r : Valid()) seen |= r.bytes[field.offset];
        EXPECT_EQ(seen & field.bits, field.bits) << "offset " << field.offset;
    }
}

TEST_P(GeneratedImage, StatisticsAreConsistent) {
    auto u16 = [&](std::uint32_t address) { return Dword(m_image, address) & 0xFFFF; };
    for (int r = 0; r < kLoadRanges; ++r) {
        EXPECT_LE(u16(kStatisticsSinceAddress + 4 + 2 * r),
                  u16(kStatisticsTotalAddress + 4 + 2 * r))
            << r;
    }
    EXPECT_GT(u16(kStatisticsTotalAddress + 4), u16(kStatisticsTotalAddress + 4 + 2 * 3));
    EXPECT_GT(u16(kStatisticsTotalAddress + 4 + 2 * 3), u16(kStatisticsTotalAddress + 4 + 2 * 7));
    EXPECT_LT(Dword(m_image, kStatisticsTotalAddress), Dword(m_image, kStatisticsSinceAddress));
    EXPECT_GE(Dword(m_image, kOnTimeTotalAddress), Dword(m_image, kOnTimeSinceAddress));
}

// "Seed5_2014", from the seed and the reading's year.
std::string SeedName(const testing::TestParamInfo<ImageOptions>& info) {
    return "Seed" + std::to_string(info.param.seed) + "_" + std::to_string(info.param.now.year);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedImage,
                         testing::Values(Options(1), Options(2), Options(77), Options(4000000000u),
                                         // Before the shift on New Year's Day.
                                         Options(5, ImageVariant::Valid, {2014, 1, 1, 6, 0, 0}),
                                         Options(6, ImageVariant::Valid,
                                                 {2063, 12, 31, 23, 59, 59})),
                         SeedName);

TEST(GenerateImage, SameSeedSameBytesOtherSeedOtherBytes) {
    EXPECT_EQ(GenerateImage(Options(9)), GenerateImage(Options(9)));
    EXPECT_NE(GenerateImage(Options(9)), GenerateImage(Options(10)));
    EXPECT_NE(GenerateImage(Options(9)),
              GenerateImage(Options(9, ImageVariant::Valid, {2026, 4, 16, 10, 30, 0})));
}

// Offsets (from the image start) where a variant may differ from the valid image.
struct VariantCase {
    ImageVariant variant;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> changed;  // address, size
};

TEST(GenerateImage, EachVariantHasExactlyItsFault) {
    const Image valid = GenerateImage(Options(3));
    const VariantCase cases[] = {
        {ImageVariant::Valid, {}},
        {ImageVariant::Truncated, {}},
        {ImageVariant::Extended, {}},
        {ImageVariant::WrongSignature, {{kFormatSignatureAddress, 1}}},
        {ImageVariant::ReaderCopy, {{kNewDataMarkAddress, 1}}},
        {ImageVariant::NoEndMark, {{kEndOfCopyMarkAddress, 4}}},
        {ImageVariant::BadChecksums,
         {{kStatisticsTotalAddress + 84, 1},
          {kStatisticsSinceAddress + 84, 1},
          {kCountersTotalAddress + 208, 1},
          {kCountersSinceAddress + 208, 1}}},
    };
    for (const auto& c : cases) {
        const Image image = GenerateImage(Options(3, c.variant));
        std::vector<bool> allowed(kImageSize, false);
        for (auto [address, size] : c.changed) {
            for (std::uint32_t i = 0; i < size; ++i) {
                allowed[Offset(address) + i] = true;
                EXPECT_NE(image[Offset(address) + i], valid[Offset(address) + i])
                    << NameOfVariant(c.variant);
            }
        }
        for (std::size_t i = 0; i < kImageSize; ++i) {
            if (!allowed[i] && image[i] != valid[i]) {
                ADD_FAILURE() << NameOfVariant(c.variant) << " also changes offset " << i;
                break;
            }
        }
    }
    const Image bad = GenerateImage(Options(3, ImageVariant::BadChecksums));
    EXPECT_EQ(bad[Offset(kStatisticsTotalAddress) + 84],
              static_cast<std::uint8_t>(valid[Offset(kStatisticsTotalAddress) + 84] + 1));
    EXPECT_EQ(
        Dword(GenerateImage(Options(3, ImageVariant::WrongSignature)), kFormatSignatureAddress),
        0x55AA0501u);
    EXPECT_EQ(Dword(GenerateImage(Options(3, ImageVariant::ReaderCopy)), kNewDataMarkAddress),
              123u);
}

TEST(GenerateImage, EmptyListsVariantErasesEveryRecordAndNothingElse) {
    const Image valid = GenerateImage(Options(4));
    ImageSummary summary;
    const Image image = GenerateImage(Options(4, ImageVariant::EmptyLists), &summary);
    const auto inLists = [](std::size_t offset) {
        return offset >= Offset(kLastCyclesAddress) &&
               offset < Offset(kHourListAddress) + kHourListSize;
    };
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (image[i] != (inLists(i) ? 0xFF : valid[i])) {
            ADD_FAILURE() << "unexpected byte at offset " << i;
            break;
        }
    }
    EXPECT_EQ(summary.hours.empty, 1900);
    EXPECT_EQ(summary.lastCycles.empty, 20);
    EXPECT_EQ(summary.protectionCycles.empty, 20);
}

TEST(ImageFileBytes, SizeVariantsCutOrExtendTheImage) {
    const Image image = GenerateImage(Options(8));
    EXPECT_EQ(ImageFileBytes(image, ImageVariant::Valid).size(), 65536u);
    const auto truncated = ImageFileBytes(image, ImageVariant::Truncated);
    const auto extended = ImageFileBytes(image, ImageVariant::Extended);
    ASSERT_EQ(truncated.size(), 65535u);
    ASSERT_EQ(extended.size(), 65537u);
    EXPECT_TRUE(std::equal(truncated.begin(), truncated.end(), image.begin()));
    EXPECT_TRUE(std::equal(image.begin(), image.end(), extended.begin()));
}

TEST(GenerateImage, PassportTextsUseEveryWayOfFillingTheField) {
    const Image image = GenerateImage(Options(1));
    int full = 0, spacePadded = 0, terminated = 0;
    for (std::uint32_t i = 0; i < kPassportTextCount; ++i) {
        const auto* field = image.data() + Offset(kPassportAddress) + i * kPassportTextSize;
        const bool hasZero =
            std::find(field, field + kPassportTextSize, 0) != field + kPassportTextSize;
        EXPECT_NE(field[0], 0) << "text " << i << " is empty";
        if (hasZero)
            ++terminated;
        else if (field[kPassportTextSize - 1] == ' ')
            ++spacePadded;
        else
            ++full;
    }
    EXPECT_GE(full, 1);
    EXPECT_GE(spacePadded, 1);
    EXPECT_GE(terminated, 10);
    const std::string name(
        reinterpret_cast<const char*>(image.data() + Offset(kMechanismNameAddress)));
    EXPECT_EQ(name, Cp1251FromUtf8("Механизм выдвижения опор"));
}

TEST(GenerateImage, CommittedSampleIsSeedOne) {
    std::ifstream file(std::string(ZORVEK_SAMPLES_DIR) + "/dannie.krd", std::ios::binary);
    ASSERT_TRUE(file) << "samples/dannie.krd is missing";
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const Image image = GenerateImage(Options(1));
    ASSERT_EQ(bytes.size(), 65536u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.begin()))
        << "regenerate with: zorvek-sim image --seed 1 --out samples/dannie.krd";
}

}  // namespace
}  // namespace zorvek::sim
