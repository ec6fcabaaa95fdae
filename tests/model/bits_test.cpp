#include "model/bits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "model/format.h"

namespace zorvek {
namespace {

TEST(Crc8, MatchesTheMaximCheckValue) {
    const std::string_view digits = "123456789";
    EXPECT_EQ(Crc8({reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()}), 0xA1);
    EXPECT_EQ(Crc8({}), 0);
}

TEST(Crc8, AppendedChecksumClosesTheBlock) {
    // Property the recorder's blocks rely on: data followed by its CRC gives 0.
    std::uint8_t block[] = {0x02, 0x05, 0xAA, 0x55, 0x7B, 0x00};
    block[5] = Crc8(std::span(block).first(5));
    EXPECT_EQ(Crc8(block), 0);
}

TEST(UnpackFloat16, DecodesThePackedReal) {
    struct Case {
        std::uint16_t word;
        float value;
    };
    const Case cases[] = {
        {0x00FF, 0.0f},                   // high byte 0 is zero whatever the low byte
        {0x0000, 0.0f}, {0x1F40, 1.5f},   // mantissa 1000000 00, exponent 31
        {0x1F00, 1.0f}, {0x1FC0, -1.5f},  // sign bit in the low byte
        {0x2000, 2.0f},                   // exponent 32
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(UnpackFloat16(c.word), c.value) << std::hex << c.word;
    }
    // The two low mantissa bits sit in the high byte: m = 1000000 11 -> 1 + 259/512.
    EXPECT_FLOAT_EQ(UnpackFloat16(0xDF40), 1.0f + 259.0f / 512.0f);
    // Exponent 12 (the smallest of a realistic range) and 63 (the largest).
    EXPECT_FLOAT_EQ(UnpackFloat16(0x0C00), std::ldexp(1.0f, 12 - 31));
    EXPECT_FLOAT_EQ(UnpackFloat16(0x3F00), std::ldexp(1.0f, 63 - 31));
}

TEST(PackedDateTime, FieldsComeOutMostSignificantFirst) {
    std::uint32_t value = 0x25C83E21;
    EXPECT_EQ(TakeBits(value, 6), 9u);
    EXPECT_EQ(TakeBits(value, 4), 7u);
    EXPECT_EQ(TakeBits(value, 5), 4u);
    EXPECT_EQ(TakeBits(value, 5), 3u);
    EXPECT_EQ(TakeBits(value, 6), 56u);
    EXPECT_EQ(TakeBits(value, 6), 33u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(PackDateTime({2009, 7, 4, 3, 56, 33}), 0x25C83E21u);
}

TEST(PackedDateTime, ValidityTestsEveryFieldButTheYear) {
    struct Case {
        LocalDateTime t;
        bool valid;
    };
    const Case cases[] = {
        {{2009, 7, 4, 3, 56, 33}, true},   {{2063, 12, 31, 23, 59, 59}, true},
        {{2000, 1, 1, 0, 0, 0}, true},     {{2009, 0, 4, 3, 56, 33}, false},
        {{2009, 13, 4, 3, 56, 33}, false}, {{2009, 7, 0, 3, 56, 33}, false},
        {{2009, 7, 4, 24, 0, 0}, false},   {{2009, 7, 4, 3, 60, 0}, false},
        {{2009, 7, 4, 3, 0, 60}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidDateTime(PackDateTime(c.t)), c.valid)
            << c.t.month << "/" << c.t.day << " " << c.t.hour << ":" << c.t.minute << ":"
            << c.t.second;
    }
    EXPECT_FALSE(IsValidDateTime(kInvalidTime));
}

TEST(PackNow, ReadsTheInjectedClock) {
    struct FixedClock : Clock {
        LocalDateTime Now() const override { return {2026, 12, 7, 20, 15, 0}; }
    } clock;
    std::uint32_t packed = PackNow(clock);
    EXPECT_EQ(TakeBits(packed, 6), 26u);
    EXPECT_EQ(TakeBits(packed, 4), 12u);
    EXPECT_EQ(TakeBits(packed, 5), 7u);
    EXPECT_EQ(TakeBits(packed, 5), 20u);
}

TEST(LoadLe, NeverReadsPastTheBlock) {
    const std::uint8_t bytes[] = {0x11, 0x22, 0x33};
    EXPECT_EQ(LoadLe(bytes, 0, 3), 0x332211u);
    EXPECT_EQ(LoadLe(bytes, 2, 4), 0x33u);
    EXPECT_EQ(LoadLe(bytes, 7, 2), 0u);
}

}  // namespace
}  // namespace zorvek
