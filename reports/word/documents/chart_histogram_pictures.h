#pragma once

#include "reports/word/documents/histogram_pictures.h"

namespace zorvek {

// The documents' pictures from the histogram renderer. It draws with Qt Gui:
// a program without a window keeps a GuiApplicationScope alive while it
// builds, otherwise every picture comes out empty and is left out.
class ChartHistogramPictures final : public HistogramPictures {
  public:
    std::vector<std::uint8_t> TimePicture(const StatisticsBlock& block) override;
    std::vector<std::uint8_t> CyclePicture(const StatisticsBlock& block) override;
    std::vector<std::uint8_t> MassPicture(const StatisticsBlock& block) override;
    std::vector<std::uint8_t> SpectrumPicture(const StatisticsBlock& block) override;
};

}  // namespace zorvek
