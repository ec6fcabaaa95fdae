#include "sim/image_generator.h"

#include <algorithm>

#include "model/bits.h"
#include "model/memory_map.h"
#include "sim/calendar.h"
#include "sim/counter_blocks.h"
#include "sim/crane_activity.h"
#include "sim/passport_texts.h"

namespace zorvek::sim {
namespace {

using namespace memory_map;

void WriteHeader(Image& image) {
    StoreLe(image, Offset(kFormatSignatureAddress), 4, kDataFormatSignature);
    image[4] = 0;
    StoreLe(image, Offset(kNewDataMarkAddress), 4, 0);
    image[9] = 0;
}

void WriteTimeFloor(Image& image, SimSeconds floor) {
    auto block = ImageSpan(image, kTimeFloorAddress, kTimeFloorBlockSize);
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    StoreLe(block, 0, 4, PackSeconds(floor));
}

// Cycle numbers run on over the service life; the idle months between the
// two eras added none.
void NumberCycles(std::vector<WorkCycle>& older, std::vector<WorkCycle>& recent,
                  DeterministicRandom& random) {
    auto number = static_cast<std::uint32_t>(random.Between(8000, 20000));
    for (WorkCycle& cycle : older) cycle.number = number++;
    for (WorkCycle& cycle : recent) cycle.number = number++;
}

void BumpCrc(Image& image, std::uint32_t address, std::uint32_t size) {
    ++image[Offset(address) + size - 1];
}

void ApplyVariant(Image& image, ImageVariant variant, ImageSummary& summary) {
    switch (variant) {
        case ImageVariant::Valid:
        case ImageVariant::Truncated:
        case ImageVariant::Extended:
            break;
        case ImageVariant::ReaderCopy:
            StoreLe(image, Offset(kNewDataMarkAddress), 4, kReaderNewDataValue);
            break;
        case ImageVariant::WrongSignature:
            image[0] = 0x01;
            break;
        case ImageVariant::BadChecksums:
            BumpCrc(image, kStatisticsTotalAddress, kStatisticsBlockSize);
            BumpCrc(image, kStatisticsSinceAddress, kStatisticsBlockSize);
            BumpCrc(image, kCountersTotalAddress, kMechanismCountersSize);
            BumpCrc(image, kCountersSinceAddress, kMechanismCountersSize);
            break;
        case ImageVariant::EmptyLists:
            for (auto [address, size] : {std::pair{kLastCyclesAddress, kCycleListSize},
                                         std::pair{kProtectionCyclesAddress, kCycleListSize},
                                         std::pair{kHourListAddress, kHourListSize}}) {
                auto list = ImageSpan(image, address, size);
                std::fill(list.begin(), list.end(), std::uint8_t{0xFF});
            }
            summary.hours = RecordMix{.empty = static_cast<int>(kHourRecordCount)};
            summary.lastCycles = RecordMix{.empty = static_cast<int>(kCycleRecordCount)};
            summary.protectionCycles = summary.lastCycles;
            break;
        case ImageVariant::NoEndMark:
            StoreLe(image, Offset(kEndOfCopyMarkAddress), 4, 0xFFFFFFFF);
            break;
    }
}

}  // namespace

Image GenerateImage(const ImageOptions& options, ImageSummary* summary) {
    DeterministicRandom random(options.seed);
    const SimSeconds now = SecondsFromLocal(options.now);
    const SimSeconds reading = now - random.Between(2, 15) * kMinute;
    const HourRingLayout layout = PlanHourRing(random);

    // The records since the time floor, ending a little before the reading;
    // the floor lies a few days before the oldest of them.
    std::vector<WorkCycle> recent = SimulateWork(
        random, reading - random.Between(20, 300) * kMinute, (layout.AfterFloor() + 1) / 2);
    // Draws go into named values, one per statement, so that every compiler
    // makes the same image of a seed.
    const int floorDaysBack = random.Between(1, 4);
    const int floorMinute = random.Between(8 * 60, 17 * 60);
    const SimSeconds floor =
        StartOfDay(recent.front().start) - floorDaysBack * kDay + floorMinute * kMinute;
    // The oldest records, from a season that ended weeks before the floor.
    std::vector<WorkCycle> older =
        SimulateWork(random, floor - random.Between(25, 80) * kDay, (layout.beforeFloor + 1) / 2);
    EnsureTrips(recent, kMaxRecentTrips, random);
    EnsureTrips(older, kMaxOlderTrips, random);
    NumberCycles(older, recent, random);
    std::vector<HourEvent> events = PlanHourEvents(older, recent, layout, random);
    ShowEveryFlag(events, random);

    ServicePeriods periods;
    const int installedDaysBack = random.Between(5 * 365, 7 * 365);
    const int installedMinute = random.Between(9 * 60, 15 * 60);
    periods.installed = StartOfDay(now - installedDaysBack * kDay) + installedMinute * kMinute;
    const int lastReadingDaysBack = random.Between(20, 45);
    const int lastReadingMinute = random.Between(9 * 60, 16 * 60);
    periods.lastReading = std::max(floor + kDay, StartOfDay(reading - lastReadingDaysBack * kDay) +
                                                     lastReadingMinute * kMinute);
    periods.reading = reading;
    const SimSeconds commissioned = StartOfDay(periods.installed - random.Between(0, 3) * kDay);
    const int craneYear = LocalFromSeconds(commissioned).year - (random.Chance(0.3) ? 1 : 0);

    Image image;
    image.fill(0xFF);
    WriteHeader(image);
    WritePassport(image, {commissioned, periods.installed, craneYear});
    WriteMechanismName(image);
    WriteCounters(image, recent, periods, random);
    WriteTimeFloor(image, floor);

    ImageSummary made;
    made.lastCycles =
        WriteLastCycles(ImageSpan(image, kLastCyclesAddress, kCycleListSize), recent, random);
    made.protectionCycles = WriteProtectionCycles(
        ImageSpan(image, kProtectionCyclesAddress, kCycleListSize), older, recent, random);
    made.hours =
        WriteHourList(ImageSpan(image, kHourListAddress, kHourListSize), events, layout, random);
    made.floor = PackSeconds(floor);
    made.now = PackSeconds(now);
    StoreLe(image, Offset(kEndOfCopyMarkAddress), 4, kDataFormatSignature);

    ApplyVariant(image, options.variant, made);
    if (summary != nullptr) *summary = made;
    return image;
}

std::vector<std::uint8_t> ImageFileBytes(const Image& image, ImageVariant variant) {
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    if (variant == ImageVariant::Truncated) bytes.pop_back();
    if (variant == ImageVariant::Extended) bytes.push_back(0xFF);
    return bytes;
}

}  // namespace zorvek::sim
