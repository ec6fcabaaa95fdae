#pragma once

#include <cstdint>
#include <vector>

#include "sim/image_bytes.h"
#include "sim/image_options.h"
#include "sim/record_lists.h"

namespace zorvek::sim {

// What a generated image holds, for those who check it.
struct ImageSummary {
    RecordMix hours;
    RecordMix lastCycles;
    RecordMix protectionCycles;
    // Packed times: the time floor, and the present the image was made for.
    std::uint32_t floor = 0;
    std::uint32_t now = 0;
};

// A recorder image for the options: the same seed and options always give
// the same bytes. It carries the variant's fault when that lies inside the
// image; the size variants give the intact image (see ImageFileBytes).
// Every variant of a seed is the Valid image of that seed with only its
// fault applied. `summary`, when given, receives what was generated.
Image GenerateImage(const ImageOptions& options, ImageSummary* summary = nullptr);

// The bytes of a dump file holding the image: 65,535 bytes for Truncated,
// 65,537 (a trailing 0xFF) for Extended, the image itself otherwise.
std::vector<std::uint8_t> ImageFileBytes(const Image& image, ImageVariant variant);

}  // namespace zorvek::sim
