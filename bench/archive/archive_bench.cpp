// The read-out archive on both backends: adding a thousand distinct images,
// the fleet list of a thousand cranes with ten read-outs each, what is due
// on them (`archive fleet --due`) and their fleet report (`archive fleet
// --report`), what `zorvek-cli archive compare` does, and rounds of writers adding at once
// (a stress run: every read-out stored once, every flag as one writer
// alone would set it), and `zorvek-cli archive import` of a folder of a
// thousand dump files, on SQLite set against the sqlite3 shell storing the
// same files one transaction each (the floor the disk sets). PostgreSQL where ZORVEK_TEST_POSTGRES
// names a server (scripts/with-postgres.sh bench/archive/archive_bench).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <barrier>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "archive/fleet_due.h"
#include "archive/readout_archive.h"
#include "archive/sql_connection.h"
#include "flows/archive_import.h"
#include "flows/fleet_report.h"
#include "model/format.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "reports/charts/gui_application.h"
#include "reports/paper/paper_writer.h"
#include "sim/image_bytes.h"
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
            if (!m_admin->Run("CREATE SCHEMA " + m_schema)) return;
            m_location = std::string(uri) +
                         (std::string(uri).find('?') == std::string::npos ? "?" : "&") +
                         "options=-c%20search_path%3D" + m_schema;
            if (!archive::InitArchive(m_location)) return;
        }
        auto opened = archive::OpenArchive(m_location);
        if (opened) archive = std::move(opened.value);
    }
    ~BenchArchive() {
        archive.reset();
        // One left behind goes with the throwaway server.
        if (m_admin) static_cast<void>(m_admin->Run("DROP SCHEMA " + m_schema + " CASCADE"));
        if (!m_file.empty()) {
            for (const char* end : {"", "-wal", "-shm"})
                std::filesystem::remove(m_file.string() + end);
        }
    }

    std::unique_ptr<archive::ReadoutArchive> archive;
    const std::string& Location() const { return m_location; }

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

// A folder of a thousand dump files, one per crane, removed with it.
class DumpFolder {
  public:
    DumpFolder() {
        m_folder = std::filesystem::temp_directory_path() /
                   ("zorvek-import-bench-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(m_folder / "dumps");
        const sim::Image base = sim::GenerateImage({});
        for (int crane = 0; crane < kCranes; ++crane) {
            const archive::NewReadout readout = Readout(base, crane, 0);
            const auto file = m_folder / "dumps" / ("crane" + std::to_string(crane) + ".krd");
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(readout.image.data()),
                       static_cast<std::streamsize>(readout.image.size()));
            files.push_back(file);
        }
    }
    ~DumpFolder() { std::filesystem::remove_all(m_folder); }
    std::filesystem::path Dumps() const { return m_folder / "dumps"; }
    std::filesystem::path Scratch() const { return m_folder; }
    std::vector<std::filesystem::path> files;

  private:
    std::filesystem::path m_folder;
};

// Seconds the sqlite3 shell takes to store `files` in a new WAL database,
// one transaction each; nothing without the shell.
std::optional<double> ShellFloor(const DumpFolder& folder) {
    const auto script = folder.Scratch() / "floor.sql";
    {
        std::ofstream sql(script);
        sql << "PRAGMA journal_mode=WAL;\nCREATE TABLE images (name TEXT PRIMARY KEY, bytes BLOB "
               "NOT NULL);\n";
        for (std::size_t i = 0; i < folder.files.size(); ++i) {
            sql << "BEGIN; INSERT INTO images VALUES ('" << i << "', readfile('"
                << folder.files[i].string() << "')); COMMIT;\n";
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string command = "sqlite3 '" + (folder.Scratch() / "floor.sqlite").string() +
                                "' < '" + script.string() + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ImportFolder(benchmark::State& state, bool server) {
    const DumpFolder folder;
    std::unique_ptr<BenchArchive> bench;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench = std::make_unique<BenchArchive>(server);
        if (!bench->archive) {
            state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
            break;
        }
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const ImportSummary summary = ImportImages({folder.Dumps()}, *bench->archive);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!summary || summary.added != kCranes) state.SkipWithError("import failed");
    }
    state.counters["images"] = kCranes;
    if (server) return;
    if (const auto floor = ShellFloor(folder)) {
        state.counters["sqlite3_shell_s"] = *floor;
        state.counters["times_the_shell"] = seconds / *floor;
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
            for (int crane = 0; fleet->archive && crane < kCranes; ++crane) {
                // A fleet with a read-out missing measures nothing.
                if (!fleet->archive->Add(Readout(base, crane, reading))) fleet->archive.reset();
            }
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

// What `zorvek-cli archive fleet --due` does past opening the archive.
void FleetDue(benchmark::State& state, bool server) {
    BenchArchive& fleet = Fleet(server);
    if (!fleet.archive) {
        state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
        return;
    }
    const std::chrono::sys_days today = DayOf(SystemClock().Now());
    for (auto _ : state) {
        const auto lines = fleet.archive->Fleet();
        if (lines.value.size() != kCranes) state.SkipWithError("fleet incomplete");
        int due = 0;
        for (const archive::FleetLine& line : lines.value) due += archive::DueOf(line, today).Any();
        benchmark::DoNotOptimize(due);
    }
}

// What `zorvek-cli archive fleet --report DIR` does past opening the
// archive: the fleet with each crane's passport and read-out before, the
// report made, its RTF and XLSX written, and its PDF when `pdf`.
void FleetReportFiles(benchmark::State& state, bool server, bool pdf) {
    BenchArchive& fleet = Fleet(server);
    if (!fleet.archive) {
        state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
        return;
    }
    const GuiApplicationScope gui;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("zorvek-fleet-report-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);
    const LocalDateTime now = SystemClock().Now();
    for (auto _ : state) {
        const auto cranes = fleet.archive->FleetDetails();
        if (cranes.value.size() != kCranes) state.SkipWithError("fleet incomplete");
        const FleetReport report =
            MakeFleetReport(cranes.value, DayOf(now), now, fleet.archive->Location());
        const zorvek::FleetReportFiles files = WriteFleetReport(report, folder / "fleet-report");
        if (!files.failedFile.empty() || !files.paper) state.SkipWithError("not written");
        if (pdf && !WritePdf(*files.paper, folder / "fleet-report.pdf"))
            state.SkipWithError("PDF not written");
    }
    std::filesystem::remove_all(folder);
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

void SetPassportText(sim::Image& image, int row, const std::string& text) {
    auto field = sim::ImageSpan(image, map::kPassportAddress + row * map::kPassportTextSize,
                                map::kPassportTextSize);
    std::fill(field.begin(), field.end(), 0);
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

// One read-out of a stress round, and the flags it must end up with.
struct RoundReadout {
    archive::NewReadout readout;
    std::string crane;
    std::string recorder;
    int cycles = 0;
    archive::ReadoutFlags expected;
};

// Three cranes read four times each. The third reading has fewer cycles
// than the second; at the fourth each crane carries its neighbour's
// recorder, so that a write also changes other cranes' lines.
std::vector<RoundReadout> StressRound(int round) {
    constexpr int kRoundCranes = 3;
    constexpr int kCycles[] = {0, 20, 5, 30};
    std::vector<RoundReadout> readouts;
    for (int reading = 0; reading < 4; ++reading) {
        for (int crane = 0; crane < kRoundCranes; ++crane) {
            RoundReadout r;
            r.crane = "S" + std::to_string(round) + "-" + std::to_string(crane);
            const int recorderOf = reading == 3 ? (crane + 1) % kRoundCranes : crane;
            r.recorder = "SR" + std::to_string(round) + "-" + std::to_string(recorderOf);
            r.cycles = kCycles[reading];
            sim::Image image = sim::GenerateImage({static_cast<std::uint32_t>(round)});
            SetPassportText(image, PassportSheet::kRegistrationNumber, r.crane);
            SetPassportText(image, PassportSheet::kRecorderSerial, r.recorder);
            auto block =
                sim::ImageSpan(image, map::kStatisticsTotalAddress, map::kStatisticsBlockSize);
            const int lightest = block[4] | block[5] << 8;
            block[4] = static_cast<std::uint8_t>(lightest + r.cycles);
            block[5] = static_cast<std::uint8_t>((lightest + r.cycles) >> 8);
            sim::SealBlock(block);
            r.readout.image.assign(image.begin(), image.end());
            // Distinct times, so that the order in time never rests on ids.
            r.readout.readAt = std::chrono::sys_days(std::chrono::year(2025) / 1 / 1) +
                               std::chrono::days(round * 100 + reading * 10 + crane);
            r.readout.source = archive::ReadoutSource::Recorder;
            r.readout.program = "55AA0502";
            readouts.push_back(std::move(r));
        }
    }
    // The flags as the rule states them, set in time order (the list above
    // is in time order): against the crane's read-out before, and the
    // recorder's.
    struct Last {
        std::string other;
        int cycles = 0;
    };
    std::map<std::string, Last> ofCrane;
    std::map<std::string, std::string> craneOfRecorder;
    for (RoundReadout& r : readouts) {
        if (const auto it = ofCrane.find(r.crane); it != ofCrane.end()) {
            r.expected.recorderChanged = it->second.other != r.recorder;
            r.expected.countersBack = r.cycles < it->second.cycles;
        }
        if (const auto it = craneOfRecorder.find(r.recorder); it != craneOfRecorder.end())
            r.expected.recorderChanged |= it->second != r.crane;
        ofCrane[r.crane] = {r.recorder, r.cycles};
        craneOfRecorder[r.recorder] = r.crane;
    }
    return readouts;
}

// Each round, four writers of their own connection add the round's
// read-outs at once, each in an order of its own.
void ConcurrentAdds(benchmark::State& state, bool server) {
    constexpr int kWriters = 4;
    constexpr int kRounds = 50;
    int failedAdds = 0;
    int wrongFlags = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchArchive bench(server);
        if (!bench.archive) {
            state.SkipWithError("no archive (ZORVEK_TEST_POSTGRES?)");
            break;
        }
        std::vector<std::unique_ptr<archive::ReadoutArchive>> writers;
        for (int i = 0; i < kWriters; ++i) {
            auto opened = archive::OpenArchive(bench.Location());
            if (opened) writers.push_back(std::move(opened.value));
        }
        if (writers.size() != kWriters) {
            state.SkipWithError("a writer did not open the archive");
            break;
        }
        state.ResumeTiming();
        for (int round = 0; round < kRounds; ++round) {
            const std::vector<RoundReadout> readouts = StressRound(round);
            std::barrier start(kWriters);
            std::vector<int> failed(kWriters, 0);
            std::vector<std::thread> threads;
            for (int w = 0; w < kWriters; ++w) {
                threads.emplace_back([&, w] {
                    std::vector<std::size_t> order(readouts.size());
                    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
                    std::shuffle(order.begin(), order.end(),
                                 std::mt19937(static_cast<std::uint32_t>(round * kWriters + w)));
                    start.arrive_and_wait();
                    for (const std::size_t i : order) {
                        if (!writers[w]->Add(readouts[i].readout)) ++failed[w];
                    }
                });
            }
            for (std::thread& thread : threads) thread.join();
            for (const int f : failed) failedAdds += f;
            std::map<std::pair<std::string, std::int64_t>, archive::ReadoutFlags> stored;
            for (int crane = 0; crane < 3; ++crane) {
                const std::string name = "S" + std::to_string(round) + "-" + std::to_string(crane);
                for (const auto& summary : bench.archive->List(name).value)
                    stored[{name, summary.readAt.time_since_epoch().count()}] = summary.flags;
            }
            for (const RoundReadout& r : readouts) {
                const auto it = stored.find({r.crane, r.readout.readAt.time_since_epoch().count()});
                if (it == stored.end() ||
                    it->second.recorderChanged != r.expected.recorderChanged ||
                    it->second.countersBack != r.expected.countersBack) {
                    ++wrongFlags;
                }
            }
            if (stored.size() != readouts.size()) ++wrongFlags;
        }
    }
    state.counters["rounds"] = kRounds;
    state.counters["failed_adds"] = failedAdds;
    state.counters["wrong_or_missing"] = wrongFlags;
    if (failedAdds != 0 || wrongFlags != 0) state.SkipWithError("read-outs lost or flags wrong");
}

BENCHMARK_CAPTURE(AddThousand, sqlite, false)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(AddThousand, postgres, true)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(ImportFolder, sqlite, false)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(ImportFolder, postgres, true)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(FleetList, sqlite, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FleetList, postgres, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FleetDue, sqlite, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FleetDue, postgres, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FleetReportFiles, sqlite, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FleetReportFiles, postgres, true, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FleetReportFiles, sqlite_without_pdf, false, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(CompareTwo, sqlite, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(CompareTwo, postgres, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ConcurrentAdds, sqlite, false)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(ConcurrentAdds, postgres, true)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
