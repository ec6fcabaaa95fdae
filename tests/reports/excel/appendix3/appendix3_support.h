#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "model/cp1251.h"
#include "model/format.h"
#include "model/records.h"
#include "model/sinks.h"
#include "reports/excel/appendix3/title_sink.h"
#include "sim/packed_real.h"

namespace zorvek::test {

// Byte offsets of the hour record's fields.
enum HourByte : std::size_t {
    kMode = 7,
    kLimit = 8,
    kTilt = 9,
    kZone = 10,
    kCoord = 12,
    kPowerLine = 13,
    kLoadPercent = 14,
    kWind = 15,
    kRollLong = 16,
    kRollTrans = 17,
    kEvent = 28,
};
// Offsets of the packed reals.
enum HourReal : std::size_t {
    kWeight = 18,
    kBoom = 20,
    kRadius = 22,
    kAzimuth = 24,
    kCapacity = 26
};

// A record of 15.04.26 9:mm:00 with some bytes and reals set.
inline HourRecord Hour(int minute, std::initializer_list<std::pair<HourByte, int>> bytes = {},
                       std::initializer_list<std::pair<HourReal, float>> reals = {}) {
    HourRecord record;
    record.SetTime(PackDateTime({2026, 4, 15, 9, minute, 0}));
    for (auto [offset, value] : bytes) record.bytes[offset] = static_cast<std::uint8_t>(value);
    for (auto [offset, value] : reals) StoreLe(record.bytes, offset, 2, sim::PackFloat16(value));
    return record;
}

// As the decoder leaves a list: these records first, every other slot invalid.
inline HourList HourListOf(const std::vector<HourRecord>& records) {
    HourList list;
    for (HourRecord& record : list) record.SetTime(kInvalidTime);
    std::copy(records.begin(), records.end(), list.begin());
    return list;
}

struct FixedClock final : Clock {
    explicit FixedClock(LocalDateTime t) : now(t) {}
    LocalDateTime Now() const override { return now; }
    LocalDateTime now;
};

// Appendix 3 shows no messages of its own.
struct NoMessages final : Notifier {
    void Notify(std::string_view) override { ADD_FAILURE() << "unexpected message"; }
};

// Titles in UTF-8, and how often the window was let breathe.
struct RecordingTitle final : TitleSink {
    void SetTitle(std::string_view text) override { titles.push_back(Utf8FromCp1251(text)); }
    void ProcessPendingMessages() override { ++pumps; }
    std::vector<std::string> titles;
    int pumps = 0;
};

}  // namespace zorvek::test
