// The whole inspection file from one image: every document, appendix 1
// with its pictures, as `zorvek-cli report --charts --columns all` makes them,
// as RTF and XLSX, as PDF, and as both.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/report_command.h"
#include "reports/charts/gui_application.h"
#include "sim/image_generator.h"

namespace {

std::filesystem::path WriteImage() {
    const auto path = std::filesystem::temp_directory_path() / "zorvek-report-bench.krd";
    const zorvek::sim::Image image = zorvek::sim::GenerateImage({});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    return path;
}

void RunReport(benchmark::State& state, std::vector<std::string> extra) {
    const auto image = WriteImage();
    const auto out = std::filesystem::temp_directory_path() / "zorvek-report-bench";
    std::vector<std::string> args = {image.string(), "--out", out.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    for (auto _ : state) {
        std::ostringstream listing;
        if (zorvek::cli::RunReport(args, listing) != 0) state.SkipWithError("report failed");
    }
    std::filesystem::remove_all(out);
    std::filesystem::remove(image);
}

void BM_EveryDocumentWithPictures(benchmark::State& state) {
    RunReport(state, {"--charts", "--columns", "all"});
}
BENCHMARK(BM_EveryDocumentWithPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Appendix3EveryColumn(benchmark::State& state) {
    RunReport(state, {"--only", "appendix3", "--columns", "all"});
}
BENCHMARK(BM_Appendix3EveryColumn)->Unit(benchmark::kMillisecond)->UseRealTime();

// The paper set: every document as PDF only, then beside the editable files.
void BM_EveryDocumentAsPdf(benchmark::State& state) {
    RunReport(state, {"--charts", "--columns", "all", "--format", "pdf"});
}
BENCHMARK(BM_EveryDocumentAsPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EveryDocumentInEveryFormat(benchmark::State& state) {
    RunReport(state, {"--charts", "--columns", "all", "--format", "rtf,xlsx,pdf"});
}
BENCHMARK(BM_EveryDocumentInEveryFormat)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Appendix3AsPdf(benchmark::State& state) {
    RunReport(state, {"--only", "appendix3", "--columns", "all", "--format", "pdf"});
}
BENCHMARK(BM_Appendix3AsPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    zorvek::GuiApplicationScope gui;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
