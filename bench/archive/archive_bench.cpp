// The read-out archive on both backends: adding a thousand distinct images,
// the fleet list of a thousand cranes with ten read-outs each, and what
// `zorvek-cli archive compare` does. PostgreSQL where ZORVEK_TEST_POSTGRES
// names a server (scripts/with-postgres.sh bench/archive/archive_bench).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "archive/readout_archive.h"
#include "archive/sql_connection.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "sim/image_generator.h"

namespace {

using namespace zorvek;
namespace map = memory_map;

constexpr int kCranes = 1000;
constexpr int kReadoutsPerCrane = 10;

// A fresh archive for one benchmark: an SQLite file among the temporary
// files, or a schema of its own on the server.
class BenchArchive {
  public:
    explicit BenchArchive(bool server) {
        const std::string suffix = std::to_string(std::random_device()());
        if (!server) {
            m_file = std::filesystem::temp_directory_path() /
                     ("zorvek-archive-bench-" + suffix + ".sqlite");
            m_location = m_file.string();
        } else {
            const char* uri = std::getenv("ZORVEK_TEST_POSTGRES");
            if (uri == nullptr || uri[0] == '\0') return;
            auto admin = archive::OpenPostgresConnection(uri);
            if (!admin) return;
            m_admin = std::move(admin.value);
            m_schema = "bench" + suffix;
            m_admin->Run("CREATE SCHEMA " + m_schema);
            m_location = std::string(uri) +
                         (std::string(uri).find('?') == std::string::npos ? "?" : "&") +
                         "options=-c%20search_path%3D" + m_schema;
        }
        auto opened = archive::OpenArchive(m_location);
        if (opened) archive = std::move(opened.value);
    }
    ~BenchArchive() {
        archive.reset();
        if (m_admin) m_admin->Run("DROP SCHEMA " + m_schema + " CASCADE");
        if (!m_file.empty()) {
            for (const char* end : {"", "-wal", "-shm"})
                std::filesystem::remove(m_file.string() + end);
        }
    }

    std::unique_ptr<archive::ReadoutArchive> archive;

  private:
    std::string m_location;
    std::filesystem::path m_file;
    std::unique_ptr<archive::SqlConnection> m_admin;
    std::string m_schema;
};

// Crane `crane`'s `reading`-th read-out: its registration number and a
// cycle count that grows from one reading to the next.
archive::NewReadout Readout(const sim::Image& base, int crane, int reading) {
    archive::NewReadout readout;
    readout.image.assign(base.begin(), base.end());
    const std::string registration = "BENCH-" + std::to_string(crane);
    std::copy(registration.begin(), registration.end(),
              readout.image.begin() + map::Offset(map::kPassportAddress) +
                  PassportSheet::kRegistrationNumber * map::kPassportTextSize);
    // A different image every time, as a real later reading is.
    readout.image[map::Offset(map::kEndOfCopyMarkAddress) - 1] = static_cast<std::uint8_t>(reading);
    readout.readAt =
        std::chrono::sys_days(std::chrono::year(2025) / 1 / 1) + std::chrono::days(30 * reading);
    readout.source = archive::ReadoutSource::Recorder;
    readout.program = "55AA0502";
    return readout;
}

void AddThousand(benchmark::State& state, bool server) {
    const sim::Image base = sim::GenerateImage({});
    std::unique_ptr<BenchArchive> bench;
    for (auto _ : state) {
        state.PauseTiming();
        bench = std::make_unique<BenchArchive>(server);
        if (!bench->archive) {
            state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
            break;
        }
        state.ResumeTiming();
        for (int crane = 0; crane < kCranes; ++crane) {
            if (!bench->archive->Add(Readout(base, crane, 0))) state.SkipWithError("add failed");
        }
    }
}

// The fleet of a thousand cranes, made once per backend.
BenchArchive& Fleet(bool server) {
    static std::unique_ptr<BenchArchive> fleets[2];
    auto& fleet = fleets[server ? 1 : 0];
    if (!fleet) {
        fleet = std::make_unique<BenchArchive>(server);
        const sim::Image base = sim::GenerateImage({});
        for (int reading = 0; fleet->archive && reading < kReadoutsPerCrane; ++reading) {
            for (int crane = 0; crane < kCranes; ++crane)
                fleet->archive->Add(Readout(base, crane, reading));
        }
    }
    return *fleet;
}

void FleetList(benchmark::State& state, bool server) {
    BenchArchive& fleet = Fleet(server);
    if (!fleet.archive) {
        state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
        return;
    }
    for (auto _ : state) {
        const auto lines = fleet.archive->Fleet();
        if (lines.value.size() != kCranes) state.SkipWithError("fleet incomplete");
    }
}

void CompareTwo(benchmark::State& state, bool server) {
    BenchArchive& fleet = Fleet(server);
    if (!fleet.archive) {
        state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
        return;
    }
    const auto crane = fleet.archive->List(std::string("BENCH-500"));
    if (crane.value.size() != kReadoutsPerCrane) {
        state.SkipWithError("crane incomplete");
        return;
    }
    for (auto _ : state) {
        const auto later = fleet.archive->Get(crane.value.front().id);
        const auto earlier = fleet.archive->Get(crane.value.back().id);
        benchmark::DoNotOptimize(archive::Compare(earlier.value.summary, later.value.summary));
    }
}

BENCHMARK_CAPTURE(AddThousand, sqlite, false)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(AddThousand, postgres, true)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(FleetList, sqlite, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FleetList, postgres, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(CompareTwo, sqlite, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(CompareTwo, postgres, true)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
