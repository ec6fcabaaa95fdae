#include "model/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/bits.h"
#include "model/cp1251.h"

namespace zorvek {
namespace {

std::string Utf8(const std::string& cp1251) { return Utf8FromCp1251(cp1251); }

TEST(FormatReal, RoundsHalvesAwayFromZero) {
    struct Case {
        const char* pattern;
        double x;
        const char* text;
    };
    const Case cases[] = {
        {"##0.0", 2.26, "  2.3"},
        {"##0.0", 2.25, "  2.3"},  // exactly a half in binary: printf would give 2.2
        {"##0.0", 0.75, "  0.8"},
        {"##0.0", 0.25, "  0.3"},
        {"##0.0", -2.25, " -2.3"},
        {"##0.0", -0.75, " -0.8"},
        {"##0.0", 0.0, "  0.0"},
        {"##0.0", -0.01, "  0.0"},  // no "-0.0" in a document
        {"##0.0", 123.4, "123.4"},
        {"##0.0", 1234.5, "***.*"},
        {"#####0.0", 1234567.8, "******.*"},
        {"#####0.0", 123456.7, "123456.7"},
        {"######0.0", 12.0, "     12.0"},
        {"0.0", 2.25, "2.3"},  // short patterns are not padded
        {"0.0", 12345.0, "12345.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatReal(c.pattern, c.x), c.text) << c.pattern << " " << c.x;
    }
    // 999.95 is stored just below the half and may round either way; it must
    // still fit or overflow cleanly.
    const std::string nearLimit = FormatReal("##0.0", 999.95);
    EXPECT_TRUE(nearLimit == "999.9" || nearLimit == "***.*") << nearLimit;
}

TEST(FormatReal, NonFiniteValuesGiveTheOverflowMark) {
    EXPECT_EQ(FormatReal("##0.0", std::numeric_limits<double>::quiet_NaN()), "***.*");
    EXPECT_EQ(FormatReal("#####0.0", std::numeric_limits<double>::infinity()), "******.*");
    EXPECT_EQ(FormatReal("##0.0", 3.4e38), "***.*");
}

TEST(FormatInt, PadsOrMarksOverflow) {
    EXPECT_EQ(FormatInt(8, 123456789), "********");
    EXPECT_EQ(FormatInt(8, 12345678), "12345678");
    EXPECT_EQ(FormatInt(5, 42), "   42");
    EXPECT_EQ(FormatInt(0, 4294967295u), "4294967295");
}

TEST(FormatTwoDigits, MarksValuesOutsideTheirRange) {
    EXPECT_EQ(FormatTwoDigits(7, 1, 12, '0'), "07");
    EXPECT_EQ(FormatTwoDigits(7, 0, 23, ' '), " 7");
    EXPECT_EQ(FormatTwoDigits(12, 1, 12, '0'), "12");
    EXPECT_EQ(FormatTwoDigits(13, 1, 12, '0'), "**");
    EXPECT_EQ(FormatTwoDigits(0, 1, 12, '0'), "**");
    EXPECT_EQ(FormatTwoDigits(0, 0, 59, '0'), "00");
}

TEST(FormatDuration, HoursMinutesSeconds) {
    EXPECT_EQ(Utf8(FormatDuration(10, 3723)), "  1ч02м03c");
    EXPECT_EQ(Utf8(FormatDuration(12, 125)), "       2м05c");
    EXPECT_EQ(Utf8(FormatDuration(10, 0)), "        0c");
    EXPECT_EQ(Utf8(FormatDuration(0, 59)), "59c");
    EXPECT_EQ(Utf8(FormatDuration(0, 3600)), "1ч00м00c");
    // The seconds letter is Latin, the overflow mark's last letter Cyrillic.
    EXPECT_EQ(FormatDuration(0, 5).back(), 'c');
    EXPECT_EQ(Utf8(FormatDuration(10, 360000000)), " **ч**м**с");
    EXPECT_EQ(Utf8(FormatDuration(9, 1)), "**ч**м**с");
    EXPECT_EQ(Utf8(FormatDuration(1, 1)), "**ч**м**с");
    EXPECT_EQ(Utf8(FormatDuration(14, 4294967295u)), "1193046ч28м15c");
    EXPECT_EQ(Utf8(FormatDuration(13, 4294967295u)), "    **ч**м**с");
}

TEST(FormatDateTime, FieldsAndOverflow) {
    const std::uint32_t july4 = PackDateTime({2009, 7, 4, 3, 56, 33});
    EXPECT_EQ(FormatDateTime(17, july4), " 4.07.09  3:56:33");
    EXPECT_EQ(FormatDateTime(18, july4), "  4.07.09  3:56:33");
    EXPECT_EQ(FormatDateTime(0, july4), "4.07.09  3:56:33");
    EXPECT_EQ(FormatDateTime(0, PackDateTime({2026, 12, 31, 23, 59, 59})), "31.12.26 23:59:59");

    const std::string invalid = " ??.??.?? ??:??:??";
    const LocalDateTime broken[] = {
        {2009, 0, 4, 3, 56, 33}, {2009, 13, 4, 3, 56, 33}, {2004, 7, 4, 3, 56, 33},
        {2032, 7, 4, 3, 56, 33}, {2009, 7, 0, 3, 56, 33},  {2009, 7, 4, 24, 0, 0},
    };
    for (const LocalDateTime& t : broken) {
        EXPECT_EQ(FormatDateTime(18, PackDateTime(t)), invalid) << t.year << "-" << t.month;
    }
    EXPECT_EQ(FormatDateTime(17, PackDateTime({2005, 1, 1, 0, 0, 0})), " 1.01.05  0:00:00");
    EXPECT_EQ(FormatDateTime(17, PackDateTime({2031, 1, 1, 0, 0, 0})), " 1.01.31  0:00:00");
    EXPECT_EQ(FormatDateTime(18, kInvalidTime), invalid);
    // Too narrow a width gives the mark rather than a cut date.
    EXPECT_EQ(FormatDateTime(10, july4), "??.??.?? ??:??:??");
}

TEST(FormatBar, ScalesToTheReference) {
    EXPECT_EQ(FormatBar('X', 5, 0, 25), "|");
    EXPECT_EQ(FormatBar('X', 10, 10, 36), "|" + std::string(36, 'X'));
    EXPECT_EQ(FormatBar('X', 1, 2, 25), "|" + std::string(12, 'X'));
    EXPECT_EQ(FormatBar('X', 1, 4, 4), "|X");  // exactly one step draws it
    EXPECT_EQ(FormatBar('X', 0.99, 4, 4), "|");
    EXPECT_EQ(FormatBar('X', 11, 10, 36), "|");  // above the scale
    EXPECT_EQ(FormatBar('X', 0.01, 10, 36), "|");
    EXPECT_EQ(FormatBar('X', -5, 10, 36), "|");
    EXPECT_EQ(FormatBar('X', std::numeric_limits<double>::quiet_NaN(), 10, 36), "|");
    EXPECT_EQ(FormatBar('X', 1e300, 1e-300, 36), "|");
}

}  // namespace
}  // namespace zorvek
