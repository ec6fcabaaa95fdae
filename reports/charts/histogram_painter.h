#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

// The drawing behind HistogramChart::Render(); Qt stays behind this header.
namespace zorvek {

class HistogramChart;

// The chart drawn on white, HistogramChart::kWidth x kHeight. A null image
// when no QGuiApplication exists.
QImage PaintHistogram(const HistogramChart& chart);

// PNG bytes of the image; empty for a null image or a failed encoding.
std::vector<std::uint8_t> EncodePng(const QImage& image);

}  // namespace zorvek
