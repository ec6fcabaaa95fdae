// The whole 64 KiB image from the recorder twin over a pseudo-terminal with
// the system's serial backend: paced at 19200 baud it should take the line's
// own time (1,024 frames x 71 bytes x 11 bits / 19200 baud = 41.65 s) and
// little more; unpaced it shows what the link itself costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "access/recorder_source.h"
#include "sim/image_generator.h"
#include "sim/recorder_line.h"

namespace {

using namespace zorvek;

constexpr double kFrames = memory_map::kImageSize / 64.0;
constexpr double kBytesPerFrame = 64 + 7;
constexpr double kBitsPerByte = 11;

void ReadWholeImage(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    sim::RecorderLine twin(sim::RecorderTwin(sim::GenerateImage({}), {}, {}), baud);
    twin.Start();
    RecorderSource recorder(MakeSystemSerialPort(SystemWaits()), SystemWaits(),
                            [&](int port) { return port == 1 ? twin.DevicePath() : ""; });
    if (!recorder.Open()) {
        state.SkipWithError("the twin did not answer");
        return;
    }
    std::vector<std::uint8_t> image(memory_map::kImageSize);
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!recorder.Read(memory_map::kStoredBank, image.data(), memory_map::kImageSize,
                           nullptr)) {
            state.SkipWithError("the read failed");
            return;
        }
        benchmark::DoNotOptimize(image.data());
    }
    if (baud != 0) {
        const double lineSeconds = kFrames * kBytesPerFrame * kBitsPerByte / baud;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() /
            static_cast<double>(state.iterations());
        state.counters["line_s"] = lineSeconds;
        state.counters["over_line_%"] = (seconds / lineSeconds - 1) * 100;
    }
}

}  // namespace

BENCHMARK(ReadWholeImage)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadWholeImage)->Arg(19200)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
