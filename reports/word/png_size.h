#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zorvek {

struct PngSize {
    int width = 0;   // pixels
    int height = 0;  // pixels
    // Horizontal resolution from the picture's pHYs chunk; 0 when it gives
    // none (or not in metres).
    int dotsPerMetre = 0;
};

// The picture size from a PNG's header chunk, and its resolution where a
// pHYs chunk before the image data gives one; nullopt when the bytes do not
// start like a PNG or give a zero size.
std::optional<PngSize> ReadPngSize(std::span<const std::uint8_t> png);

}  // namespace zorvek
