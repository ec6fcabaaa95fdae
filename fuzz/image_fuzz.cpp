// Any 64 KiB image, read as `zorvek-cli info` and the documents read it: the
// format check and the marks, the passport texts, both statistics and
// counter blocks with the duty figures, the cycle and hour lists and the
// lines printed of the cycles. Inputs past 64 KiB are read from the recorder
// itself: the rest fills the working memory its live counters come from.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "model/cycle_line.h"
#include "model/decoders.h"
#include "model/duty_class.h"
#include "model/format_check.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "model/text_field.h"
#include "tests/support/image_reader.h"

namespace {

using namespace zorvek;

class FixedClock final : public Clock {
  public:
    LocalDateTime Now() const override { return {2026, 12, 8, 12, 0, 0}; }
};

void ReadPassport(MemoryReader& source, PassportSheet& sheet) {
    std::array<std::uint8_t, memory_map::kPassportSize> passport{};
    if (!source.ReadMemory(memory_map::kPassportAddress, passport.data(), memory_map::kPassportSize,
                           nullptr)) {
        return;
    }
    for (std::uint32_t row = 0; row < memory_map::kPassportTextCount; ++row) {
        const auto field = std::span(passport).subspan(row * memory_map::kPassportTextSize,
                                                       memory_map::kPassportTextSize);
        sheet.SetValue(static_cast<int>(row), TextFromBuffer(field, memory_map::kPassportTextSize));
    }
}

void ReadLists(MemoryReader& source) {
    for (const std::uint32_t address :
         {memory_map::kLastCyclesAddress, memory_map::kProtectionCyclesAddress}) {
        CycleList list;
        if (!ReadCycleList(source, address, list, nullptr)) continue;
        for (const CycleRecord& record : list) {
            if (record.IsValid()) CycleLine(record);
        }
    }
    auto hours = std::make_unique<HourList>();
    static const FixedClock clock;
    ReadHourList(source, *hours, nullptr, clock);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The working memory counts only with the recorder itself as source.
    test::ImageReader source(size > memory_map::kImageSize ? SourceKind::Recorder
                                                           : SourceKind::DumpFile);
    const std::size_t imageBytes = std::min(size, source.image.size());
    std::copy_n(data, imageBytes, source.image.begin());
    std::copy_n(data + imageBytes, std::min(size - imageBytes, source.ram.size()),
                source.ram.begin());

    CheckDataFormat(source);
    CheckEndOfCopyMark(source);
    PassportSheet sheet;
    ReadPassport(source, sheet);
    for (int mechanism = 0; mechanism < 6; ++mechanism) MechanismName(source, mechanism);
    for (const std::uint32_t address :
         {memory_map::kStatisticsTotalAddress, memory_map::kStatisticsSinceAddress}) {
        StatisticsBlock block;
        if (ReadStatistics(source, address, block)) AssessDuty(DutyInputsOf(block, sheet));
    }
    for (const std::uint32_t address :
         {memory_map::kCountersTotalAddress, memory_map::kCountersSinceAddress}) {
        MechanismCounters counters;
        ReadMechanismCounters(source, address, counters);
    }
    ReadLists(source);
    return 0;
}
