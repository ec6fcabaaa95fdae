#include "sim/calendar.h"

#include <gtest/gtest.h>

namespace zorvek::sim {
namespace {

bool Same(const LocalDateTime& a, const LocalDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

TEST(Calendar, DaysAndWeekdaysAcrossLeapYears) {
    EXPECT_EQ(SecondsFromLocal({2000, 1, 1, 0, 0, 0}), 0);
    EXPECT_EQ(SecondsFromLocal({2000, 3, 1, 0, 0, 0}), 60 * kDay);  // 2000 is a leap year
    EXPECT_EQ(SecondsFromLocal({2001, 3, 1, 0, 0, 0}) - SecondsFromLocal({2001, 2, 28, 0, 0, 0}),
              kDay);
    EXPECT_EQ(Weekday(SecondsFromLocal({2026, 4, 15, 10, 30, 0})), 2);  // a Wednesday
    EXPECT_EQ(Weekday(SecondsFromLocal({2024, 2, 29, 23, 59, 59})), 3);
    EXPECT_EQ(Weekday(SecondsFromLocal({1999, 12, 31, 12, 0, 0})), 4);
    EXPECT_EQ(StartOfDay(SecondsFromLocal({1999, 12, 31, 12, 0, 0})), -kDay);
}

TEST(Calendar, SecondsRoundTrip) {
    const LocalDateTime times[] = {{2024, 2, 29, 23, 59, 59},
                                   {2063, 12, 31, 23, 59, 59},
                                   {2009, 7, 4, 3, 56, 33},
                                   {2100, 3, 1, 0, 0, 0},
                                   {1999, 12, 31, 1, 2, 3}};
    for (const auto& t : times)
        EXPECT_TRUE(Same(LocalFromSeconds(SecondsFromLocal(t)), t)) << t.year;
    EXPECT_TRUE(Same(LocalFromSeconds(SecondsFromLocal({2025, 12, 31, 23, 59, 59}) + 1),
                     {2026, 1, 1, 0, 0, 0}));
}

TEST(Calendar, ParsesOnlyRealDatesWithinThePackedYears) {
    const auto t = ParseLocalDateTime("2024-02-29T23:59:58");
    ASSERT_TRUE(t);
    EXPECT_TRUE(Same(*t, {2024, 2, 29, 23, 59, 58}));
    EXPECT_TRUE(ParseLocalDateTime("2063-12-31T23:59:59"));
    EXPECT_TRUE(ParseLocalDateTime("2000-01-01T00:00:00"));
    const char* bad[] = {"2023-02-29T00:00:00",
                         "2064-01-01T00:00:00",
                         "1999-12-31T23:59:59",
                         "2026-04-31T10:00:00",
                         "2026-04-15T24:00:00",
                         "2026-04-15T10:60:00",
                         "2026-04-15 10:30:00",
                         "2026-4-15T10:30:00",
                         "2026-04-15T10:30:0+",
                         "2026-04-15T10:30:00Z",
                         ""};
    for (const char* text : bad) EXPECT_FALSE(ParseLocalDateTime(text)) << text;
}

}  // namespace
}  // namespace zorvek::sim
