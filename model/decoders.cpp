#include "model/decoders.h"

#include <algorithm>
#include <vector>

#include "model/cp1251.h"
#include "model/text_field.h"

namespace zorvek {
namespace {

template <typename Block>
bool ReadBlock(MemoryReader& source, std::uint32_t address, Block& block, ProgressSink* progress) {
    return source
        .ReadMemory(address, block.bytes.data(), static_cast<std::uint32_t>(Block::kSize), progress)
        .Succeeded();
}

// Reads a list of records, marks the ones that cannot be trusted and orders
// the rest by time; invalid records keep their stored order at the end.
template <typename List>
bool ReadRecordList(MemoryReader& source, std::uint32_t address, List& list, ProgressSink* progress,
                    std::uint32_t latest) {
    using Record = typename List::value_type;
    std::vector<std::uint8_t> raw(Record::kSize * list.size());
    if (!source.ReadMemory(address, raw.data(), static_cast<std::uint32_t>(raw.size()), progress)) {
        return false;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(i * Record::kSize), Record::kSize,
                    list[i].bytes.begin());
    }
    TimeFloorBlock floor;
    if (!ReadBlock(source, memory_map::kTimeFloorAddress, floor, nullptr)) return false;

    for (Record& record : list) {
        const std::uint32_t time = record.Time();
        const bool valid =
            record.CrcOk() && time >= floor.Floor() && time <= latest && IsValidDateTime(time);
        if (!valid) record.SetTime(kInvalidTime);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Record& a, const Record& b) { return a.Time() < b.Time(); });
    return true;
}

}  // namespace

bool ReadStatistics(MemoryReader& source, std::uint32_t address, StatisticsBlock& block) {
    return ReadBlock(source, address, block, nullptr) && block.CrcOk();
}

bool ReadMechanismCounters(MemoryReader& source, std::uint32_t address, MechanismCounters& block) {
    if (!ReadBlock(source, address, block, nullptr)) return false;
    const bool ok = block.CrcOk();
    if (source.Kind() != SourceKind::Recorder) return ok;
    if (!ok) return false;
    LiveCounters live;
    if (!ReadBlock(source, memory_map::kLiveCountersAddress, live, nullptr)) return false;
    AddLiveCounters(block, live);
    return true;
}

bool ReadCycleList(MemoryReader& source, std::uint32_t address, CycleList& list,
                   ProgressSink* progress) {
    return ReadRecordList(source, address, list, progress, kInvalidTime);
}

bool ReadHourList(MemoryReader& source, HourList& list, ProgressSink* progress,
                  const Clock& clock) {
    return ReadRecordList(source, memory_map::kHourListAddress, list, progress, PackNow(clock));
}

std::string MechanismName(MemoryReader& source, int index) {
    static const std::string kNames[] = {
        Cp1251FromUtf8("Грузовая лебедка"),
        Cp1251FromUtf8("Механизм подъема/опускания стрелы"),
        Cp1251FromUtf8("Механизм телескопирования"),
        Cp1251FromUtf8("Механизм поворота стрелы"),
    };
    if (index >= 0 && index < 4) return kNames[index];
    if (index != 4) return {};
    std::uint8_t field[memory_map::kMechanismNameSize];
    if (!source.ReadMemory(memory_map::kMechanismNameAddress, field, sizeof field, nullptr)) {
        return {};
    }
    return TextFromBuffer(field, sizeof field);
}

void AddLiveCounters(MechanismCounters& block, const LiveCounters& live) {
    for (int range = 0; range < memory_map::kLoadRanges; ++range) {
        for (int mechanism = 0; mechanism < memory_map::kMechanisms; ++mechanism) {
            const auto switchOns = static_cast<std::uint16_t>(live.Word(10 * range + mechanism));
            const auto seconds = static_cast<std::uint16_t>(live.Word(10 * range + 5 + mechanism));
            const std::size_t countAt = MechanismCounters::SwitchOnOffset(range, mechanism);
            const auto stored = static_cast<std::uint16_t>(LoadLe(block.bytes, countAt, 2));
            StoreLe(block.bytes, countAt, 2, AddU16Saturated(stored, switchOns));
            AddU24Saturated(block.bytes.data() + MechanismCounters::TimeOffset(range, mechanism),
                            seconds);
        }
    }
}

std::uint16_t AddU16Saturated(std::uint16_t field, std::uint16_t increment) {
    const std::uint32_t sum = std::uint32_t{field} + increment;
    return sum > 0xFFFF ? std::uint16_t{0xFFFF} : static_cast<std::uint16_t>(sum);
}

void AddU24Saturated(std::uint8_t* field, std::uint16_t increment) {
    const std::uint32_t stored = field[0] | field[1] << 8 | field[2] << 16;
    StoreU24(Mask24(stored) + increment, field);
}

void StoreU24(std::uint32_t value, std::uint8_t* out) {
    if (value >= 0x1000000) value = 0xFFFFFF;
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    out[2] = static_cast<std::uint8_t>(value >> 16);
}

}  // namespace zorvek
