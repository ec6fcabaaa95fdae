#include "archive/image_facts.h"

#include <cstring>

#include "model/decoders.h"
#include "model/duty_class.h"
#include "model/format_check.h"
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

}  // namespace

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
