#include "sim/packed_real.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/bits.h"

namespace zorvek::sim {
namespace {

TEST(PackFloat16, MatchesTheRecordersOwnExamples) {
    // Low byte 0x40, high byte 0x1F: sign 0, mantissa 1000000 00, exponent 31.
    EXPECT_EQ(PackFloat16(1.5f), 0x1F40);
    EXPECT_EQ(PackFloat16(1.0f), 0x1F00);
    EXPECT_EQ(PackFloat16(-1.5f), 0x1FC0);
    EXPECT_EQ(PackFloat16(0.0f) >> 8, 0);
}

TEST(PackFloat16, RoundTripsWithinNineMantissaBits) {
    const float values[] = {0.24f,  1.34f,  3.0f,  4.9f, 9.6f,   13.62f,  25.0f,   30.2f,
                            179.9f, 359.9f, 1e-6f, 4e6f, -2.75f, -0.013f, 65535.0f};
    for (float v : values) {
        const float back = UnpackFloat16(PackFloat16(v));
        // Rounded to nearest of nine bits: off by at most half a step.
        EXPECT_NEAR(back, v, std::fabs(v) / 1024.0f) << v;
    }
}

TEST(PackFloat16, RoundsUpIntoTheNextExponent) {
    // Just below 2.0 rounds to 2.0, not to a mantissa of 512.
    EXPECT_EQ(UnpackFloat16(PackFloat16(1.9995f)), 2.0f);
}

TEST(PackFloat16, OutOfRangeValuesDoNotWrap) {
    EXPECT_EQ(PackFloat16(1e-12f), 0);
    EXPECT_EQ(PackFloat16(std::numeric_limits<float>::quiet_NaN()), 0);
    const float largest = UnpackFloat16(PackFloat16(1e20f));
    EXPECT_GT(largest, 4e9f);
    EXPECT_EQ(UnpackFloat16(PackFloat16(std::numeric_limits<float>::infinity())), largest);
    EXPECT_EQ(UnpackFloat16(PackFloat16(-1e20f)), -largest);
}

}  // namespace
}  // namespace zorvek::sim
