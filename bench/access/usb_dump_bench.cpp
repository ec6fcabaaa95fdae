// The whole 64 KiB image from the USB reader twin into a dump file, with the
// protocol's real waits: 512 chunks, each framed by two register writes and
// a 30 ms pause, so at least 512 x 30 ms = 15.36 s of mandated waiting.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "access/usb_reader.h"
#include "sim/image_generator.h"
#include "sim/usb_reader_twin.h"

namespace {

using namespace zorvek;
namespace fs = std::filesystem;

// The system's waits, timed: how long the driver asked to wait and how long
// the waits really took.
class TimedWaits final : public WaitClock {
  public:
    void Wait(Duration duration) override {
        const auto start = std::chrono::steady_clock::now();
        m_system.Wait(duration);
        asked += duration;
        spent += std::chrono::steady_clock::now() - start;
    }
    Duration Now() const override { return m_system.Now(); }

    Duration asked{0};
    std::chrono::steady_clock::duration spent{0};

  private:
    SystemWaitClock m_system;
};

void UsbDumpWholeImage(benchmark::State& state) {
    const fs::path root = fs::temp_directory_path() / "zorvek-usb-bench";
    fs::remove_all(root);
    const auto image = sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid);
    sim::UsbReaderTwin twin(image, {root / "sys"});
    TimedWaits clock;
    UsbDevicePort port(UsbPortFinder({root / "sys", root / "sys" / "dev"}), clock);
    UsbReader reader(port);
    reader.ReaderInit();
    port.UsbWatchTick();
    if (port.CurrentState() != UsbDevicePort::State::Ready) {
        state.SkipWithError("the twin did not connect");
        return;
    }
    double total = 0;
    double asked = 0;
    double spent = 0;
    for (auto _ : state) {
        clock.asked = {};
        clock.spent = {};
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::uint8_t> copy;
        const TransferResult copied = reader.ReaderCopyImage(0, 0x10000, copy, nullptr);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!copied) state.SkipWithError("the dump failed");
        asked += std::chrono::duration<double>(clock.asked).count();
        spent += std::chrono::duration<double>(clock.spent).count();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["total_s"] = total / runs;
    state.counters["mandated_waits_s"] = asked / runs;
    state.counters["wait_overshoot_s"] = (spent - asked) / runs;
    state.counters["transfers_s"] = (total - spent) / runs;
    state.counters["over_mandated_pct"] = (total - asked) * 100 / asked;
    fs::remove_all(root);
}

BENCHMARK(UsbDumpWholeImage)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
