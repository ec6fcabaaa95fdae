// How long an RTF document with a 2,000-row table takes, from the first
// operation to the file on disk. The target is under 20 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "model/cp1251.h"
#include "model/sinks.h"
#include "reports/common/document_sink.h"
#include "reports/word/rtf_word_layer.h"

namespace zorvek {
namespace {

class SilentNotifier final : public Notifier {
  public:
    void Notify(std::string_view) override {}
};

class TempFileSink final : public DocumentSink {
  public:
    std::filesystem::path PathFor(std::string_view, std::string_view) override {
        return std::filesystem::temp_directory_path() / "zorvek-word-bench.rtf";
    }
    void Finished(const std::filesystem::path&, const TransferResult&) override {}
};

// Appendix 4's shape: a landscape page, one column, a cycle line per row.
void BuildTable(RtfWordLayer& layer, int rows) {
    static const std::string kLine = Cp1251FromUtf8(
        " 07.12.26 19:40:12\t\t  101.5\t\t     0ч01м05с\t\t  12.5\t\t     12.0\t\t "
        "\"!Вр\"\"110%\"");
    static const std::string kAppendix = Cp1251FromUtf8("Приложение 4\r\r");
    layer.WordNewDocument(1);
    layer.WordWriteText(kAppendix, 12, false, ParagraphAlign::Right);
    layer.WordWriteText("Cycles", 16, true, ParagraphAlign::Centred);
    layer.WordAddTable(2, 1, 10);
    layer.WordWriteCell("Header", 8, true, ParagraphAlign::Left);
    for (int row = 0; row < rows; ++row) layer.WordWriteCell(kLine, 9, false, ParagraphAlign::Left);
    layer.WordDeleteRow();
    layer.WordMoveDown();
    layer.WordNewParagraph();
    layer.WordWriteLine("After the table", 10, false, ParagraphAlign::Left);
}

void BM_TableOf2000RowsToFile(benchmark::State& state) {
    SilentNotifier notifier;
    TempFileSink sink;
    RtfWordLayer layer(std::filesystem::temp_directory_path(), notifier, sink);
    for (auto _ : state) {
        BuildTable(layer, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(layer.WordShow());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(sink.PathFor("", "")));
    std::filesystem::remove(sink.PathFor("", ""));
}
BENCHMARK(BM_TableOf2000RowsToFile)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_TableOf2000RowsInMemory(benchmark::State& state) {
    SilentNotifier notifier;
    TempFileSink sink;
    RtfWordLayer layer(std::filesystem::temp_directory_path(), notifier, sink);
    for (auto _ : state) {
        BuildTable(layer, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(layer.Rtf());
    }
}
BENCHMARK(BM_TableOf2000RowsInMemory)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvek

BENCHMARK_MAIN();
