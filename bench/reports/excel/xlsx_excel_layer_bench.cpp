#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "bench/reports/excel/temp_sink.h"
#include "model/cp1251.h"
#include "reports/excel/xlsx_excel_layer.h"

// The largest sheets of the appendix: all 1900 records valid, all 19
// columns. In the worst case every coded cell carries its legend and every
// row is red (11,400 comments); in a typical one the mechanism and
// power-line cells carry theirs on every row, warnings on every fifth,
// protection trips (red rows) on every tenth and the coordinate limits on
// every twentieth (about 4,800 comments). Building and writing should stay
// under 200 ms; the size of the written file is shown in kB.
namespace zorvek {
namespace {

constexpr int kRecords = 1900;
constexpr int kColumns = 19;

struct ColumnSample {
    const char* header;
    const char* text;
    const char* legend;  // nullptr: none
    int typicalEvery;    // the typical sheet's legend on every n-th record
};

std::vector<ColumnSample> Samples() {
    return {
        {"№", nullptr, nullptr, 0},
        {"Дата и время", " 4.07.09  3:56:33", nullptr, 0},
        {"Загрузка,%", "    87.5  %", nullptr, 0},
        {"Вылет,м", "    12.4 м", nullptr, 0},
        {"Дл. стрелы,м", "     21.0 м", nullptr, 0},
        {"Вес груза,т", "      3.2 т", nullptr, 0},
        {"Г-подъёмность,т", "      4.1 т", nullptr, 0},
        {"Азимут, град", "    182.5", nullptr, 0},
        {"Режим", " Вспом. -7 Юст. Блок.", nullptr, 0},
        {"Уст-ка к.з.", "\"П\"\"Л\"\"В\"\"Н\"", "yustkoord", 20},
        {"Состояние к.з.", "Сраб.\"П\"Сраб.\"Н\"", "koord", 20},
        {"Предупреждения", "\"MinV\"\"95%>\"\"КренХ\"", "warnings", 5},
        {"Сраб. защиты", "\"MaxV\"\"110%\"\"Ветер\"", "protect", 10},
        {"Механизм", "Механизм работал", "discret", 1},
        {"ЛЭП", "110-450", "lep", 1},
        {"Продольный крен", "-3°", nullptr, 0},
        {"Поперечный крен", "2°", nullptr, 0},
        {"Ветер, м/с", "12.7", nullptr, 0},
        {"Примечание", "Начало цикла", nullptr, 0},
    };
}

// Coded cells without a legend stay empty, as the appendix leaves them.
void BuildLargestSheet(ExcelLayer& layer, bool worstCase, const std::vector<ColumnSample>& samples,
                       const std::vector<std::string>& headers,
                       const std::vector<std::string>& texts) {
    layer.ExcelStart();
    layer.ExcelShowGridlines(false);
    layer.ExcelFillBackground(0, 0, 48);
    layer.ExcelWriteCell(0, 0, false, 10, headers[kColumns]);
    layer.ExcelWriteCell(3, 1, true, 14, headers[kColumns + 1]);
    for (int col = 0; col < kColumns; ++col) layer.ExcelWriteCell(col, 3, true, 10, headers[col]);
    int row = 4;
    for (int record = 0; record < kRecords; ++record, ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const ColumnSample& sample = samples[col];
            const bool coded = sample.legend != nullptr;
            const bool legend = coded && (worstCase || record % sample.typicalEvery == 0);
            if (legend) {
                if (col == 12) layer.ExcelRedRow(row + 1);
                layer.ExcelAddLegend(sample.legend, col, row);
            }
            const std::string text = col == 0 ? std::to_string(record + 1) : texts[col];
            layer.ExcelWriteCell(col, row, false, 10, coded && !legend ? std::string() : text);
        }
    }
    for (const auto& [col, width] :
         {std::pair{11, 23}, {12, 23}, {13, 23}, {14, 18}, {15, 18}, {16, 18}, {18, 38}, {0, 5}}) {
        layer.ExcelSetColumnWidth(col, width);
    }
    layer.ExcelDrawGrid(kColumns - 1, row);
    layer.ExcelFillBackground(kColumns - 1, row, 0);
    layer.ExcelFreezeHeader();
}

void RunLargestSheet(benchmark::State& state, bool worstCase, bool write) {
    const auto samples = Samples();
    std::vector<std::string> headers;
    std::vector<std::string> texts;
    for (const ColumnSample& sample : samples) {
        headers.push_back(Cp1251FromUtf8(sample.header));
        texts.push_back(sample.text ? Cp1251FromUtf8(sample.text) : std::string());
    }
    headers.push_back(Cp1251FromUtf8("Приложение 3"));
    headers.push_back(Cp1251FromUtf8("Информация о работе крана за последние часы."));
    bench::TempSink sink("excel-bench");
    for (auto _ : state) {
        XlsxExcelLayer layer(sink, "Приложение 3");
        BuildLargestSheet(layer, worstCase, samples, headers, texts);
        if (write) benchmark::DoNotOptimize(layer.ExcelShow());
    }
    if (write) state.counters["kB"] = static_cast<double>(sink.LastSize()) / 1024;
}

void BM_BuildWorstCase(benchmark::State& state) { RunLargestSheet(state, true, false); }
void BM_BuildAndWriteWorstCase(benchmark::State& state) { RunLargestSheet(state, true, true); }
void BM_BuildAndWriteTypical(benchmark::State& state) { RunLargestSheet(state, false, true); }

BENCHMARK(BM_BuildWorstCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAndWriteWorstCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAndWriteTypical)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvek

BENCHMARK_MAIN();
