#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/readout_archive.h"
#include "model/format.h"

namespace zorvek::archive {

// What the archive keeps of an image besides its bytes: the crane it comes
// from, the recorder's twenty passport texts and the figures of its load
// statistics, as the documents print them.
struct ImageFacts {
    CraneIdentity crane;
    std::vector<std::string> passport;  // 20 texts, cp1251, as the passport sheet shows them
    ReadoutFigures figures;
};

// Nothing unless `image` is 65,536 bytes of the recorder's data format.
std::optional<ImageFacts> FactsOfImage(std::span<const std::uint8_t> image);

struct ImageTime {
    std::chrono::sys_seconds at{};
    ReadTimeSource source = ReadTimeSource::ImageRecord;
};

// When the image was read out, as far as it tells itself: its newest valid
// cycle or hour record (checksum, the time floor, a real date), else the
// later end of a statistics period whose checksum holds; nothing when it
// holds neither. Times after `now` are the recorder's clock gone wrong and
// not believed. The recorder keeps this machine's local time.
std::optional<ImageTime> ReadTimeOfImage(std::span<const std::uint8_t> image,
                                         std::chrono::sys_seconds now);

// A local date and time as a moment; nothing for a date no calendar has
// (31 February) or fields out of range.
std::optional<std::chrono::sys_seconds> MomentOfLocal(const LocalDateTime& local);

}  // namespace zorvek::archive
