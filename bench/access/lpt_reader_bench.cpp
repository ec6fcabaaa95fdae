// The whole 64 KiB image read from the LPT reader's twin by the reader code.
// The figure that matters on a real port is the register accesses per byte
// (each is one ppdev ioctl, about 1 us): "accesses_per_byte" and the time it
// projects, "seconds_at_1us".
#include <benchmark/benchmark.h>

#include <vector>

#include "access/lpt_reader.h"
#include "sim/image_generator.h"
#include "sim/lpt_reader_twin.h"

namespace {

using namespace zorvek;

// Waits pass at once: the bench measures the transfer, not the settling.
struct InstantClock final : WaitClock {
    void Wait(Duration duration) override { now += duration; }
    Duration Now() const override { return now; }
    Duration now{0};
};

void BM_LptReaderWholeImage(benchmark::State& state) {
    const sim::Image image = sim::GenerateImage({});
    InstantClock clock;
    sim::LptReaderTwin twin(image, clock);
    LptReader reader(twin, clock);
    if (!reader.Open()) state.SkipWithError("the reader did not open");
    std::vector<std::uint8_t> read(image.size());
    std::uint64_t accesses = 0;
    for (auto _ : state) {
        const std::uint64_t before = twin.Accesses();
        if (!reader.Read(0x30000, read.data(), static_cast<std::uint32_t>(read.size()), nullptr))
            state.SkipWithError("the read failed");
        accesses = twin.Accesses() - before;
    }
    reader.Close();
    const double perByte = static_cast<double>(accesses) / static_cast<double>(image.size());
    state.counters["accesses_per_byte"] = perByte;
    state.counters["seconds_at_1us"] = static_cast<double>(accesses) * 1e-6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_LptReaderWholeImage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
