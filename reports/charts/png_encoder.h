#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// A PNG writer for the charts: 8-bit RGB, every row Sub-filtered and
// deflated with run-length matching, bands of rows in parallel. Charts are
// mostly flat areas, which this packs about as small as a general encoder
// does in a fraction of its time.
namespace zorvek {

// `row(y)` gives row y of the picture as `width` pixels 0xffRRGGBB. Empty
// for a picture of no pixels or when deflating fails.
std::vector<std::uint8_t> EncodeRgbPng(int width, int height, int dotsPerMetre,
                                       const std::function<const std::uint32_t*(int)>& row);

}  // namespace zorvek
