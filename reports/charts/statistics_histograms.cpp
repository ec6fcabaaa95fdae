#include "reports/charts/statistics_histograms.h"

#include <string>
#include <utility>

namespace zorvek {

namespace {

template <typename ValueOfRange>
HistogramChart Histogram(std::u16string title, MarkStyle style, ValueOfRange valueOf) {
    HistogramChart chart;
    PrepareHistogram(chart);
    for (int range = 0; range < memory_map::kLoadRanges; ++range) {
        chart.SetValue(static_cast<std::size_t>(range), static_cast<double>(valueOf(range)));
    }
    chart.SetTitle(std::move(title));
    chart.SetMarkStyle(style);
    return chart;
}

}  // namespace

HistogramChart TimeHistogram(const StatisticsBlock& block) {
    return Histogram(u"Гистограмма распределения времени работы по загрузке (сек.)",
                     MarkStyle::Whole, [&](int range) { return block.OperatingSeconds(range); });
}

HistogramChart CycleHistogram(const StatisticsBlock& block) {
    return Histogram(u"Гистограмма распределения циклов по загрузке (циклы)", MarkStyle::Whole,
                     [&](int range) { return block.CycleCount(range); });
}

HistogramChart MassHistogram(const StatisticsBlock& block) {
    // Two spaces before the bracket, as the document has always shown it.
    return Histogram(u"Гистограмма распределения массы поднятых грузов по загрузке  (тонны)",
                     MarkStyle::Real, [&](int range) { return block.LiftedMass(range); });
}

HistogramChart SpectrumHistogram(const StatisticsBlock& block) {
    double total = 0;
    for (int range = 0; range < memory_map::kLoadRanges; ++range) total += block.CycleCount(range);
    return Histogram(
        u"Распределение циклов по загрузке (доля циклов, %)", MarkStyle::Share,
        [&](int range) { return total > 0 ? 100 * block.CycleCount(range) / total : 0.0; });
}

std::vector<std::uint8_t> RenderTimeHistogram(const StatisticsBlock& block) {
    return TimeHistogram(block).Render();
}

std::vector<std::uint8_t> RenderCycleHistogram(const StatisticsBlock& block) {
    return CycleHistogram(block).Render();
}

std::vector<std::uint8_t> RenderMassHistogram(const StatisticsBlock& block) {
    return MassHistogram(block).Render();
}

std::vector<std::uint8_t> RenderSpectrumHistogram(const StatisticsBlock& block) {
    return SpectrumHistogram(block).Render();
}

}  // namespace zorvek
