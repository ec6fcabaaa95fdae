#include "cli/report_command.h"

#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "access/program_location.h"
#include "cli/image_source.h"
#include "cli/report_options.h"
#include "cli/terminal.h"
#include "cli/terminal_sinks.h"
#include "reports/charts/gui_application.h"
#include "reports/common/fixed_path_document_sink.h"
#include "reports/common/report_inputs.h"
#include "reports/excel/appendix3/appendix3.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "reports/word/documents/appendix_one.h"
#include "reports/word/documents/chart_histogram_pictures.h"
#include "reports/word/documents/protocol_forms.h"
#include "reports/word/rtf_word_layer.h"
#include "reports/word/tables/cycle_tables.h"
#include "reports/word/tables/mechanism_statistics.h"

namespace zorvek::cli {
namespace {

// The batch has no window: no title to show, nothing to pump.
class NoWindow final : public TitleSink {
  public:
    void SetTitle(std::string_view) override {}
};

// Everything the builders share while one image is turned into documents.
struct Batch {
    Batch(OpenedImage& image, const ReportOptions& reportOptions, StderrNotifier& notifier,
          TerminalProgress& progress)
        : options(reportOptions),
          inputs{image.dispatch, image.sheet, notifier, &progress, {}},
          word(ExecutableDirectory() / "Kvelta", notifier, sink),
          excel(sink, "Приложение 3") {}

    const ReportOptions& options;
    ReportInputs inputs;
    FixedPathDocumentSink sink;
    RtfWordLayer word;
    XlsxExcelLayer excel;
    ChartHistogramPictures pictures;
    NoWindow window;
    BuildBusy busy;
};

struct Document {
    std::string name;
    std::string file;
    std::function<bool(Batch&)> build;
};

const std::vector<Document>& Documents() {
    static const std::vector<Document> kDocuments = {
        {"form1", "form1.rtf", [](Batch& b) { return N11Click(b.inputs, b.word); }},
        {"form2", "form2.rtf", [](Batch& b) { return N21Click(b.inputs, b.word); }},
        {"form3", "form3.rtf", [](Batch& b) { return N31Click(b.inputs, b.word); }},
        {"form4", "form4.rtf", [](Batch& b) { return N41Click(b.inputs, b.word); }},
        {"appendix1-total", "appendix1-total.rtf",
         [](Batch& b) { return N7Click(b.inputs, b.word, b.options.charts, b.pictures); }},
        {"appendix1-since", "appendix1-since.rtf",
         [](Batch& b) { return N8Click(b.inputs, b.word, b.options.charts, b.pictures); }},
        {"appendix2-total", "appendix2-total.rtf",
         [](Batch& b) { return N17Click(b.inputs, b.word); }},
        {"appendix2-since", "appendix2-since.rtf",
         [](Batch& b) { return N18Click(b.inputs, b.word); }},
        {"appendix3", "appendix3.xlsx",
         [](Batch& b) {
             b.busy.Begin();
             return RunAppendix3(b.inputs, b.excel, b.options.columns, b.options.filter, b.window,
                                 b.busy);
         }},
        {"appendix4", "appendix4.rtf", [](Batch& b) { return N15Click(b.inputs, b.word); }},
        {"appendix5", "appendix5.rtf", [](Batch& b) { return N16Click(b.inputs, b.word); }},
    };
    return kDocuments;
}

void PrintUsage(std::ostream& err) {
    err << "Использование: zorvek-cli report ОБРАЗ --out ПАПКА [--passport Info.ini] [--charts]\n"
           "                 [--columns 1,2,...|all] [--protect radius,overload,coord,powerline,"
           "hook,tilt,wind|all]\n"
           "                 [--only form1,...,appendix5]\n";
}

}  // namespace

int RunReport(const std::vector<std::string>& args, std::ostream& out) {
    std::string error;
    const auto options = ParseReportOptions(args, error);
    if (!options) {
        std::cerr << "zorvek-cli report: " << error << '\n';
        PrintUsage(std::cerr);
        return 1;
    }

    int exitCode = 0;
    auto image = OpenImage(options->image, exitCode);
    if (!image) return exitCode;
    if (options->passport && !LoadInfoIni(image->sheet, *options->passport)) {
        PrintErrorUtf8("Не удалось прочитать файл паспорта " + options->passport->string());
        return 2;
    }
    std::error_code folderError;
    std::filesystem::create_directories(options->outDir, folderError);
    if (folderError) {
        PrintErrorUtf8("Не удалось создать папку " + options->outDir.string() + ": " +
                       folderError.message());
        return 2;
    }

    // The pictures are drawn with the window toolkit's painter, which needs
    // an application object even without a screen.
    std::optional<GuiApplicationScope> gui;
    if (options->charts) gui.emplace();

    StderrNotifier notifier;
    TerminalProgress progress;
    Batch batch(*image, *options, notifier, progress);
    int failed = 0;
    for (const Document& document : Documents()) {
        if (!options->only.empty() && !options->only.count(document.name)) continue;
        const auto path = options->outDir / document.file;
        batch.sink.SetPath(path);
        progress.Start(document.file);
        std::error_code ignored;
        std::filesystem::remove(path, ignored);  // a stale file must not pass for a new one
        const bool built = document.build(batch);
        progress.Finish();
        if (built && std::filesystem::is_regular_file(path, ignored)) {
            out << path.string() << '\n';
        } else {
            ++failed;
            PrintErrorUtf8("Документ " + document.file + " не создан.");
        }
    }
    if (batch.word.MustTerminate()) {
        PrintErrorUtf8("Шаблоны документов повреждены: переустановите программу.");
        return 4;
    }
    return failed == 0 ? 0 : 4;
}

}  // namespace zorvek::cli
