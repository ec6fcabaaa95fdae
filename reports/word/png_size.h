#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zorvek {

struct PngSize {
    int width = 0;   // pixels
    int height = 0;  // pixels
};

// The picture size from a PNG's header chunk; nullopt when the bytes do not
// start like a PNG or give a zero size.
std::optional<PngSize> ReadPngSize(std::span<const std::uint8_t> png);

}  // namespace zorvek
