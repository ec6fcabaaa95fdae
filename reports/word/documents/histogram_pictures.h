#pragma once

#include <cstdint>
#include <vector>

#include "model/records.h"

namespace zorvek {

// Draws the histograms of a load statistics block as PNG pictures: the
// three of appendix 1 and the load spectrum (share of cycles per range) of
// the crane's duty appendix. An empty picture means none could be drawn.
class HistogramPictures {
  public:
    virtual ~HistogramPictures() = default;
    virtual std::vector<std::uint8_t> TimePicture(const StatisticsBlock& block) = 0;
    virtual std::vector<std::uint8_t> CyclePicture(const StatisticsBlock& block) = 0;
    virtual std::vector<std::uint8_t> MassPicture(const StatisticsBlock& block) = 0;
    virtual std::vector<std::uint8_t> SpectrumPicture(const StatisticsBlock& block) = 0;
};

}  // namespace zorvek
