#include "sim/counter_blocks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "model/bits.h"
#include "model/memory_map.h"
#include "model/records.h"

namespace zorvek::sim {
namespace {

constexpr int kRanges = memory_map::kLoadRanges;
constexpr int kMechanisms = memory_map::kMechanisms;

// Counts of one period per load range, and per mechanism within it.
struct Tally {
    std::array<std::uint32_t, kRanges> cycles{};
    std::array<std::uint32_t, kRanges> seconds{};
    std::array<double, kRanges> tonnes{};
    std::array<std::array<std::uint32_t, kMechanisms>, kRanges> switchOns{};
    std::array<std::array<std::uint32_t, kMechanisms>, kRanges> mechanismSeconds{};

    std::uint32_t OperatingSeconds() const {
        std::uint32_t sum = 0;
        for (auto s : seconds) sum += s;
        return sum;
    }

    Tally& operator+=(const Tally& other) {
        for (int r = 0; r < kRanges; ++r) {
            cycles[r] += other.cycles[r];
            seconds[r] += other.seconds[r];
            tonnes[r] += other.tonnes[r];
            for (int m = 0; m < kMechanisms; ++m) {
                switchOns[r][m] += other.switchOns[r][m];
                mechanismSeconds[r][m] += other.mechanismSeconds[r][m];
            }
        }
        return *this;
    }
};

Tally CountCycles(const std::vector<WorkCycle>& cycles, SimSeconds from, SimSeconds to) {
    Tally tally;
    for (const WorkCycle& cycle : cycles) {
        if (cycle.start < from || cycle.End() > to) continue;
        const int r = cycle.LoadRange();
        ++tally.cycles[r];
        tally.seconds[r] += cycle.durationSeconds;
        tally.tonnes[r] += std::max(cycle.atStart.loadWeight, cycle.atEnd.loadWeight);
        for (int m = 0; m < kMechanisms; ++m) {
            tally.switchOns[r][m] += cycle.switchOns[m];
            tally.mechanismSeconds[r][m] += cycle.mechanismSeconds[m];
        }
    }
    return tally;
}

// The years before the recent records, which the recorder kept only as counts.
Tally DrawHistory(DeterministicRandom& random, SimSeconds from, SimSeconds to) {
    // Per cycle: switch-ons of winch, boom hoist, telescoping, slewing; the
    // outriggers go by working days instead.
    static constexpr double kSwitchOnsPerCycle[] = {3.0, 0.7, 0.2, 1.7, 0.0};
    static constexpr double kSecondsPerSwitchOn[] = {32.0, 16.0, 27.0, 17.0, 52.0};
    Tally tally;
    const double years = static_cast<double>(std::max<SimSeconds>(to - from, 0)) / (365.25 * kDay);
    const double cycles = years * random.Real(1400.0, 2600.0);
    const double averageCapacity = random.Real(7.0, 10.0);
    for (int r = 0; r < kRanges; ++r) {
        const double n = std::round(cycles * kLoadRangeShares[r] * random.Real(0.85, 1.15));
        tally.cycles[r] = static_cast<std::uint32_t>(n);
        tally.seconds[r] = static_cast<std::uint32_t>(n * random.Real(150.0, 260.0));
        tally.tonnes[r] = n * averageCapacity * kLoadRangeTypicalPercent[r] / 100.0;
        for (int m = 0; m < kMechanisms; ++m) {
            const double switchOns = std::round(n * kSwitchOnsPerCycle[m] * random.Real(0.9, 1.1));
            tally.switchOns[r][m] = static_cast<std::uint32_t>(switchOns);
            tally.mechanismSeconds[r][m] = static_cast<std::uint32_t>(
                switchOns * kSecondsPerSwitchOn[m] * random.Real(0.9, 1.1));
        }
    }
    // Outriggers: out and in once a working day, before any load is taken.
    const double workingDays = cycles / random.Real(18.0, 26.0);
    tally.switchOns[0][4] = static_cast<std::uint32_t>(std::round(workingDays * 2.0));
    tally.mechanismSeconds[0][4] = static_cast<std::uint32_t>(
        tally.switchOns[0][4] * kSecondsPerSwitchOn[4] * random.Real(0.9, 1.1));
    return tally;
}

// The recorder's counters stop at their largest value rather than wrap.
std::uint32_t Saturate16(std::uint32_t v) { return std::min<std::uint32_t>(v, 0xFFFF); }
std::uint32_t Saturate24(std::uint32_t v) { return std::min<std::uint32_t>(v, 0xFFFFFF); }

// How heavy the load spectrum is: the mean cube of the relative load.
float CharacteristicNumber(const Tally& tally) {
    double all = 0.0;
    double weighted = 0.0;
    for (int r = 0; r < kRanges; ++r) {
        const double share = kLoadRangeTypicalPercent[r] / 100.0;
        all += tally.cycles[r];
        weighted += tally.cycles[r] * share * share * share;
    }
    return all > 0.0 ? static_cast<float>(weighted / all) : 0.0f;
}

void WriteStatistics(std::span<std::uint8_t> block, const Tally& tally, SimSeconds start,
                     SimSeconds end) {
    StoreLe(block, 0, 4, PackSeconds(start));
    for (int r = 0; r < kRanges; ++r) {
        StoreLe(block, 4 + 2 * r, 2, Saturate16(tally.cycles[r]));
        StoreLe(block, 20 + 3 * r, 3, Saturate24(tally.seconds[r]));
        StoreLe(block, 44 + 4 * r, 4,
                std::bit_cast<std::uint32_t>(static_cast<float>(tally.tonnes[r])));
    }
    StoreLe(block, 76, 4, std::bit_cast<std::uint32_t>(CharacteristicNumber(tally)));
    StoreLe(block, 80, 4, PackSeconds(end));
    SealBlock(block);
}

// The bytes no report reads carry the period's bounds.
void WriteMechanismCounters(std::span<std::uint8_t> block, const Tally& tally, SimSeconds start,
                            SimSeconds end) {
    StoreLe(block, 0, 4, PackSeconds(start));
    for (int r = 0; r < kRanges; ++r) {
        for (int m = 0; m < kMechanisms; ++m) {
            StoreLe(block, MechanismCounters::SwitchOnOffset(r, m), 2,
                    Saturate16(tally.switchOns[r][m]));
            StoreLe(block, MechanismCounters::TimeOffset(r, m), 3,
                    Saturate24(tally.mechanismSeconds[r][m]));
        }
    }
    StoreLe(block, 204, 4, PackSeconds(end));
    SealBlock(block);
}

void WriteOnTime(std::span<std::uint8_t> counter, std::uint32_t seconds) {
    StoreLe(counter, 0, 4, seconds);
    counter[4] = 0;
}

}  // namespace

void WriteCounters(Image& image, const std::vector<WorkCycle>& recent,
                   const ServicePeriods& periods, DeterministicRandom& random) {
    using namespace memory_map;
    const Tally since = CountCycles(recent, periods.lastReading, periods.reading);
    Tally total = DrawHistory(random, periods.installed, periods.lastReading);
    const std::uint32_t historySeconds = total.OperatingSeconds();
    total += since;

    // The recorder is powered whenever the engine runs, far longer than the
    // crane lifts.
    const auto sincePowered =
        static_cast<std::uint32_t>(since.OperatingSeconds() * random.Real(2.5, 4.0));
    const auto historyPowered = static_cast<std::uint32_t>(historySeconds * random.Real(2.5, 4.0));
    WriteOnTime(ImageSpan(image, kOnTimeTotalAddress, kOnTimeCounterSize),
                historyPowered + sincePowered);
    WriteOnTime(ImageSpan(image, kOnTimeSinceAddress, kOnTimeCounterSize), sincePowered);

    WriteStatistics(ImageSpan(image, kStatisticsTotalAddress, kStatisticsBlockSize), total,
                    periods.installed, periods.reading);
    WriteStatistics(ImageSpan(image, kStatisticsSinceAddress, kStatisticsBlockSize), since,
                    periods.lastReading, periods.reading);
    WriteMechanismCounters(ImageSpan(image, kCountersTotalAddress, kMechanismCountersSize), total,
                           periods.installed, periods.reading);
    WriteMechanismCounters(ImageSpan(image, kCountersSinceAddress, kMechanismCountersSize), since,
                           periods.lastReading, periods.reading);
}

}  // namespace zorvek::sim
