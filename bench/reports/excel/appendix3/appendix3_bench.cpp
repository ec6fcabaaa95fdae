#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <span>

#include "bench/reports/excel/temp_sink.h"
#include "model/bits.h"
#include "model/decoders.h"
#include "model/passport.h"
#include "reports/excel/appendix3/appendix3.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "sim/image_generator.h"
#include "sim/packed_real.h"
#include "tests/support/image_reader.h"

// Appendix 3 at its largest, from the image to the written workbook: all 1900
// hour records valid, every column, every coded cell with its legend and
// every row red. It should stay under 200 ms.
namespace zorvek {
namespace {

namespace map = memory_map;

struct NoMessages final : Notifier {
    void Notify(std::string_view) override {}
};

struct BatchTitle final : TitleSink {
    void SetTitle(std::string_view) override {}
};

struct FixedClock final : Clock {
    LocalDateTime Now() const override { return sim::kDefaultNow; }
};

// The sheet in memory as the XLSX layer keeps it, never written: how much of
// the whole the read and the build take.
class UnwrittenLayer final : public ExcelLayer {
  public:
    explicit UnwrittenLayer(ExcelLayer& sheet) : m_sheet(sheet) {}
    void ExcelStart() override { m_sheet.ExcelStart(); }
    void ExcelWriteCell(int col, int row, bool bold, int size, std::string_view value) override {
        m_sheet.ExcelWriteCell(col, row, bold, size, value);
    }
    void ExcelDrawGrid(int lastCol, int lastRow) override {
        m_sheet.ExcelDrawGrid(lastCol, lastRow);
    }
    void ExcelFillBackground(int lastCol, int lastRow, int colour) override {
        m_sheet.ExcelFillBackground(lastCol, lastRow, colour);
    }
    void ExcelShowGridlines(bool show) override { m_sheet.ExcelShowGridlines(show); }
    void ExcelRedRow(int row) override { m_sheet.ExcelRedRow(row); }
    void ExcelSetColumnWidth(int col, int width) override {
        m_sheet.ExcelSetColumnWidth(col, width);
    }
    void ExcelAddLegend(std::string_view key, int col, int row) override {
        m_sheet.ExcelAddLegend(key, col, row);
    }
    void ExcelFreezeHeader() override { m_sheet.ExcelFreezeHeader(); }
    bool ExcelShow() override { return true; }

  private:
    ExcelLayer& m_sheet;
};

// A generated image whose hour list is full: one record a minute up to the
// reading time, every flag set, no time floor.
void FillHourList(test::ImageReader& source) {
    const sim::Image image = sim::GenerateImage({});
    std::copy(image.begin(), image.end(), source.image.begin());
    StoreLe(std::span(source.At(map::kTimeFloorAddress), 4), 0, 4, 0);
    for (std::uint32_t i = 0; i < map::kHourRecordCount; ++i) {
        HourRecord record;
        const int minutes = static_cast<int>(i);
        record.SetTime(
            PackDateTime({2026, 4, 14 + minutes / 1440, minutes / 60 % 24, minutes % 60, 0}));
        record.bytes[7] = 0x75;
        for (std::size_t flag = 8; flag <= 12; ++flag) record.bytes[flag] = 0xFF;
        record.bytes[13] = 0x04;
        record.bytes[14] = 87;
        record.bytes[15] = 127;
        record.bytes[16] = 0xFD;
        for (std::size_t real = 18; real < 28; real += 2) {
            StoreLe(record.bytes, real, 2, sim::PackFloat16(12.5f + static_cast<float>(real)));
        }
        record.bytes[28] = static_cast<std::uint8_t>(4 + i % 2);
        record.bytes[29] = Crc8(std::span(record.bytes).first(29));
        std::copy(record.bytes.begin(), record.bytes.end(),
                  source.At(map::kHourListAddress + i * map::kHourRecordSize));
    }
}

void RunEveryColumn(benchmark::State& state, bool write) {
    test::ImageReader source;
    FillHourList(source);
    const PassportSheet sheet;
    NoMessages notifier;
    const ReportInputs inputs{source, sheet, notifier, nullptr, {}};
    BatchTitle window;
    const FixedClock clock;
    bench::TempSink sink("appendix3-bench");
    HourList list;
    if (!ReadHourList(source, list, nullptr, clock) || !list.back().IsValid()) {
        state.SkipWithError("the hour list is not full");
        return;
    }
    for (auto _ : state) {
        XlsxExcelLayer xlsx(sink, "appendix3");
        UnwrittenLayer unwritten(xlsx);
        ExcelLayer& excel = write ? static_cast<ExcelLayer&>(xlsx) : unwritten;
        BuildBusy busy;
        busy.Begin();
        if (!RunAppendix3(inputs, excel, ColumnSwitches::All(), FilterMask(), window, busy,
                          clock)) {
            state.SkipWithError("appendix 3 not built");
            break;
        }
    }
}

void BM_Appendix3EveryColumn(benchmark::State& state) { RunEveryColumn(state, true); }
void BM_Appendix3EveryColumnUnwritten(benchmark::State& state) { RunEveryColumn(state, false); }

BENCHMARK(BM_Appendix3EveryColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Appendix3EveryColumnUnwritten)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvek

BENCHMARK_MAIN();
