#include "sim/crane_activity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/records.h"

namespace zorvek::sim {
namespace {

// What stays the same all day on one site.
struct SiteDay {
    std::uint8_t mode = 1;
    std::uint8_t coordLimits = 0;
    // The power-line sensor's reading when no line is near.
    std::uint8_t powerLine = 0;
    // 1..5 when a line of that class runs near the site.
    int lineRange = 0;
    int windTenths = 0;
    std::int8_t rollLongitudinal = 0;
    std::int8_t rollTransverse = 0;
};

constexpr int kRangeLow[] = {3, 26, 51, 76, 101, 111, 121, 131};
constexpr int kRangeHigh[] = {25, 50, 75, 100, 110, 120, 130, 150};

constexpr float kBooms[] = {9.6f, 13.6f, 17.7f, 21.8f, 25.9f, 30.2f};
constexpr double kBoomWeights[] = {0.35, 0.25, 0.17, 0.12, 0.07, 0.04};

bool WorksOn(DeterministicRandom& random, int weekday) {
    if (weekday == 6) return random.Chance(0.03);
    if (weekday == 5) return random.Chance(0.15);
    return random.Chance(0.55);
}

SiteDay PlanSite(DeterministicRandom& random) {
    SiteDay site;
    site.mode =
        static_cast<std::uint8_t>(random.Chance(0.8) ? random.Between(1, 3) : random.Between(4, 6));
    if (random.Chance(0.35)) site.coordLimits = static_cast<std::uint8_t>(random.Between(1, 15));
    static constexpr std::uint8_t kSensor[] = {0x20, 0x00, 0x10};
    static constexpr double kSensorWeights[] = {0.5, 0.35, 0.15};
    site.powerLine = kSensor[random.Weighted(kSensorWeights)];
    if (random.Chance(0.12)) site.lineRange = random.Between(1, 5);
    site.windTenths = random.Chance(0.1) ? random.Between(70, 110) : random.Between(5, 70);
    site.rollLongitudinal = static_cast<std::int8_t>(random.Between(-1, 1));
    site.rollTransverse = static_cast<std::int8_t>(random.Between(-1, 1));
    return site;
}

std::int8_t Wobble(DeterministicRandom& random, std::int8_t base) {
    return static_cast<std::int8_t>(base + (random.Chance(0.04) ? random.Between(-1, 1) : 0));
}

// The limiter's own thresholds.
void RaiseAlarms(CraneState& s) {
    if (s.loadPercent >= 95) s.limits |= flags::kDangerousLoadWarning;
    if (s.loadPercent >= 110) s.limits |= flags::kOverloadProtection;
    if (s.radius < kMinRadius + 0.3f) s.limits |= flags::kMinRadiusWarning;
    if (s.radius < kMinRadius) s.limits |= flags::kMinRadiusProtection;
    if (s.radius > MaxRadius(s.boomLength) - 0.5f) s.limits |= flags::kMaxRadiusWarning;
    if (s.radius > MaxRadius(s.boomLength)) s.limits |= flags::kMaxRadiusProtection;
    if (s.windTenths >= 100) s.zone |= flags::kWindWarning;
    if (s.windTenths >= 140) s.zone |= flags::kWindProtection;
    const int rollX = std::abs(s.rollLongitudinal);
    const int rollY = std::abs(s.rollTransverse);
    if (rollX >= 2) s.tilt |= flags::kTiltXWarning;
    if (rollX >= 3) s.tilt |= flags::kTiltXProtection;
    if (rollY >= 2) s.tilt |= flags::kTiltYWarning;
    if (rollY >= 3) s.tilt |= flags::kTiltYProtection;
}

CraneState StartState(DeterministicRandom& random, const SiteDay& site) {
    CraneState s;
    s.mode = site.mode;
    s.coord = site.coordLimits;
    s.powerLine = site.lineRange != 0 ? static_cast<std::uint8_t>(site.lineRange) : site.powerLine;
    s.windTenths =
        static_cast<std::uint8_t>(std::clamp(site.windTenths + random.Between(-15, 20), 0, 255));
    s.rollLongitudinal = Wobble(random, site.rollLongitudinal);
    s.rollTransverse = Wobble(random, site.rollTransverse);
    const float boom = kBooms[random.Weighted(kBoomWeights)];
    s.boomLength = boom + static_cast<float>(random.Real(-0.03, 0.03));
    s.radius = static_cast<float>(random.Real(kMinRadius + 0.2, MaxRadius(s.boomLength) * 0.85));
    s.capacity = CapacityAt(s.radius, s.boomLength);
    const auto range = random.Weighted(kLoadRangeShares);
    s.loadPercent = static_cast<std::uint8_t>(random.Between(kRangeLow[range], kRangeHigh[range]));
    s.loadWeight = s.capacity * static_cast<float>(s.loadPercent) / 100.0f;
    s.azimuth = static_cast<float>(random.Real(0.0, 360.0));
    return s;
}

// The load is set down elsewhere: slewed and luffed, the same weight on a
// different share of the capacity.
CraneState EndState(DeterministicRandom& random, const CraneState& start) {
    CraneState s = start;
    s.azimuth =
        static_cast<float>(std::fmod(start.azimuth + random.Real(-150.0, 150.0) + 360.0, 360.0));
    const float maxRadius = MaxRadius(s.boomLength);
    s.radius = std::clamp(start.radius * static_cast<float>(random.Real(0.85, 1.15)),
                          kMinRadius + 0.1f, maxRadius * 0.95f);
    s.capacity = CapacityAt(s.radius, s.boomLength);
    const float percent = s.capacity > 0.0f ? start.loadWeight / s.capacity * 100.0f : 0.0f;
    s.loadPercent = static_cast<std::uint8_t>(std::clamp(std::lround(percent), 0L, 255L));
    return s;
}

// Rare events of a cycle, on top of what the thresholds raise.
void AddIncidents(DeterministicRandom& random, const SiteDay& site, WorkCycle& cycle) {
    CraneState& end = cycle.atEnd;
    auto both = [&](FlagByte which, std::uint8_t bit) {
        ShowFlagBit(cycle.atStart, which, bit, random);
        end.mode = cycle.atStart.mode;
    };
    if (random.Chance(0.03)) both(FlagByte::Mode, flags::kModeAuxiliary);
    if (random.Chance(0.004)) both(FlagByte::Mode, flags::kModeAdjustment);
    if (random.Chance(0.008)) both(FlagByte::Mode, flags::kModeBlocking);
    if (random.Chance(0.006))
        ShowFlagBit(end, FlagByte::Limits, flags::kHookAtTopProtection, random);
    if (random.Chance(0.01)) ShowFlagBit(end, FlagByte::Limits, flags::kMinRadiusWarning, random);
    if (random.Chance(0.004))
        ShowFlagBit(end, FlagByte::Limits, flags::kMinRadiusProtection, random);
    if (random.Chance(0.01)) ShowFlagBit(end, FlagByte::Limits, flags::kMaxRadiusWarning, random);
    if (random.Chance(0.004))
        ShowFlagBit(end, FlagByte::Limits, flags::kMaxRadiusProtection, random);
    if (site.coordLimits != 0 && random.Chance(0.07)) {
        // Only a limit that is set can be reached.
        int limit = random.Between(0, 3);
        while ((site.coordLimits & (1 << limit)) == 0) limit = (limit + 1) % 4;
        ReachCoordinateLimit(end, limit, random.Chance(0.3));
    }
    if (site.lineRange != 0) {
        if (random.Chance(0.25)) end.zone |= flags::kPowerLineWarning;
        if (random.Chance(0.05)) end.zone |= flags::kPowerLineWarning | flags::kPowerLineProtection;
    }
    if (random.Chance(0.01)) cycle.atStart.powerLine = end.powerLine = 0x30;  // antenna lost
    if (random.Chance(0.003)) ShowFlagBit(end, FlagByte::PowerLine, 0x08, random);
}

void RunMechanisms(DeterministicRandom& random, WorkCycle& cycle, bool firstOfDay) {
    const auto duration = static_cast<double>(cycle.durationSeconds);
    auto run = [&](int mechanism, int switchOns, std::uint32_t seconds) {
        cycle.switchOns[mechanism] =
            static_cast<std::uint16_t>(cycle.switchOns[mechanism] + switchOns);
        cycle.mechanismSeconds[mechanism] += seconds;
    };
    // The seconds are drawn before the switch-ons, each in a statement of its
    // own: the order of a call's arguments is the compiler's choice, and a
    // seed must give the same image with any compiler.
    const auto hoistSeconds = static_cast<std::uint32_t>(duration * random.Real(0.35, 0.6));
    run(0, random.Between(2, 4), hoistSeconds);
    if (random.Chance(0.45)) {
        const auto seconds = static_cast<std::uint32_t>(random.Between(8, 40));
        run(1, random.Between(1, 2), seconds);
    }
    if (random.Chance(0.2)) run(2, 1, static_cast<std::uint32_t>(random.Between(10, 45)));
    if (random.Chance(0.85)) {
        const auto seconds = static_cast<std::uint32_t>(random.Between(10, 60));
        run(3, random.Between(1, 3), seconds);
    }
    if (firstOfDay) {
        // The outriggers go out before the first lift; the recorder sees the
        // fifth mechanism running as the cycle starts.
        run(4, 2, static_cast<std::uint32_t>(random.Between(60, 150)));
        cycle.atStart.tilt |= flags::kNamedMechanismRunning;
    }
}

WorkCycle MakeCycle(DeterministicRandom& random, const SiteDay& site, SimSeconds start,
                    std::uint16_t duration, bool firstOfDay) {
    WorkCycle cycle;
    cycle.start = start;
    cycle.durationSeconds = duration;
    cycle.atStart = StartState(random, site);
    cycle.atEnd = EndState(random, cycle.atStart);
    RaiseAlarms(cycle.atStart);
    RaiseAlarms(cycle.atEnd);
    RunMechanisms(random, cycle, firstOfDay);
    AddIncidents(random, site, cycle);
    // The end record keeps every alarm the cycle raised.
    cycle.atEnd.limits |= cycle.atStart.limits;
    cycle.atEnd.tilt |=
        static_cast<std::uint8_t>(cycle.atStart.tilt & ~flags::kNamedMechanismRunning);
    cycle.atEnd.zone |= cycle.atStart.zone;
    return cycle;
}

std::vector<WorkCycle> WorkDay(DeterministicRandom& random, SimSeconds day, SimSeconds until) {
    const SiteDay site = PlanSite(random);
    const SimSeconds shiftStart = day + random.Between(7 * 60 + 30, 10 * 60) * kMinute;
    const SimSeconds shiftEnd = day + random.Between(13 * 60, 18 * 60) * kMinute;
    const SimSeconds lunch = day + 12 * kHour;
    std::vector<WorkCycle> cycles;
    SimSeconds t = shiftStart + random.Between(5, 40) * kMinute;
    while (true) {
        const auto duration = static_cast<std::uint16_t>(random.Between(40, 420));
        if (t + duration > shiftEnd || t + duration >= until) break;
        cycles.push_back(MakeCycle(random, site, t, duration, cycles.empty()));
        t += duration + random.Between(60, 2400);
        if (t >= lunch && t < lunch + kHour) t = lunch + kHour + random.Between(0, 900);
    }
    return cycles;
}

}  // namespace

std::vector<WorkCycle> SimulateWork(DeterministicRandom& random, SimSeconds until, int count) {
    std::vector<std::vector<WorkCycle>> days;
    std::size_t total = 0;
    const auto wanted = static_cast<std::size_t>(std::max(count, 0));
    for (SimSeconds day = StartOfDay(until); total < wanted; day -= kDay) {
        // Until the first cycle is found, every day is worked, so the newest
        // records lie close to `until`.
        if (total != 0 && !WorksOn(random, Weekday(day))) continue;
        days.push_back(WorkDay(random, day, until));
        total += days.back().size();
    }
    std::vector<WorkCycle> cycles;
    cycles.reserve(total);
    for (auto day = days.rbegin(); day != days.rend(); ++day)
        cycles.insert(cycles.end(), day->begin(), day->end());
    cycles.erase(cycles.begin(), cycles.begin() + static_cast<std::ptrdiff_t>(total - wanted));
    return cycles;
}

void EnsureTrips(std::vector<WorkCycle>& cycles, int atLeast, DeterministicRandom& random) {
    auto tripped = static_cast<int>(std::count_if(cycles.begin(), cycles.end(),
                                                  [](const WorkCycle& c) { return c.Tripped(); }));
    const int count = static_cast<int>(cycles.size());
    while (tripped < std::min(atLeast, count)) {
        WorkCycle& cycle = cycles[static_cast<std::size_t>(random.Between(0, count - 1))];
        if (cycle.Tripped()) continue;
        TripProtection(cycle.atEnd, random);
        ++tripped;
    }
}

}  // namespace zorvek::sim
