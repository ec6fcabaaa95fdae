#include "reports/charts/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zorvek {
namespace {

struct ScaleCase {
    const char* name;
    double low;
    double high;
    double minimumStep;
    double minimum;
    double maximum;
    double step;
};

TEST(ChooseAxisScale, NiceRangesThatHoldZeroAndEveryBar) {
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const ScaleCase cases[] = {
        {"all zero, counts", 0, 0, 1.0, 0, 1, 1},
        {"all zero, tonnes", 0, 0, 0.1, 0, 0.1, 0.1},
        {"top on a nice value", 0, 1000, 1.0, 0, 1000, 200},
        {"top just past it", 0, 1001, 1.0, 0, 1500, 500},
        {"small counts keep whole steps", 0, 3, 1.0, 0, 3, 1},
        {"seconds", 0, 1283400, 1.0, 0, 1500000, 500000},
        {"bars only above zero", 5, 10, 1.0, 0, 10, 2},
        {"bars only below zero", -10, -5, 1.0, -10, 0, 2},
        {"negative mass", -3.5, 10, 0.1, -5, 10, 5},
        {"float limits", -kFloatMax, kFloatMax, 0.1, -4e38, 4e38, 2e38},
        {"denormal masses", 1e-45, 1e-40, 0.1, 0, 0.1, 0.1},
        {"non-finite bounds", kNaN, kInf, 1.0, 0, 1, 1},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AxisScale scale = ChooseAxisScale(c.low, c.high, 5, c.minimumStep);
        EXPECT_DOUBLE_EQ(scale.minimum, c.minimum);
        EXPECT_DOUBLE_EQ(scale.maximum, c.maximum);
        EXPECT_DOUBLE_EQ(scale.step, c.step);
        // A handful of finite ticks, the last one on the top.
        EXPECT_GE(scale.IntervalCount(), 1);
        EXPECT_LE(scale.IntervalCount(), 7);
        EXPECT_DOUBLE_EQ(scale.Tick(scale.IntervalCount()), scale.maximum);
        EXPECT_TRUE(std::isfinite(scale.maximum) && std::isfinite(scale.minimum));
    }
}

}  // namespace
}  // namespace zorvek
