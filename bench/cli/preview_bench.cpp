// From a document command to the preview's first page: the document built
// through its layer, read into pages, laid out, and its first page painted
// at the preview's scale. Appendix 1 with its pictures and appendix 3 with
// every column are the largest.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>

#include "access/program_location.h"
#include "cli/image_source.h"
#include "flows/document_table.h"
#include "reports/charts/gui_application.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "reports/paper/paper_writer.h"
#include "reports/word/documents/chart_histogram_pictures.h"
#include "reports/word/rtf_word_layer.h"
#include "sim/image_generator.h"

namespace zorvek {
namespace {

// The preview files nothing: the layers keep their documents in memory.
class NoFiles final : public DocumentSink {
  public:
    std::filesystem::path PathFor(std::string_view, std::string_view) override { return {}; }
    void Finished(const std::filesystem::path&, const TransferResult&) override {}
    bool Keeps(std::string_view) const override { return false; }
};

class Quiet final : public Notifier, public TitleSink {
  public:
    void Notify(std::string_view) override {}
    void SetTitle(std::string_view) override {}
};

void FirstPage(benchmark::State& state, std::string_view name) {
    const auto path = std::filesystem::temp_directory_path() / "zorvek-preview-bench.krd";
    const sim::Image image = sim::GenerateImage({});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    auto session = cli::OpenImageQuietly(path);
    if (!session) {
        state.SkipWithError("image not loaded");
        return;
    }
    Quiet quiet;
    NoFiles sink;
    ReportInputs inputs{session->dispatch, session->sheet, quiet, nullptr, {}};
    RtfWordLayer word(DataDirectory() / "Kvelta", quiet, sink);
    XlsxExcelLayer excel(sink, "Приложение 3");
    ChartHistogramPictures pictures;
    const ColumnSwitches columns = ColumnSwitches::All();
    const FilterMask filter;
    BuildBusy busy;
    DocumentTools tools{inputs, word, excel, pictures, true, columns, filter, quiet, busy, {}};
    const DocumentEntry& entry = *FindDocument(name);
    QImage screen(794, 1123, QImage::Format_RGB32);  // A4 at 96 dpi
    for (auto _ : state) {
        if (!BuildDocument(entry, tools)) state.SkipWithError("document not built");
        const auto paper = PaperOf(entry, word, excel);
        const PaperLayout layout(*paper);
        QPainter painter(&screen);
        painter.scale(96.0 / 1440, 96.0 / 1440);
        layout.PaintPage(painter, 0);
    }
    std::filesystem::remove(path);
}

void BM_PreviewAppendix1WithPictures(benchmark::State& state) {
    FirstPage(state, "appendix1-total");
}
BENCHMARK(BM_PreviewAppendix1WithPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreviewAppendix3EveryColumn(benchmark::State& state) { FirstPage(state, "appendix3"); }
BENCHMARK(BM_PreviewAppendix3EveryColumn)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zorvek

int main(int argc, char** argv) {
    zorvek::GuiApplicationScope gui;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
