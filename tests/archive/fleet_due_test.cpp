#include "archive/fleet_due.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvek::archive {
namespace {

using namespace std::chrono;

// What is due, as short words in a fixed order, so that a table row reads
// as one string.
std::string Said(const DueItems& due) {
    std::string said;
    const std::pair<bool, const char*> items[] = {
        {due.lifeEnded, "ended"},   {due.lifeEnding, "ending"},
        {due.resourceHigh, "high"}, {due.resourceExhausted, "exhausted"},
        {due.readoutOld, "old"},    {due.flagged, "flagged"},
    };
    for (const auto& [set, word] : items) {
        if (set) said += (said.empty() ? "" : " ") + std::string(word);
    }
    return said;
}

struct DueCase {
    const char* name;
    sys_days today;
    std::optional<sys_days> normativeEnd;
    std::optional<double> lifeUsed;
    sys_seconds readAt;
    bool countersBack;
    const char* due;
};

constexpr sys_days kToday = 2026y / 3 / 15;
const sys_seconds kRecent = sys_days(2026y / 3 / 1) + hours(9);

const DueCase kCases[] = {
    {"nothing", kToday, sys_days(2030y / 1 / 1), 0.5, kRecent, false, ""},
    {"nothing known", kToday, std::nullopt, std::nullopt, kRecent, false, ""},
    {"life ends today", kToday, kToday, 0.5, kRecent, false, "ended"},
    {"life ended yesterday", kToday, kToday - days(1), 0.5, kRecent, false, "ended"},
    {"life ends tomorrow", kToday, kToday + days(1), 0.5, kRecent, false, "ending"},
    {"life ends in exactly six months", kToday, sys_days(2026y / 9 / 15), 0.5, kRecent, false,
     "ending"},
    {"life ends a day after six months", kToday, sys_days(2026y / 9 / 16), 0.5, kRecent, false, ""},
    {"six months from 31 August end on the last of February", sys_days(2026y / 8 / 31),
     sys_days(2027y / 2 / 28), 0.5, sys_days(2026y / 8 / 1), false, "ending"},
    {"... and not on 1 March", sys_days(2026y / 8 / 31), sys_days(2027y / 3 / 1), 0.5,
     sys_days(2026y / 8 / 1), false, ""},
    {"resource just under 80 %", kToday, std::nullopt, 0.7999, kRecent, false, ""},
    {"resource at 80 %", kToday, std::nullopt, 0.8, kRecent, false, "high"},
    {"resource just under 100 %", kToday, std::nullopt, 0.9999, kRecent, false, "high"},
    {"resource at 100 %", kToday, std::nullopt, 1.0, kRecent, false, "exhausted"},
    {"resource beyond", kToday, std::nullopt, 1.4, kRecent, false, "exhausted"},
    {"read exactly 12 months ago, late in the day", kToday, std::nullopt, std::nullopt,
     sys_days(2025y / 3 / 15) + hours(23) + minutes(59), false, ""},
    {"read a day more than 12 months ago", kToday, std::nullopt, std::nullopt,
     sys_days(2025y / 3 / 14) + hours(23) + minutes(59), false, "old"},
    {"12 months back from 29 February is 28 February", sys_days(2028y / 2 / 29), std::nullopt,
     std::nullopt, sys_days(2027y / 2 / 28), false, ""},
    {"flagged", kToday, std::nullopt, std::nullopt, kRecent, true, "flagged"},
    {"everything at once", kToday, kToday, 1.0, sys_days(2024y / 1 / 1), true,
     "ended exhausted old flagged"},
};

TEST(FleetDue, MarksEachItemFromItsBound) {
    for (const DueCase& c : kCases) {
        FleetLine line;
        line.last.figures.normativeEnd = c.normativeEnd;
        line.last.figures.lifeUsed = c.lifeUsed;
        line.last.readAt = c.readAt;
        line.anyFlags.countersBack = c.countersBack;
        const DueItems due = DueOf(line, c.today);
        EXPECT_EQ(Said(due), c.due) << c.name;
        EXPECT_EQ(due.Any(), std::string(c.due) != "") << c.name;
    }
}

}  // namespace
}  // namespace zorvek::archive
