#include "archive/fleet_due.h"

#include <tuple>

namespace zorvek::archive {
namespace {

using std::chrono::sys_days;

// `months` calendar months on from `day` (back for a negative count).
sys_days MonthsOn(sys_days day, int months) {
    const std::chrono::year_month_day date(day);
    const std::chrono::year_month shifted =
        date.year() / date.month() + std::chrono::months(months);
    const std::chrono::day last = (shifted / std::chrono::last).day();
    return sys_days(shifted / (date.day() > last ? last : date.day()));
}

}  // namespace

DueItems DueOf(const FleetLine& line, sys_days today) {
    DueItems due;
    const ReadoutFigures& figures = line.last.figures;
    if (figures.normativeEnd) {
        due.lifeEnded = *figures.normativeEnd <= today;
        due.lifeEnding =
            !due.lifeEnded && *figures.normativeEnd <= MonthsOn(today, kLifeEndingMonths);
    }
    if (figures.lifeUsed) {
        due.resourceExhausted = *figures.lifeUsed >= kResourceExhaustedShare;
        due.resourceHigh = !due.resourceExhausted && *figures.lifeUsed >= kResourceHighShare;
    }
    const sys_days readDay = std::chrono::floor<std::chrono::days>(line.last.readAt);
    due.readoutOld = readDay < MonthsOn(today, -kReadoutOldMonths);
    due.flagged = line.anyFlags.recorderChanged || line.anyFlags.countersBack;
    return due;
}

int UrgencyOf(const DueItems& due) {
    if (due.lifeEnded || due.resourceExhausted) return 0;
    if (due.lifeEnding || due.resourceHigh) return 1;
    return due.Any() ? 2 : 3;
}

bool MoreUrgent(const FleetLine& a, const FleetLine& b, sys_days today) {
    const auto rank = [today](const FleetLine& line) {
        const ReadoutFigures& figures = line.last.figures;
        return std::tuple(UrgencyOf(DueOf(line, today)), !figures.normativeEnd.has_value(),
                          figures.normativeEnd.value_or(sys_days{}), !figures.lifeUsed.has_value(),
                          -figures.lifeUsed.value_or(0));
    };
    const auto rankA = rank(a);
    const auto rankB = rank(b);
    if (rankA != rankB) return rankA < rankB;
    return a.last.crane.registration < b.last.crane.registration;
}

}  // namespace zorvek::archive
