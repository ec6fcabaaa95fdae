#pragma once

#include <cstdint>
#include <vector>

#include "model/records.h"
#include "reports/charts/histogram_chart.h"

// The three histograms of a load statistics block, one bar per load range.
// The block is taken as it is (its checksum already tested by the reader);
// damaged masses such as NaN or 3.4e38 still draw, see HistogramChart.
// Rendering needs a QGuiApplication, see histogram_chart.h.
namespace zorvek {

// Operating seconds per range, whole-number marks.
HistogramChart TimeHistogram(const StatisticsBlock& block);
// Work cycles per range, whole-number marks.
HistogramChart CycleHistogram(const StatisticsBlock& block);
// Lifted tonnes per range, marks with one decimal.
HistogramChart MassHistogram(const StatisticsBlock& block);
// The load spectrum: each range's share of the cycles in per cent, marks
// with one decimal after a comma; all 0 without cycles.
HistogramChart SpectrumHistogram(const StatisticsBlock& block);

// The same charts as PNG pictures at print resolution, ready to go into a
// document.
std::vector<std::uint8_t> RenderTimeHistogram(const StatisticsBlock& block);
std::vector<std::uint8_t> RenderCycleHistogram(const StatisticsBlock& block);
std::vector<std::uint8_t> RenderMassHistogram(const StatisticsBlock& block);
std::vector<std::uint8_t> RenderSpectrumHistogram(const StatisticsBlock& block);

}  // namespace zorvek
