#include <benchmark/benchmark.h>

#include <bit>
#include <cstdint>

#include "model/bits.h"
#include "model/records.h"
#include "reports/charts/gui_application.h"
#include "reports/charts/statistics_histograms.h"

// The appendix draws its three pictures in a row; together they should stay
// well under a tenth of a second.
namespace zorvek {
namespace {

StatisticsBlock WorkedBlock() {
    StatisticsBlock block;
    const std::uint32_t cycles[8] = {4210, 2877, 1650, 903, 121, 37, 9, 2};
    const std::uint32_t seconds[8] = {1283400, 901220, 512300, 290110, 40210, 11020, 2900, 610};
    const float tonnes[8] = {6120.4f, 10890.25f, 12345.6f, 9876.5f, 1450.3f, 480.0f, 131.7f, 35.2f};
    for (int r = 0; r < 8; ++r) {
        StoreLe(block.bytes, 4 + 2 * r, 2, cycles[r]);
        StoreLe(block.bytes, 20 + 3 * r, 3, seconds[r]);
        StoreLe(block.bytes, 44 + 4 * r, 4, std::bit_cast<std::uint32_t>(tonnes[r]));
    }
    block.bytes[84] = Crc8(std::span(block.bytes).first(84));
    return block;
}

void BM_ThreeHistograms(benchmark::State& state) {
    const StatisticsBlock block = WorkedBlock();
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderTimeHistogram(block));
        benchmark::DoNotOptimize(RenderCycleHistogram(block));
        benchmark::DoNotOptimize(RenderMassHistogram(block));
    }
}
BENCHMARK(BM_ThreeHistograms)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvek

int main(int argc, char** argv) {
    zorvek::GuiApplicationScope gui;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
