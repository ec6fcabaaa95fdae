#include "reports/charts/histogram_chart.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/bits.h"
#include "model/records.h"
#include "reports/charts/statistics_histograms.h"

namespace zorvek {
namespace {

using Ranges = std::array<double, 8>;

// A block as the recorder stores it, checksum included.
StatisticsBlock Block(const Ranges& seconds, const Ranges& cycles,
                      const std::array<float, 8>& tonnes) {
    StatisticsBlock block;
    for (int r = 0; r < 8; ++r) {
        StoreLe(block.bytes, 4 + 2 * r, 2, static_cast<std::uint32_t>(cycles[r]));
        StoreLe(block.bytes, 20 + 3 * r, 3, static_cast<std::uint32_t>(seconds[r]));
        StoreLe(block.bytes, 44 + 4 * r, 4, std::bit_cast<std::uint32_t>(tonnes[r]));
    }
    block.bytes[84] = Crc8(std::span(block.bytes).first(84));
    return block;
}

QImage Decode(const std::vector<std::uint8_t>& png) {
    return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
}

const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kRed = qRgb(255, 0, 0);

bool IsBarFront(QRgb pixel) { return pixel == kGreen || pixel == kRed; }

// A stretch of one bar-front colour along a row.
struct ColourRun {
    QRgb colour;
    int first;
    int last;
};

std::vector<ColourRun> FrontRuns(const QImage& image, int y) {
    std::vector<ColourRun> runs;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (!IsBarFront(pixel)) continue;
        if (!runs.empty() && runs.back().colour == pixel && runs.back().last == x - 1) {
            runs.back().last = x;
        } else {
            runs.push_back({pixel, x, x});
        }
    }
    return runs;
}

// Height of the bar-front colour in column x, and the row below its foot.
struct Column {
    int height = 0;
    int foot = -1;
};

Column FrontColumn(const QImage& image, int x) {
    Column column;
    for (int y = 0; y < image.height(); ++y) {
        if (!IsBarFront(image.pixel(x, y))) continue;
        ++column.height;
        column.foot = y + 1;
    }
    return column;
}

// Bars of equal value all reach the top of the axis, so a row across the
// middle of the picture cuts every bar's front face.
std::vector<ColourRun> FullBars() {
    const QImage image = Decode(RenderCycleHistogram(Block({}, {9, 9, 9, 9, 9, 9, 9, 9}, {})));
    return FrontRuns(image, image.height() / 2);
}

int Centre(const ColourRun& run) { return (run.first + run.last) / 2; }

// The 575 x 248 layout drawn 2.5 times finer: 240 dpi at its printed 15 cm.
const QSize kPrintSize(1438, 620);

TEST(HistogramPicture, EachChartIsPrintedAt240Dpi) {
    const StatisticsBlock block = Block({3600, 60, 0, 1, 0, 0, 0, 16777215},
                                        {10, 5, 0, 1, 0, 0, 0, 65535}, {12.5f, 3.25f, 0, 1.0f});
    for (auto* render : {RenderTimeHistogram, RenderCycleHistogram, RenderMassHistogram,
                         RenderSpectrumHistogram}) {
        const QImage image = Decode(render(block));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), kPrintSize);
        EXPECT_NEAR(image.dotsPerMeterX(), 9450, 1);
        EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    }
}

TEST(HistogramPicture, FourGreenThenFourRedBarsAtSixtyPercentOfTheirSlots) {
    const std::vector<ColourRun> runs = FullBars();
    ASSERT_EQ(runs.size(), 8u);
    const double slot = (Centre(runs[7]) - Centre(runs[0])) / 7.0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].colour, i < 4 ? kGreen : kRed) << "bar " << i;
        // The outline takes a pixel or two of the face.
        EXPECT_NEAR((runs[i].last - runs[i].first + 1) / slot, 0.60, 0.05) << "bar " << i;
    }
}

TEST(HistogramPicture, BarsRiseInProportionFromOneBaseLine) {
    const std::vector<ColourRun> bars = FullBars();
    ASSERT_EQ(bars.size(), 8u);
    const QImage image =
        Decode(RenderCycleHistogram(Block({}, {400, 200, 100, 0, 0, 0, 0, 50}, {})));
    const Column full = FrontColumn(image, Centre(bars[0]));
    const double unit = full.height / 400.0;
    const std::pair<int, double> expected[] = {{1, 200}, {2, 100}, {3, 0}, {6, 0}, {7, 50}};
    // The outlines, 2.5 pixels at print resolution, take a little of each face.
    for (const auto& [bar, value] : expected) {
        const Column column = FrontColumn(image, Centre(bars[bar]));
        EXPECT_NEAR(column.height, value * unit, 5) << "bar " << bar;
        if (value > 0) {
            EXPECT_NEAR(column.foot, full.foot, 3) << "bar " << bar;
        }
    }
}

TEST(HistogramPicture, NegativeMassHangsBelowTheBaseLine) {
    const std::vector<ColourRun> bars = FullBars();
    ASSERT_EQ(bars.size(), 8u);
    const QImage image = Decode(RenderMassHistogram(Block({}, {}, {10.0f, -5.0f})));
    const Column up = FrontColumn(image, Centre(bars[0]));
    const Column down = FrontColumn(image, Centre(bars[1]));
    // The faces meet at the zero line, each behind its own outline.
    EXPECT_GE(down.foot - down.height, up.foot);
    EXPECT_LE(down.foot - down.height - up.foot, 4);
    EXPECT_NEAR(down.height, up.height / 2.0, 2);
}

TEST(Histograms, RangesTitlesAndMarksOfAnEmptyBlock) {
    const std::pair<HistogramChart (*)(const StatisticsBlock&), std::u16string> kinds[] = {
        {TimeHistogram, u"Гистограмма распределения времени работы по загрузке (сек.)"},
        {CycleHistogram, u"Гистограмма распределения циклов по загрузке (циклы)"},
        {MassHistogram, u"Гистограмма распределения массы поднятых грузов по загрузке  (тонны)"},
        {SpectrumHistogram, u"Распределение циклов по загрузке (доля циклов, %)"},
    };
    const std::u16string labels[] = {u"0-25%",    u"26-50%",   u"51-75%",   u"76-100%",
                                     u"101-110%", u"111-120%", u"121-130%", u"130%>"};
    for (const auto& [build, title] : kinds) {
        const HistogramChart chart = build(Block({}, {}, {}));
        EXPECT_EQ(chart.Title(), title);
        ASSERT_EQ(chart.Bars().size(), 8u);
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(chart.Bars()[i].label, labels[i]);
            EXPECT_EQ(chart.Bars()[i].colour, (i < 4 ? Rgb{0, 128, 0} : Rgb{255, 0, 0}));
            EXPECT_EQ(chart.MarkAt(i), u"0");
        }
    }
}

TEST(Histograms, EachRangeFeedsItsOwnBar) {
    const StatisticsBlock block = Block({1, 2, 3, 4, 5, 6, 7, 8}, {11, 12, 13, 14, 15, 16, 17, 18},
                                        {0.5f, 1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 7.25f});
    const char16_t* times[] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8"};
    const char16_t* cycles[] = {u"11", u"12", u"13", u"14", u"15", u"16", u"17", u"18"};
    const char16_t* tonnes[] = {u"0.5", u"1.5", u"2.5", u"3.5", u"4.5", u"5.5", u"6.5", u"7.3"};
    // 11 of the 116 cycles are 9.48 %, 18 are 15.52 %.
    const char16_t* shares[] = {u"9,5",  u"10,3", u"11,2", u"12,1",
                                u"12,9", u"13,8", u"14,7", u"15,5"};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(TimeHistogram(block).MarkAt(i), times[i]);
        EXPECT_EQ(CycleHistogram(block).MarkAt(i), cycles[i]);
        EXPECT_EQ(MassHistogram(block).MarkAt(i), tonnes[i]);
        EXPECT_EQ(SpectrumHistogram(block).MarkAt(i), shares[i]);
    }
}

// Masses of a block whose checksum is right but whose reals are garbage:
// each picture must come out whole, and in bounded time.
TEST(Histograms, DamagedMassesStillDraw) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr float kTiny = std::numeric_limits<float>::denorm_min();
    const std::array<float, 8> cases[] = {
        {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN},
        {kInf, -kInf, kInf, -kInf, 1, 2, 3, 4},
        {kMax, -kMax, kMax, 0, 0, 0, 0, 1},
        {kTiny, -kTiny, kTiny},
        {-1, -2, -3, -4, -5, -6, -7, -8},
        {kNaN, 5, kInf, -kMax, kTiny, -0.0f, 1e30f, 1e-3f},
    };
    for (const auto& tonnes : cases) {
        EXPECT_EQ(Decode(RenderMassHistogram(Block({}, {}, tonnes))).size(), kPrintSize);
    }
}

// Titles must not come out as empty boxes: whatever family the request for
// Arial resolves to must carry Cyrillic.
TEST(Histograms, TitleFontCarriesCyrillic) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    for (char16_t c : std::u16string_view(u"Гистограмма распределения массы поднятых грузов")) {
        EXPECT_TRUE(metrics.inFont(QChar(c))) << "U+" << std::hex << static_cast<int>(c);
    }
}

}  // namespace
}  // namespace zorvek
