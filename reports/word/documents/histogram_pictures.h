#pragma once

#include <cstdint>
#include <vector>

#include "model/records.h"

namespace zorvek {

// Draws the three histograms of a load statistics block as PNG pictures for
// appendix 1. An empty picture means none could be drawn.
class HistogramPictures {
  public:
    virtual ~HistogramPictures() = default;
    virtual std::vector<std::uint8_t> TimePicture(const StatisticsBlock& block) = 0;
    virtual std::vector<std::uint8_t> CyclePicture(const StatisticsBlock& block) = 0;
    virtual std::vector<std::uint8_t> MassPicture(const StatisticsBlock& block) = 0;
};

}  // namespace zorvek
