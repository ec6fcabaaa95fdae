#pragma once

#include <chrono>

#include "archive/readout_archive.h"

// What a crane of the fleet needs soon, judged from its line alone and the
// day it is judged on, so that the fleet list, the window and the fleet
// report mark the same cranes.
namespace zorvek::archive {

// Months before the normative end from which a crane is marked.
inline constexpr int kLifeEndingMonths = 6;
// The share of the group's design life from which a crane is marked, and
// the share at which it is used up.
inline constexpr double kResourceHighShare = 0.8;
inline constexpr double kResourceExhaustedShare = 1.0;
// Months after which a crane's newest read-out is old.
inline constexpr int kReadoutOldMonths = 12;

struct DueItems {
    // The normative service life has ended: its end is today or before.
    bool lifeEnded = false;
    // It ends after today, but no later than six calendar months from today.
    bool lifeEnding = false;
    // At least 80 % of the group's design life used, and less than all.
    bool resourceHigh = false;
    // All of it used.
    bool resourceExhausted = false;
    // The newest read-out's day lies more than twelve calendar months before
    // today (exactly twelve months is not yet old).
    bool readoutOld = false;
    // Any of the crane's read-outs flagged (recorder changed, counters back).
    bool flagged = false;

    bool Any() const {
        return lifeEnded || lifeEnding || resourceHigh || resourceExhausted || readoutOld ||
               flagged;
    }
};

// `today` is the local calendar day. A month on from a day the month does
// not have (31 August + 6 months) is the month's last day. The newest
// read-out's day is the UTC day of its time.
DueItems DueOf(const FleetLine& line, std::chrono::sys_days today);

// 0 for a crane past its limits (life ended or resource used up), 1 for one
// close to them (life ending, resource high), 2 for one due otherwise (old
// read-out, flags), 3 for one with nothing due.
int UrgencyOf(const DueItems& due);

// Whether `a` comes before `b` when the fleet is ordered by urgency: the
// lower UrgencyOf first, then the nearer normative end (cranes without one
// after every date), then the more life used (unknown last), then the
// registration number.
bool MoreUrgent(const FleetLine& a, const FleetLine& b, std::chrono::sys_days today);

}  // namespace zorvek::archive
