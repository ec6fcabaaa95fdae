// Decoding what the nine documents need from an open dump file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "access/dispatch.h"
#include "access/dump_file.h"
#include "model/decoders.h"
#include "sim/image_generator.h"

namespace {

using namespace zorvek;

// Progress that only counts, as a terminal line would between redraws.
struct CountingProgress : ProgressSink {
    int calls = 0;
    void SetPosition(int) override { ++calls; }
};

class OpenDumpFile {
  public:
    OpenDumpFile() {
        m_path = std::filesystem::temp_directory_path() / "zorvek-decode-bench.krd";
        const sim::Image image = sim::GenerateImage({});
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
        m_choice.craneKind = 0;
        m_choice.startupArgument = m_path;
        if (!m_dispatch.OpenSource(SourceKind::DumpFile)) throw std::runtime_error("no image");
    }
    ~OpenDumpFile() {
        m_dispatch.CloseSource();
        std::filesystem::remove(m_path);
    }
    Dispatch& Source() { return m_dispatch; }

  private:
    std::filesystem::path m_path;
    DumpFileChoice m_choice;
    DumpFile m_file{m_choice};
    PassportSheet m_sheet;
    Dispatch m_dispatch{m_file, m_sheet};
};

void BM_HourList(benchmark::State& state) {
    OpenDumpFile file;
    auto list = std::make_unique<HourList>();
    CountingProgress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadHourList(file.Source(), *list, &progress));
    }
    state.counters["progress_calls"] =
        benchmark::Counter(progress.calls, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HourList)->Unit(benchmark::kMicrosecond);

void BM_EverythingTheDocumentsNeed(benchmark::State& state) {
    OpenDumpFile file;
    Dispatch& source = file.Source();
    auto hours = std::make_unique<HourList>();
    CountingProgress progress;
    for (auto _ : state) {
        StatisticsBlock statistics;
        MechanismCounters counters;
        CycleList cycles;
        bool ok = ReadStatistics(source, memory_map::kStatisticsTotalAddress, statistics);
        ok &= ReadStatistics(source, memory_map::kStatisticsSinceAddress, statistics);
        ok &= ReadMechanismCounters(source, memory_map::kCountersTotalAddress, counters);
        ok &= ReadMechanismCounters(source, memory_map::kCountersSinceAddress, counters);
        ok &= ReadCycleList(source, memory_map::kLastCyclesAddress, cycles, &progress);
        ok &= ReadCycleList(source, memory_map::kProtectionCyclesAddress, cycles, &progress);
        ok &= ReadHourList(source, *hours, &progress);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_EverythingTheDocumentsNeed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
