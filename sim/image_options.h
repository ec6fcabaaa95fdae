#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/format.h"

namespace zorvek::sim {

// What is wrong with a generated image, if anything.
enum class ImageVariant : std::uint8_t {
    Valid,           // complete and intact, end-of-copy mark included, new-data mark 0
    ReaderCopy,      // as Valid, with the reader's new-data mark (123) still set
    WrongSignature,  // first byte 01 instead of 02: data version 55AA0501
    Truncated,       // the file is 65,535 bytes
    Extended,        // the file is 65,537 bytes
    BadChecksums,    // both statistics and both counter blocks have their CRC off by one
    EmptyLists,      // every cycle and hour record is all 0xFF
    NoEndMark,       // the reader's end-of-copy mark is missing
};

struct VariantName {
    ImageVariant variant;
    std::string_view name;
    std::string_view description;
};

// Every variant with its command-line name, in declaration order.
std::span<const VariantName> Variants();
std::optional<ImageVariant> VariantFromName(std::string_view name);
std::string_view NameOfVariant(ImageVariant variant);

// A fixed present so that images are reproducible; the newest records lie
// shortly before it.
inline constexpr LocalDateTime kDefaultNow{2026, 4, 15, 10, 30, 0};

inline constexpr int kEarliestNowYear = 2010;

struct ImageOptions {
    std::uint32_t seed = 1;
    ImageVariant variant = ImageVariant::Valid;
    // The reading time; no record lies after it. Years kEarliestNowYear to
    // kLastYear: the years of service before it must stay within the packed
    // years.
    LocalDateTime now = kDefaultNow;
};

}  // namespace zorvek::sim
