#include "cli/report_command.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "access/program_location.h"
#include "cli/archive_command.h"
#include "cli/image_source.h"
#include "cli/report_options.h"
#include "cli/terminal.h"
#include "cli/terminal_sinks.h"
#include "flows/document_table.h"
#include "flows/failure_text.h"
#include "flows/readout_stamp.h"
#include "model/cp1251.h"
#include "model/scratch_file.h"
#include "reports/charts/drawing_thread.h"
#include "reports/charts/gui_application.h"
#include "reports/common/fixed_path_document_sink.h"
#include "reports/common/report_inputs.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "reports/paper/paper_writer.h"
#include "reports/word/documents/chart_histogram_pictures.h"
#include "reports/word/rtf_word_layer.h"

namespace zorvek::cli {
namespace {

// The batch has no window: no title to show, nothing to pump.
class NoWindow final : public TitleSink {
  public:
    void SetTitle(std::string_view) override {}
};

// The builders' messages, kept to be printed with their document once every
// document is made: the spreadsheet's writer silences the process's stderr
// while it closes a workbook, which would swallow what was said beside it.
class HeldMessages final : public Notifier {
  public:
    void Notify(std::string_view text) override { m_texts.emplace_back(text); }
    std::vector<std::string> Take() { return std::exchange(m_texts, {}); }

  private:
    std::vector<std::string> m_texts;
};

// The batch's sink, writing only the editable formats asked for.
class BatchSink final : public DocumentSink {
  public:
    explicit BatchSink(const DocumentFormats& formats) : m_formats(formats) {}

    void SetPath(std::filesystem::path path) { m_path.SetPath(std::move(path)); }
    std::filesystem::path PathFor(std::string_view title, std::string_view extension) override {
        return m_path.PathFor(title, extension);
    }
    void Finished(const std::filesystem::path&, const TransferResult&) override {}
    bool Keeps(std::string_view extension) const override {
        return extension == "xlsx" ? m_formats.xlsx : m_formats.rtf;
    }

  private:
    const DocumentFormats& m_formats;
    FixedPathDocumentSink m_path;
};

// Everything the builders share while one image is turned into documents.
struct Batch {
    Batch(Session& session, const ReportOptions& options, Notifier& notifier,
          TerminalProgress& progress)
        : inputs{session.dispatch, session.sheet, notifier, &progress, {}},
          sink(options.formats),
          word(DataDirectory() / "Kvelta", notifier, sink),
          excel(sink, "Приложение 3"),
          tools{inputs,          word,           excel,  pictures, options.charts,
                options.columns, options.filter, window, busy,     {}} {}

    ReportInputs inputs;
    BatchSink sink;
    RtfWordLayer word;
    XlsxExcelLayer excel;
    ChartHistogramPictures pictures;
    NoWindow window;
    BuildBusy busy;
    DocumentTools tools;
};

// What became of one document; texts in cp1251.
struct Outcome {
    bool built = false;
    std::vector<std::filesystem::path> files;  // as written, in the order written
    std::vector<std::string> messages;
    std::string failure;
};

// A share of the documents, made one after another. Each lane reads the
// image through a session of its own: a dump file is read at one file
// position, which two threads cannot share.
class Lane {
  public:
    Lane(std::unique_ptr<Session> session, const ReportOptions& options, ProgressLine& line,
         std::size_t part)
        : m_formats(options.formats),
          m_session(std::move(session)),
          m_progress(line, part),
          m_batch(*m_session, options, m_messages, m_progress) {
        m_batch.tools.footer = StampLine(ReadoutStamp(*m_session));
    }

    void Add(std::size_t index, const DocumentEntry& document) {
        m_documents.emplace_back(index, &document);
    }

    // Each document's outcome goes to its index in `outcomes`.
    void Run(const std::filesystem::path& folder, std::vector<Outcome>& outcomes) {
        for (const auto& [index, document] : m_documents) {
            const auto path = folder / document->fileName;
            auto pdf = path;
            pdf.replace_extension(".pdf");
            const bool editable = m_batch.sink.Keeps(path.extension().string().substr(1));
            m_batch.sink.SetPath(path);
            m_progress.Start(document->fileName);
            // A stale file must not pass for a new one.
            std::error_code ignored;
            if (editable) std::filesystem::remove(path, ignored);
            if (m_formats.pdf) std::filesystem::remove(pdf, ignored);
            Outcome& outcome = outcomes[index];
            outcome.built = BuildDocument(*document, m_batch.tools) &&
                            (!editable || std::filesystem::is_regular_file(path, ignored));
            if (outcome.built && editable) outcome.files.push_back(path);
            if (!outcome.built) {
                outcome.failure = NotCreatedMessage(*document, m_batch.tools);
            } else if (m_formats.pdf) {
                const TransferResult written = WritePaper(*document, pdf);
                outcome.built = written.Succeeded();
                if (outcome.built)
                    outcome.files.push_back(pdf);
                else
                    outcome.failure = NotCreatedMessage(pdf.filename().string(), written);
            }
            m_progress.Finish();
            outcome.messages = m_messages.Take();
        }
    }

    bool TemplatesDamaged() const { return m_batch.word.MustTerminate(); }

  private:
    TransferResult WritePaper(const DocumentEntry& document, const std::filesystem::path& pdf) {
        const auto paper = PaperOf(document, m_batch.word, m_batch.excel);
        return paper ? WritePdf(*paper, pdf) : TransferResult::Fail(TransferError::IoError);
    }

    const DocumentFormats& m_formats;
    std::unique_ptr<Session> m_session;
    HeldMessages m_messages;
    TerminalProgress m_progress;
    Batch m_batch;
    std::vector<std::pair<std::size_t, const DocumentEntry*>> m_documents;
};

// A second session on the image for the workbook's lane, with the passport
// file read into it as into the first; null when either fails to load now.
std::unique_ptr<Session> SecondSession(const std::filesystem::path& image,
                                       const ReportOptions& options) {
    auto session = OpenImageQuietly(image);
    if (session && options.passport && !LoadInfoIni(session->sheet, *options.passport)) {
        return nullptr;
    }
    return session;
}

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
    // The export gave the copy the read-out's stored read time.
    if (options->fromArchive) session->readAt = FileWrittenAt(image);
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

    // The pictures and the pages are drawn with the window toolkit's painter,
    // which needs an application object even without a screen.
    std::optional<GuiApplicationScope> gui;
    if (options->charts || options->formats.pdf) gui.emplace();

    std::vector<const DocumentEntry*> chosen;
    for (const DocumentEntry& document : Documents()) {
        if (options->only.empty() || options->only.count(std::string(document.name)))
            chosen.push_back(&document);
    }
    // The workbook takes about as long as all the other documents together,
    // so it is made beside them where it is not made alone.
    const auto workbooks =
        std::count_if(chosen.begin(), chosen.end(),
                      [](const DocumentEntry* entry) { return IsWorkbook(*entry); });
    const bool apart = workbooks > 0 && workbooks < static_cast<std::ptrdiff_t>(chosen.size());
    ProgressLine line;
    Lane lane(std::move(session), *options, line, 0);
    std::unique_ptr<Lane> workbookLane;
    if (auto second = apart ? SecondSession(image, *options) : nullptr) {
        workbookLane = std::make_unique<Lane>(std::move(second), *options, line, 1);
    }
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        (workbookLane && IsWorkbook(*chosen[i]) ? *workbookLane : lane).Add(i, *chosen[i]);
    }
    std::vector<Outcome> outcomes(chosen.size());
    {
        std::optional<DrawingThread> beside;
        if (workbookLane) beside.emplace([&] { workbookLane->Run(options->outDir, outcomes); });
        lane.Run(options->outDir, outcomes);
    }

    int failed = 0;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        for (const std::string& message : outcomes[i].messages) PrintError(message);
        for (const auto& file : outcomes[i].files) out << file.string() << '\n';
        if (!outcomes[i].built) {
            ++failed;
            PrintError(outcomes[i].failure);
        }
    }
    if (!FlushOutput(out)) return kOutputFailed;
    if (lane.TemplatesDamaged()) {
        PrintErrorUtf8("Шаблоны документов повреждены: переустановите программу.");
        return 4;
    }
    return failed == 0 ? 0 : 4;
}

}  // namespace zorvek::cli
