#include "reports/word/documents/chart_histogram_pictures.h"

#include "reports/charts/statistics_histograms.h"

namespace zorvek {

std::vector<std::uint8_t> ChartHistogramPictures::TimePicture(const StatisticsBlock& block) {
    return RenderTimeHistogram(block);
}

std::vector<std::uint8_t> ChartHistogramPictures::CyclePicture(const StatisticsBlock& block) {
    return RenderCycleHistogram(block);
}

std::vector<std::uint8_t> ChartHistogramPictures::MassPicture(const StatisticsBlock& block) {
    return RenderMassHistogram(block);
}

std::vector<std::uint8_t> ChartHistogramPictures::SpectrumPicture(const StatisticsBlock& block) {
    return RenderSpectrumHistogram(block);
}

}  // namespace zorvek
