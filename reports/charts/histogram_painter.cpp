#include "reports/charts/histogram_painter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "reports/charts/axis_scale.h"
#include "reports/charts/histogram_chart.h"
#include "reports/charts/png_encoder.h"
#include "reports/charts/supplied_fonts.h"

namespace zorvek {

namespace {

// Margins in parts of the picture's width (left, right) and height (top,
// bottom); axis texts, title and marks lie inside them.
constexpr double kMarginLeft = 0.05;
constexpr double kMarginRight = 0.05;
constexpr double kMarginTop = 0.02;
constexpr double kMarginBottom = 0.10;

// The plot box is as deep as a tenth of the picture's height, seen at 45
// degrees from above right. The eye stands 1 / kPerspective picture heights
// before the front plane, so the back plane shrinks by 1 / (1 + 0.1 * 0.48).
constexpr double kDepthShare = 0.10;
constexpr double kPerspective = 0.48;
// Bars fill 60 % of their slot and most of the box's depth.
constexpr double kBarShare = 0.60;
constexpr double kBarFront = 0.10;
constexpr double kBarBack = 0.90;

constexpr int kTitlePixels = 12;
constexpr int kTextPixels = 10;
// About one grid line per 30 pixels of plot height.
constexpr int kTargetIntervals = 5;
constexpr double kTickLength = 4.0;
// The chart is laid out in 96 dpi pixels and drawn 2.5 times finer, so that
// at its printed size (15 cm) it has 240 dots per inch; the picture says so,
// and a document shows it at its layout size.
constexpr double kPrintScale = 2.5;
constexpr int kLayoutDotsPerMetre = 3780;

const QColor kTitleColour(0, 0, 255);
const QColor kTextColour(0, 0, 0);
const QColor kWallColour(255, 255, 255);
const QColor kFloorColour(236, 236, 236);
const QColor kWallEdgeColour(150, 150, 150);
const QColor kGridColour(205, 205, 205);
const QColor kZeroLineColour(110, 110, 110);
const QColor kAxisColour(90, 90, 90);
const QColor kMarkEdgeColour(140, 140, 140);

QFont ArialFont(int pixels) {
    // The shipped metric twin of Arial first, so every system draws alike.
    QFont font;
    font.setFamilies({QString::fromLatin1(kChartFontFamily), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    // Hinting differs between the systems' font engines; the outlines as
    // drawn do not.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(pixels);
    return font;
}

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }

QPolygonF Quad(QPointF a, QPointF b, QPointF c, QPointF d) { return QPolygonF({a, b, c, d}); }

// Oblique projection with perspective: the front plane (z = 0) is drawn as
// it is; deeper planes (up to z = 1, the back wall) move up and right and
// shrink towards the vanishing point. Lines stay lines, so boxes stay boxes.
class Projection {
  public:
    Projection(QPointF vanishing, QPointF depthOffset, double backShrink)
        : m_vanishing(vanishing), m_offset(depthOffset), m_shrink(backShrink) {}

    QPointF operator()(double x, double y, double z) const {
        const double scale = 1.0 / (1.0 + m_shrink * z);
        return {m_vanishing.x() + (x + z * m_offset.x() - m_vanishing.x()) * scale,
                m_vanishing.y() + (y - z * m_offset.y() - m_vanishing.y()) * scale};
    }

    // Where a vertical edge at depth z neither leans left nor right: bars on
    // either side of it show opposite side faces.
    double TurningX(double z) const {
        const double scale = 1.0 / (1.0 + m_shrink * z);
        if (scale >= 1.0) return std::numeric_limits<double>::max();
        return m_vanishing.x() + z * m_offset.x() * scale / (1.0 - scale);
    }

  private:
    QPointF m_vanishing;
    QPointF m_offset;
    double m_shrink;
};

class HistogramDrawing {
  public:
    HistogramDrawing(QPainter& painter, const HistogramChart& chart)
        : m_painter(painter),
          m_chart(chart),
          m_titleFont(ArialFont(kTitlePixels)),
          m_textFont(ArialFont(kTextPixels)),
          m_scale(ChooseScale(chart)),
          m_front(PlotFront()),
          m_project(m_front.center(), DepthOffset(), kDepthShare * kPerspective) {}

    void Draw() {
        DrawTitle();
        DrawWalls();
        DrawGridAndAxis();
        DrawBars();
        DrawLabels();
        DrawMarks();
    }

  private:
    static AxisScale ChooseScale(const HistogramChart& chart) {
        double low = 0.0;
        double high = 0.0;
        for (const HistogramBar& bar : chart.Bars()) {
            if (!std::isfinite(bar.value)) continue;
            low = std::min(low, bar.value);
            high = std::max(high, bar.value);
        }
        const double finest = chart.Style() == MarkStyle::Whole ? 1.0 : 0.1;
        return ChooseAxisScale(low, high, kTargetIntervals, finest);
    }

    static QPointF DepthOffset() {
        const double depth = HistogramChart::kHeight * kDepthShare;
        return {depth * std::sqrt(0.5), depth * std::sqrt(0.5)};
    }

    QRectF Inner() const {
        const double w = HistogramChart::kWidth;
        const double h = HistogramChart::kHeight;
        return QRectF(QPointF(w * kMarginLeft, h * kMarginTop),
                      QPointF(w * (1.0 - kMarginRight), h * (1.0 - kMarginBottom)));
    }

    QRectF TitleRect() const {
        return QRectF(0.0, Inner().top(), HistogramChart::kWidth,
                      QFontMetricsF(m_titleFont).height());
    }

    double MarkHeight() const { return QFontMetricsF(m_textFont).height() + 2.0; }

    double AxisLabelWidth() const {
        const QFontMetricsF metrics(m_textFont);
        double widest = 0.0;
        for (int i = 0; i <= m_scale.IntervalCount(); ++i) {
            widest = std::max(widest, metrics.horizontalAdvance(AxisText(i)));
        }
        return widest;
    }

    QString AxisText(int tick) const {
        return ToQString(AxisLabel(m_scale.Tick(tick), m_scale.step));
    }

    // The plot box's front rectangle: what is left inside the margins after
    // the title, room for the tallest bar's mark, the box's depth, the
    // range labels below and the axis labels on the right.
    QRectF PlotFront() const {
        const QRectF inner = Inner();
        const QPointF depth = DepthOffset();
        const double top = TitleRect().bottom() + MarkHeight() + 4.0 + depth.y();
        const double bottom = inner.bottom() - QFontMetricsF(m_textFont).height() - 3.0;
        const double right = inner.right() - AxisLabelWidth() - kTickLength - 3.0 - depth.x();
        return QRectF(QPointF(inner.left(), top), QPointF(right, bottom));
    }

    double ValueY(double value) const {
        const double share = (value - m_scale.minimum) / (m_scale.maximum - m_scale.minimum);
        return m_front.bottom() - share * m_front.height();
    }

    double SlotWidth() const {
        return m_front.width() /
               static_cast<double>(std::max<std::size_t>(m_chart.Bars().size(), 1));
    }

    double SlotCentre(std::size_t position) const {
        return m_front.left() + (static_cast<double>(position) + 0.5) * SlotWidth();
    }

    double BarHalfWidth() const { return SlotWidth() * kBarShare / 2.0; }

    void DrawTitle() {
        m_painter.setFont(m_titleFont);
        m_painter.setPen(kTitleColour);
        m_painter.drawText(TitleRect(), Qt::AlignHCenter | Qt::AlignTop,
                           ToQString(m_chart.Title()));
    }

    void DrawWalls() {
        const double l = m_front.left();
        const double r = m_front.right();
        const double t = m_front.top();
        const double b = m_front.bottom();
        m_painter.setPen(QPen(kWallEdgeColour, 1.0));
        m_painter.setBrush(kWallColour);
        m_painter.drawPolygon(
            Quad(m_project(l, t, 1), m_project(r, t, 1), m_project(r, b, 1), m_project(l, b, 1)));
        m_painter.drawPolygon(
            Quad(m_project(l, t, 0), m_project(l, t, 1), m_project(l, b, 1), m_project(l, b, 0)));
        m_painter.setBrush(kFloorColour);
        m_painter.drawPolygon(
            Quad(m_project(l, b, 0), m_project(r, b, 0), m_project(r, b, 1), m_project(l, b, 1)));
    }

    // Grid lines run along the left wall and across the back wall; the value
    // axis stands at the back wall's right edge, next to the lines it names.
    void DrawGridAndAxis() {
        const double l = m_front.left();
        const double r = m_front.right();
        m_painter.setBrush(Qt::NoBrush);
        m_painter.setFont(m_textFont);
        const QFontMetricsF metrics(m_textFont);
        for (int i = 0; i <= m_scale.IntervalCount(); ++i) {
            const double tick = m_scale.Tick(i);
            const double y = ValueY(tick);
            const bool zero = std::fabs(tick) < m_scale.step * 1e-6;
            const bool floor = i == 0;
            if (!floor) {
                m_painter.setPen(QPen(zero ? kZeroLineColour : kGridColour, 1.0));
                m_painter.drawPolyline(
                    QPolygonF({m_project(l, y, 0), m_project(l, y, 1), m_project(r, y, 1)}));
            }
            const QPointF end = m_project(r, y, 1);
            m_painter.setPen(QPen(kAxisColour, 1.0));
            m_painter.drawLine(end, end + QPointF(kTickLength, 0.0));
            m_painter.setPen(kTextColour);
            const QRectF box(end.x() + kTickLength + 2.0, end.y() - metrics.height() / 2.0,
                             metrics.horizontalAdvance(AxisText(i)) + 2.0, metrics.height());
            m_painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, AxisText(i));
        }
        m_painter.setPen(QPen(kAxisColour, 1.0));
        m_painter.drawLine(m_project(r, m_front.top(), 1), m_project(r, m_front.bottom(), 1));
        m_painter.drawLine(m_project(l, m_front.bottom(), 0), m_project(r, m_front.bottom(), 0));
    }

    // Bars further from the line of sight go first, so that nearer bars
    // cover the side faces that lean towards them.
    std::vector<std::size_t> PaintOrder() const {
        std::vector<std::size_t> order(m_chart.Bars().size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        const double turning = m_project.TurningX(kBarBack);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return std::fabs(SlotCentre(a) - turning) > std::fabs(SlotCentre(b) - turning);
        });
        return order;
    }

    void DrawBars() {
        for (std::size_t position : PaintOrder()) {
            const HistogramBar& bar = m_chart.Bars()[position];
            if (std::isfinite(bar.value)) DrawBar(position, bar);
        }
    }

    void DrawBar(std::size_t position, const HistogramBar& bar) {
        const double x0 = SlotCentre(position) - BarHalfWidth();
        const double x1 = SlotCentre(position) + BarHalfWidth();
        const double yValue = ValueY(bar.value);
        const double yZero = ValueY(0.0);
        const double top = std::min(yValue, yZero);
        const double bottom = std::max(yValue, yZero);
        const double z0 = kBarFront;
        const double z1 = kBarBack;
        const auto& p = m_project;

        const QColor front = ToQColor(bar.colour);
        m_painter.setPen(QPen(front.darker(230), 1.0));

        // Only the faces turned towards the eye; the front one always is.
        if (p(x1, top, z1).x() > p(x1, top, z0).x()) {
            m_painter.setBrush(front.darker(150));
            m_painter.drawPolygon(
                Quad(p(x1, top, z0), p(x1, top, z1), p(x1, bottom, z1), p(x1, bottom, z0)));
        }
        if (p(x0, top, z1).x() < p(x0, top, z0).x()) {
            m_painter.setBrush(front.darker(150));
            m_painter.drawPolygon(
                Quad(p(x0, top, z0), p(x0, top, z1), p(x0, bottom, z1), p(x0, bottom, z0)));
        }
        if (p(x0, top, z1).y() < p(x0, top, z0).y()) {
            m_painter.setBrush(front.lighter(135));
            m_painter.drawPolygon(
                Quad(p(x0, top, z0), p(x1, top, z0), p(x1, top, z1), p(x0, top, z1)));
        }
        if (p(x0, bottom, z1).y() > p(x0, bottom, z0).y()) {
            m_painter.setBrush(front.darker(170));
            m_painter.drawPolygon(
                Quad(p(x0, bottom, z0), p(x1, bottom, z0), p(x1, bottom, z1), p(x0, bottom, z1)));
        }
        m_painter.setBrush(front);
        m_painter.drawPolygon(
            Quad(p(x0, top, z0), p(x1, top, z0), p(x1, bottom, z0), p(x0, bottom, z0)));
    }

    void DrawLabels() {
        m_painter.setFont(m_textFont);
        m_painter.setPen(kTextColour);
        const double slot = SlotWidth();
        const QPointF foot = m_project(0.0, m_front.bottom(), 0);
        for (std::size_t position = 0; position < m_chart.Bars().size(); ++position) {
            const QRectF box(SlotCentre(position) - slot / 2.0, foot.y() + 3.0, slot,
                             QFontMetricsF(m_textFont).height());
            m_painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop,
                               ToQString(m_chart.Bars()[position].label));
        }
    }

    // Each mark sits on a small white card above the bar's upper face (for a
    // bar below zero, above the zero line), centred on the face.
    void DrawMarks() {
        m_painter.setFont(m_textFont);
        const QFontMetricsF metrics(m_textFont);
        for (std::size_t position = 0; position < m_chart.Bars().size(); ++position) {
            const double value = m_chart.Bars()[position].value;
            const double y =
                std::isfinite(value) ? std::min(ValueY(value), ValueY(0.0)) : ValueY(0.0);
            const double x = SlotCentre(position);
            const QPointF centre = m_project(x, y, (kBarFront + kBarBack) / 2.0);
            const double face =
                std::min(m_project(x, y, kBarFront).y(), m_project(x, y, kBarBack).y());
            const QString text = ToQString(m_chart.MarkAt(position));
            const double width = metrics.horizontalAdvance(text) + 6.0;
            const QRectF card(centre.x() - width / 2.0, face - 3.0 - MarkHeight(), width,
                              MarkHeight());
            m_painter.setPen(QPen(kMarkEdgeColour, 1.0));
            m_painter.setBrush(kWallColour);
            m_painter.drawRect(card);
            m_painter.setPen(kTextColour);
            m_painter.drawText(card, Qt::AlignCenter, text);
        }
    }

    QPainter& m_painter;
    const HistogramChart& m_chart;
    QFont m_titleFont;
    QFont m_textFont;
    AxisScale m_scale;
    QRectF m_front;
    Projection m_project;
};

}  // namespace

QImage PaintHistogram(const HistogramChart& chart) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return {};
    QImage image(static_cast<int>(std::lround(HistogramChart::kWidth * kPrintScale)),
                 static_cast<int>(std::lround(HistogramChart::kHeight * kPrintScale)),
                 QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(kLayoutDotsPerMetre * kPrintScale));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(kPrintScale, kPrintScale);
        HistogramDrawing(painter, chart).Draw();
    }
    return image;
}

std::vector<std::uint8_t> EncodePng(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return EncodeRgbPng(rgb.width(), rgb.height(), rgb.dotsPerMeterX(), [&](int y) {
        return reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
    });
}

}  // namespace zorvek
