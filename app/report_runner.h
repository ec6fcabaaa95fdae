#pragma once

#include <filesystem>
#include <functional>

#include "app/window_sinks.h"
#include "flows/document_table.h"
#include "flows/session.h"
#include "reports/common/folder_document_sink.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "reports/word/rtf_word_layer.h"

namespace zorvek {

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

    // Builds one document of the table. `charts` is "Гистограмы в
    // картинках"; `pause` the window's PauseAndResetProgress.
    bool Run(const DocumentEntry& entry, bool charts, std::function<void()> pause);

    // A damaged template was met: the program must end.
    bool MustTerminate() const { return m_word.MustTerminate(); }

    BoxNotifier& Notifier() { return m_notifier; }
    ColumnSwitches& Columns() { return m_columns; }
    FilterMask& Filter() { return m_filter; }
    BuildBusy& Busy() { return m_busy; }

  private:
    Session& m_session;
    ProgressSink& m_progress;
    HistogramPictures& m_pictures;
    BoxNotifier m_notifier;
    FolderDocumentSink m_sink;
    RtfWordLayer m_word;
    XlsxExcelLayer m_excel;
    ApplicationTitle m_title;
    ColumnSwitches m_columns = DefaultColumnSwitches();
    FilterMask m_filter;
    BuildBusy m_busy;
};

// The user's documents folder with its "ЗОРВЕК" subfolder.
std::filesystem::path DocumentsFolder();

}  // namespace zorvek
