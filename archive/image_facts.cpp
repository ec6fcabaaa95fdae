#include "archive/image_facts.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

#include "model/decoders.h"
#include "model/duty_class.h"
#include "model/format_check.h"
#include "model/local_time.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "model/statistics_totals.h"
#include "model/text_field.h"

namespace zorvek::archive {
namespace {

namespace map = memory_map;

constexpr double kSecondsPerHour = 3600;

// The image read as the dispatch reads a dump file; the recorder's working
// memory is not part of an image.
class ImageMemory final : public MemoryReader {
  public:
    explicit ImageMemory(std::span<const std::uint8_t> image) : m_image(image) {}

    TransferResult ReadMemory(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                              ProgressSink*) override {
        if (count == 0) return TransferResult::Ok();
        const std::uint32_t offset = map::Offset(address);
        if (map::Bank(address) != map::Bank(map::kStoredBank) || offset + count > m_image.size()) {
            return TransferResult::Fail(TransferError::OutOfRange);
        }
        std::memcpy(buffer, m_image.data() + offset, count);
        return TransferResult::Ok();
    }
    SourceKind Kind() const override { return SourceKind::DumpFile; }

  private:
    std::span<const std::uint8_t> m_image;
};

PassportSheet SheetOf(std::span<const std::uint8_t> image) {
    PassportSheet sheet;
    for (std::uint32_t row = 0; row < map::kPassportTextCount; ++row) {
        const auto field =
            image.subspan(map::Offset(map::kPassportAddress) + row * map::kPassportTextSize,
                          map::kPassportTextSize);
        sheet.SetValue(static_cast<int>(row), TextFromBuffer(field, map::kPassportTextSize));
    }
    return sheet;
}

LocalDateTime Unpacked(std::uint32_t packed) {
    LocalDateTime local;
    local.year = 2000 + static_cast<int>(TakeBits(packed, 6));
    local.month = static_cast<int>(TakeBits(packed, 4));
    local.day = static_cast<int>(TakeBits(packed, 5));
    local.hour = static_cast<int>(TakeBits(packed, 5));
    local.minute = static_cast<int>(TakeBits(packed, 6));
    local.second = static_cast<int>(TakeBits(packed, 6));
    return local;
}

// The hour list takes no record from after this present.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(std::chrono::sys_seconds now) {
        const std::tm local = LocalTime(static_cast<std::time_t>(now.time_since_epoch().count()));
        m_now = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                 local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    LocalDateTime Now() const override { return m_now; }

  private:
    LocalDateTime m_now;
};

}  // namespace

std::optional<std::chrono::sys_seconds> MomentOfLocal(const LocalDateTime& local) {
    using namespace std::chrono;
    const year_month_day date{year(local.year), month(static_cast<unsigned>(local.month)),
                              day(static_cast<unsigned>(local.day))};
    if (!date.ok() || local.hour < 0 || local.hour > 23 || local.minute < 0 || local.minute > 59 ||
        local.second < 0 || local.second > 59) {
        return std::nullopt;
    }
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;  // whatever the date's own rule is
    const std::time_t moment = std::mktime(&fields);
    if (moment == static_cast<std::time_t>(-1)) return std::nullopt;
    return sys_seconds(seconds(moment));
}

std::optional<ImageTime> ReadTimeOfImage(std::span<const std::uint8_t> image,
                                         std::chrono::sys_seconds now) {
    if (image.size() != map::kImageSize) return std::nullopt;
    ImageMemory memory(image);
    std::optional<std::chrono::sys_seconds> newest;
    const auto consider = [&](std::uint32_t packed, std::optional<std::chrono::sys_seconds>& into) {
        if (packed == kInvalidTime || !IsValidDateTime(packed)) return;
        const auto moment = MomentOfLocal(Unpacked(packed));
        if (moment && *moment <= now && (!into || *moment > *into)) into = moment;
    };
    // Decoded as the documents decode them: a record they would not show
    // does not date the read-out either. Each list is ordered by time.
    const auto cycles = std::make_unique<CycleList>();
    for (const std::uint32_t address : {map::kLastCyclesAddress, map::kProtectionCyclesAddress}) {
        if (!ReadCycleList(memory, address, *cycles, nullptr)) continue;
        for (const CycleRecord& record : *cycles) consider(record.Time(), newest);
    }
    const auto hours = std::make_unique<HourList>();
    if (ReadHourList(memory, *hours, nullptr, FixedClock(now))) {
        for (auto record = hours->rbegin(); record != hours->rend(); ++record) {
            if (record->Time() == kInvalidTime) continue;
            consider(record->Time(), newest);
            break;
        }
    }
    if (newest) return ImageTime{*newest, ReadTimeSource::ImageRecord};
    std::optional<std::chrono::sys_seconds> periodEnd;
    for (const std::uint32_t address :
         {map::kStatisticsTotalAddress, map::kStatisticsSinceAddress}) {
        StatisticsBlock block;
        if (ReadStatistics(memory, address, block)) consider(block.PeriodEnd(), periodEnd);
    }
    if (periodEnd) return ImageTime{*periodEnd, ReadTimeSource::StatisticsEnd};
    return std::nullopt;
}

std::optional<ImageFacts> FactsOfImage(std::span<const std::uint8_t> image) {
    if (image.size() != map::kImageSize) return std::nullopt;
    ImageMemory memory(image);
    if (!CheckDataFormat(memory).Accepted()) return std::nullopt;

    ImageFacts facts;
    const PassportSheet sheet = SheetOf(image);
    for (int row = 0; row < PassportSheet::kRows; ++row) facts.passport.push_back(sheet.Value(row));
    facts.crane = {sheet.Value(PassportSheet::kRegistrationNumber),
                   sheet.Value(PassportSheet::kCraneSerial),
                   sheet.Value(PassportSheet::kRecorderSerial)};

    ReadoutFigures& figures = facts.figures;
    StatisticsBlock whole;
    StatisticsBlock period;
    figures.wholeLifeRead = ReadStatistics(memory, map::kStatisticsTotalAddress, whole);
    figures.periodRead = ReadStatistics(memory, map::kStatisticsSinceAddress, period);
    const DutyInputs wholeInputs = DutyInputsOf(whole, sheet);
    figures.passportGroup = wholeInputs.passportGroup;
    if (wholeInputs.serviceLife) figures.normativeEnd = wholeInputs.serviceLife->End();
    if (figures.periodRead) {
        const StatisticsTotals totals = TotalsOf(period);
        figures.periodCycles = totals.cycleTotal;
        figures.periodHours = totals.workingSeconds / kSecondsPerHour;
    }
    if (!figures.wholeLifeRead) return facts;

    // The same totals and assessment the protocol forms and the duty
    // appendix print, so that the archive and the documents agree.
    const StatisticsTotals totals = TotalsOf(whole);
    figures.totalCycles = totals.cycleTotal;
    figures.totalHours = totals.workingSeconds / kSecondsPerHour;
    figures.overloads = totals.overloadCycles;
    figures.overloadMass = totals.overloadMass;
    figures.liftedMass = totals.massTotal;
    const DutyAssessment wholeDuty = AssessDuty(wholeInputs);
    const DutyAssessment periodDuty =
        figures.periodRead ? AssessDuty(DutyInputsOf(period, sheet)) : DutyAssessment{};
    const LifeAssessment life = AssessLife(wholeInputs, wholeDuty, periodDuty);
    figures.kp = wholeDuty.kpUpperBound;
    figures.actualGroup = wholeDuty.group;
    figures.lifeUsed = life.usedShare;
    return facts;
}

}  // namespace zorvek::archive
