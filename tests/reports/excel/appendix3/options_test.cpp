#include <gtest/gtest.h>

#include "reports/excel/appendix3/column_switches.h"
#include "reports/excel/appendix3/filter_mask.h"
#include "tests/reports/excel/appendix3/appendix3_support.h"

namespace zorvek {
namespace {

using namespace test;

std::vector<int> KindsOn(const ColumnSwitches& switches) {
    std::vector<int> kinds;
    for (int kind = -2; kind <= 18; ++kind) {
        if (switches.IsOn(static_cast<ColumnKind>(kind))) kinds.push_back(kind);
    }
    return kinds;
}

TEST(ColumnSwitchesTest, NumberStaysOnAndCheckBoxNSwitchesKindNMinusOne) {
    ColumnSwitches switches;
    switches.Set(ColumnKind::Number, false);
    EXPECT_TRUE(switches.SetCheckBox(1, true));
    EXPECT_TRUE(switches.SetCheckBox(18, true));
    for (int box : {0, 19}) EXPECT_FALSE(switches.SetCheckBox(box, true)) << box;
    EXPECT_EQ(KindsOn(switches), (std::vector<int>{-1, 0, 17}));
    EXPECT_EQ(KindsOn(DefaultColumnSwitches()), (std::vector<int>{-1, 0, 1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(KindsOn(ColumnSwitches::All()).size(), 19u);
}

// Each protection passes exactly its own trip bits, never a warning bit.
TEST(FilterMaskTest, EachProtectionPassesOnlyItsTrips) {
    const struct {
        Protection protection;
        int limit, tilt, zone;
    } cases[] = {
        {Protection::Radius, 0x0A, 0, 0}, {Protection::Overload, 0x20, 0, 0},
        {Protection::Coord, 0, 0, 0x02},  {Protection::PowerLine, 0, 0, 0x08},
        {Protection::Hook, 0x80, 0, 0},   {Protection::Tilt, 0, 0x0A, 0},
        {Protection::Wind, 0, 0, 0x20},
    };
    for (const auto& c : cases) {
        FilterMask mask{.showAll = false};
        mask.Add(c.protection);
        for (int bit = 1; bit < 0x100; bit <<= 1) {
            EXPECT_EQ(mask.Shows(Hour(0, {{kLimit, bit}})), (c.limit & bit) != 0) << bit;
            EXPECT_EQ(mask.Shows(Hour(0, {{kTilt, bit}})), (c.tilt & bit) != 0) << bit;
            EXPECT_EQ(mask.Shows(Hour(0, {{kZone, bit}})), (c.zone & bit) != 0) << bit;
        }
    }
    const HourRecord warned = Hour(0, {{kLimit, 0x55}, {kTilt, 0xF5}, {kZone, 0xD5}});
    EXPECT_FALSE((FilterMask{false, 0xFF, 0xFF, 0xFF}.Shows(warned)));
    EXPECT_TRUE(FilterMask().Shows(Hour(0)));
}

}  // namespace
}  // namespace zorvek
