#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

// The drawing behind HistogramChart::Render(); Qt stays behind this header.
namespace zorvek {

class HistogramChart;

// The chart drawn on white at print resolution: its kWidth x kHeight layout
// 2.5 times finer (1438 x 620 pixels, 240 dpi at 15 cm). A null image when
// no QGuiApplication exists.
QImage PaintHistogram(const HistogramChart& chart);

// PNG bytes of the image; empty for a null image or a failed encoding.
std::vector<std::uint8_t> EncodePng(const QImage& image);

}  // namespace zorvek
