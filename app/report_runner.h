#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include "app/document_view.h"
#include "app/window_sinks.h"
#include "flows/document_table.h"
#include "flows/session.h"
#include "reports/common/folder_document_sink.h"
#include "reports/common/paper_document.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "reports/word/rtf_word_layer.h"

namespace zorvek {

// The documents folder as the window files into it, remembering what became
// of the last document: where it went, whether it was written and opened.
// Every document is written; only those shown in the editor are opened.
class DocumentFiling final : public DocumentSink {
  public:
    DocumentFiling(std::filesystem::path folder, ui::Dialogs& dialogs);
    DocumentFiling(const DocumentFiling&) = delete;
    DocumentFiling& operator=(const DocumentFiling&) = delete;

    std::filesystem::path PathFor(std::string_view title, std::string_view extension) override;
    void Finished(const std::filesystem::path& path, const TransferResult& written) override;

    // Before a document is built: nothing filed yet, and whether the
    // desktop is to open it.
    void Forget(bool open);
    // Where the last document was written; empty when none was.
    const std::filesystem::path& Filed() const { return m_filed; }
    bool Opened() const { return m_opened; }
    // A document was finished but could not be written.
    bool WriteFailed() const { return m_writeFailed; }

  private:
    FolderDocumentSink m_folder;
    std::filesystem::path m_filed;
    bool m_open = true;
    bool m_opened = false;
    bool m_writeFailed = false;
};

// Everything the window program's report commands share: the word-processor
// and spreadsheet layers, the documents folder whose files are opened on the
// desktop, appendix 3's column choice, filter and in-progress count.
class ReportRunner {
  public:
    // `documents` is where finished documents are filed; `templates` holds
    // the word processor's templates.
    ReportRunner(Session& session, ui::Dialogs& dialogs, ProgressSink& progress,
                 HistogramPictures& pictures, std::filesystem::path documents,
                 std::filesystem::path templates);

    // Builds one document of the table and files it; the desktop opens it
    // when `view` is the editor. `charts` is "Гистограмы в картинках";
    // `pause` the window's PauseAndResetProgress. Runs on a command's
    // worker; its message boxes and the desktop's handler are reached on the
    // window's thread. A document that cannot be
    // written is reported in an error box with its reason.
    bool Run(const DocumentEntry& entry, bool charts, DocumentView view,
             std::function<void()> pause);

    // After Run: where its document went (empty when none was written),
    // whether the desktop opened it, and, for one the desktop did not open,
    // the document read for paper, taken once (nothing when none was
    // written). The paper is read on the worker too: for appendix 3 it takes
    // a while.
    const std::filesystem::path& LastFiled() const { return m_sink.Filed(); }
    bool LastOpened() const { return m_sink.Opened(); }
    std::optional<PaperDocument> TakePaper() { return std::exchange(m_paper, std::nullopt); }

    // A damaged template was met: the program must end.
    bool MustTerminate() const { return m_word.MustTerminate(); }

    BoxNotifier& Notifier() { return m_notifier; }
    ColumnSwitches& Columns() { return m_columns; }
    FilterMask& Filter() { return m_filter; }
    BuildBusy& Busy() { return m_busy; }
    ApplicationTitle& Title() { return m_title; }

  private:
    Session& m_session;
    ui::Dialogs& m_dialogs;
    ProgressSink& m_progress;
    HistogramPictures& m_pictures;
    BoxNotifier m_notifier;
    DocumentFiling m_sink;
    RtfWordLayer m_word;
    XlsxExcelLayer m_excel;
    ApplicationTitle m_title;
    ColumnSwitches m_columns = DefaultColumnSwitches();
    FilterMask m_filter;
    BuildBusy m_busy;
    std::optional<PaperDocument> m_paper;
};

// The user's documents folder with its "ЗОРВЕК" subfolder.
std::filesystem::path DocumentsFolder();

}  // namespace zorvek
