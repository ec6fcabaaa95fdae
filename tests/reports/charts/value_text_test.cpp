#include "reports/charts/value_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace zorvek {
namespace {

struct MarkCase {
    double value;
    MarkStyle style;
    std::u16string expected;
};

TEST(MarkText, WholeAndRealValuesAtTheirBoundaries) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    const MarkCase cases[] = {
        {0.0, MarkStyle::Whole, u"0"},
        {65535.0, MarkStyle::Whole, u"65535"},        // largest cycle count
        {16777215.0, MarkStyle::Whole, u"16777215"},  // largest u24 of seconds
        {0.0, MarkStyle::Real, u"0"},                 // empty range, as on the other charts
        {-0.0, MarkStyle::Real, u"0"},
        {2.25, MarkStyle::Real, u"2.3"},   // half away from zero
        {0.04, MarkStyle::Real, u"0.0"},   // a trace, not an empty range
        {-0.04, MarkStyle::Real, u"0.0"},  // never "-0.0"
        {double(12345.6f), MarkStyle::Real, u"12345.6"},
        {999999999.9, MarkStyle::Real, u"999999999.9"},
        {1e9, MarkStyle::Real, u"1e+09"},
        {kFloatMax, MarkStyle::Real, u"3.4e+38"},
        {double(std::numeric_limits<float>::denorm_min()), MarkStyle::Real, u"0.0"},
        {kNaN, MarkStyle::Real, u"?"},
        {kInf, MarkStyle::Real, u"?"},
        {-kInf, MarkStyle::Whole, u"?"},
        {12.25, MarkStyle::Share, u"12,3"},  // the duty appendix writes a decimal comma
        {100.0, MarkStyle::Share, u"100,0"},
        {0.0491, MarkStyle::Share, u"< 0,1"},  // as the table beside the chart says
        {0.05, MarkStyle::Share, u"0,1"},
    };
    for (const MarkCase& c : cases) {
        EXPECT_EQ(MarkText(c.value, c.style), c.expected) << "value " << c.value;
    }
}

TEST(AxisLabel, DecimalsFollowTheStep) {
    struct Case {
        double value;
        double step;
        std::u16string expected;
    };
    const Case cases[] = {
        {0.0, 1.0, u"0"},
        {-0.0, 0.1, u"0"},
        {1500000.0, 500000.0, u"1\u2009500\u2009000"},
        {9000.0, 1000.0, u"9000"},
        {10000.0, 2000.0, u"10\u2009000"},
        {-20000.0, 5000.0, u"-20\u2009000"},
        {12500.5, 0.5, u"12\u2009500.5"},
        {0.2, 0.1, u"0.2"},
        {0.1 * 3, 0.1, u"0.3"},  // the third tick, not exactly 0.3
        {0.05, 0.05, u"0.05"},
        {-5.0, 5.0, u"-5"},
        {4e38, 2e38, u"4e+38"},
        {1.2e9, 2e8, u"1.2e+09"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AxisLabel(c.value, c.step), c.expected) << "value " << c.value;
    }
}

}  // namespace
}  // namespace zorvek
