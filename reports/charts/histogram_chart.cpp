#include "reports/charts/histogram_chart.h"

#include <utility>

#include "reports/charts/histogram_painter.h"

namespace zorvek {

void HistogramChart::ClearBars() { m_bars.clear(); }

void HistogramChart::AddBar(std::u16string label, Rgb colour, double value) {
    m_bars.push_back({std::move(label), colour, value});
}

void HistogramChart::SetValue(std::size_t position, double value) {
    if (position < m_bars.size()) m_bars[position].value = value;
}

void HistogramChart::SetTitle(std::u16string title) { m_title = std::move(title); }

void HistogramChart::SetMarkStyle(MarkStyle style) { m_markStyle = style; }

std::u16string HistogramChart::MarkAt(std::size_t position) const {
    return position < m_bars.size() ? MarkText(m_bars[position].value, m_markStyle)
                                    : std::u16string();
}

std::vector<std::uint8_t> HistogramChart::Render() const {
    return EncodePng(PaintHistogram(*this));
}

void PrepareHistogram(HistogramChart& chart) {
    static constexpr const char16_t* kLabels[] = {u"0-25%",    u"26-50%",   u"51-75%",   u"76-100%",
                                                  u"101-110%", u"111-120%", u"121-130%", u"130%>"};
    chart.ClearBars();
    for (int range = 0; range < 8; ++range) {
        chart.AddBar(kLabels[range], range < 4 ? kRatedLoadColour : kOverloadColour);
    }
}

}  // namespace zorvek
