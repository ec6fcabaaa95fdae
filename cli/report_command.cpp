#include "cli/report_command.h"

#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "access/program_location.h"
#include "cli/archive_command.h"
#include "cli/image_source.h"
#include "cli/report_options.h"
#include "cli/terminal.h"
#include "cli/terminal_sinks.h"
#include "flows/document_table.h"
#include "flows/failure_text.h"
#include "model/cp1251.h"
#include "model/scratch_file.h"
#include "reports/charts/gui_application.h"
#include "reports/common/fixed_path_document_sink.h"
#include "reports/common/report_inputs.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "reports/word/documents/chart_histogram_pictures.h"
#include "reports/word/rtf_word_layer.h"

namespace zorvek::cli {
namespace {

// The batch has no window: no title to show, nothing to pump.
class NoWindow final : public TitleSink {
  public:
    void SetTitle(std::string_view) override {}
};

// Everything the builders share while one image is turned into documents.
struct Batch {
    Batch(Session& session, const ReportOptions& options, StderrNotifier& notifier,
          TerminalProgress& progress)
        : inputs{session.dispatch, session.sheet, notifier, &progress, {}},
          word(DataDirectory() / "Kvelta", notifier, sink),
          excel(sink, "Приложение 3"),
          tools{inputs,          word,           excel,  pictures, options.charts,
                options.columns, options.filter, window, busy} {}

    ReportInputs inputs;
    FixedPathDocumentSink sink;
    RtfWordLayer word;
    XlsxExcelLayer excel;
    ChartHistogramPictures pictures;
    NoWindow window;
    BuildBusy busy;
    DocumentTools tools;
};

}  // namespace

int RunReport(const std::vector<std::string>& args, std::ostream& out) {
    ReportArguments raw;
    CLI::App parser(kReportDescription, kReportName);
    AddReportOptions(parser, raw);
    std::string error;
    if (const auto code = Parse(parser, args, out, error)) {
        if (*code != 0) ReportUsageMistake(parser, error);
        return *code;
    }
    const auto options = CheckReportArguments(raw, error);
    if (!options) {
        ReportUsageMistake(parser, error);
        return kWrongUsage;
    }

    // A stored read-out is made into documents from a copy of its image,
    // loaded as any image file is.
    std::optional<ScratchFile> copy;
    std::filesystem::path image = options->image;
    if (options->fromArchive) {
        copy.emplace("readout");
        if (!copy->Made()) {
            PrintErrorUtf8("Не удалось создать временный файл: " +
                           Utf8FromCp1251(FailureText(copy->Made())));
            return 2;
        }
        if (const int code = ExportReadout(*options->fromArchive, copy->Path())) return code;
        image = copy->Path();
    }
    int exitCode = 0;
    auto session = OpenImage(image, exitCode);
    if (!session) return exitCode;
    if (options->passport) {
        if (const TransferResult loaded = LoadInfoIni(session->sheet, *options->passport);
            !loaded) {
            PrintErrorUtf8("Не удалось прочитать файл паспорта " + options->passport->string() +
                           ": " + Utf8FromCp1251(PassportFileFailureText(loaded)));
            return 2;
        }
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
    Batch batch(*session, *options, notifier, progress);
    int failed = 0;
    for (const DocumentEntry& document : Documents()) {
        if (!options->only.empty() && !options->only.count(std::string(document.name))) continue;
        const auto path = options->outDir / document.fileName;
        batch.sink.SetPath(path);
        progress.Start(document.fileName);
        std::error_code ignored;
        std::filesystem::remove(path, ignored);  // a stale file must not pass for a new one
        const bool built = BuildDocument(document, batch.tools);
        progress.Finish();
        if (built && std::filesystem::is_regular_file(path, ignored)) {
            out << path.string() << '\n';
        } else {
            ++failed;
            PrintError(NotCreatedMessage(document, batch.tools));
        }
    }
    if (!FlushOutput(out)) return kOutputFailed;
    if (batch.word.MustTerminate()) {
        PrintErrorUtf8("Шаблоны документов повреждены: переустановите программу.");
        return 4;
    }
    return failed == 0 ? 0 : 4;
}

}  // namespace zorvek::cli
