#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "reports/charts/value_text.h"

// A 3D bar chart of the eight load ranges, drawn into a PNG picture for the
// appendix on load statistics.
//
// Drawing needs a QGuiApplication (Qt's fonts live in it). The window
// program has one; a command-line tool or a test creates one with
// GuiApplicationScope (gui_application.h) before the first Render().
// Main thread only.
namespace zorvek {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Load ranges up to the rated load, and overload ranges.
inline constexpr Rgb kRatedLoadColour{0, 128, 0};
inline constexpr Rgb kOverloadColour{255, 0, 0};

struct HistogramBar {
    std::u16string label;  // under the bar
    Rgb colour;
    double value = 0.0;
};

class HistogramChart {
  public:
    // The layout, in 96 dpi pixels (about 15 x 6.6 cm).
    static constexpr int kWidth = 575;
    static constexpr int kHeight = 248;

    void ClearBars();
    void AddBar(std::u16string label, Rgb colour, double value = 0.0);
    // Positions outside the bars are ignored.
    void SetValue(std::size_t position, double value);
    // The one line of the title, replacing any earlier one.
    void SetTitle(std::u16string title);
    void SetMarkStyle(MarkStyle style);

    const std::vector<HistogramBar>& Bars() const { return m_bars; }
    const std::u16string& Title() const { return m_title; }
    MarkStyle Style() const { return m_markStyle; }
    // The value mark above the bar at `position` (empty outside the bars).
    std::u16string MarkAt(std::size_t position) const;

    // The chart as a PNG at print resolution, 2.5 times its layout size,
    // whose resolution gives back the layout size on paper. Any values, including
    // NaN, infinities and negatives, draw in bounded time: non-finite bars are
    // left out and marked "?", negative bars hang below the zero line.
    // Empty when no QGuiApplication exists or the encoder fails.
    std::vector<std::uint8_t> Render() const;

  private:
    std::vector<HistogramBar> m_bars;
    std::u16string m_title;
    MarkStyle m_markStyle = MarkStyle::Whole;
};

// Replaces the chart's bars by the eight load ranges, each of value 0:
// "0-25%" .. "76-100%" in the rated-load colour, "101-110%" .. "130%>" in the
// overload colour. Title and mark style stay.
void PrepareHistogram(HistogramChart& chart);

}  // namespace zorvek
