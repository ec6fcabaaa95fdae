#include "app/report_runner.h"

#include <QStandardPaths>

#include "app/window_thread.h"
#include "flows/readout_stamp.h"
#include "ui/dialogs.h"
#include "ui/text.h"

namespace zorvek {

DocumentFiling::DocumentFiling(std::filesystem::path folder, ui::Dialogs& dialogs)
    : m_folder(std::move(folder), [this, &dialogs](const std::filesystem::path& file) {
          const QString name = QString::fromStdU16String(file.generic_u16string());
          m_opened = false;
          if (m_open) OnWindowThread([&] { m_opened = dialogs.OpenWithDesktop(name); });
          return m_opened;
      }) {}

std::filesystem::path DocumentFiling::PathFor(std::string_view title, std::string_view extension) {
    return m_folder.PathFor(title, extension);
}

void DocumentFiling::Finished(const std::filesystem::path& path, const TransferResult& written) {
    m_writeFailed = !written;
    if (written) m_filed = path;
    m_folder.Finished(path, written);
}

void DocumentFiling::Forget(bool open) {
    m_open = open;
    m_filed.clear();
    m_opened = false;
    m_writeFailed = false;
}

ReportRunner::ReportRunner(Session& session, ui::Dialogs& dialogs, ProgressSink& progress,
                           HistogramPictures& pictures, std::filesystem::path documents,
                           std::filesystem::path templates)
    : m_session(session),
      m_dialogs(dialogs),
      m_progress(progress),
      m_pictures(pictures),
      m_notifier(dialogs),
      m_sink(std::move(documents), dialogs),
      m_word(std::move(templates), m_notifier, m_sink),
      m_excel(m_sink, "Приложение 3") {}

bool ReportRunner::Run(const DocumentEntry& entry, bool charts, DocumentView view,
                       std::function<void()> pause) {
    const ReportInputs inputs{m_session.dispatch, m_session.sheet, m_notifier, &m_progress,
                              std::move(pause)};
    DocumentTools tools{
        inputs,    m_word,   m_excel, m_pictures, charts,
        m_columns, m_filter, m_title, m_busy,     StampLine(ReadoutStamp(m_session))};
    m_sink.Forget(view == DocumentView::Editor);
    m_paper.reset();
    const bool built = BuildDocument(entry, tools);
    if (!m_sink.Filed().empty() && !m_sink.Opened()) m_paper = PaperOf(entry, m_word, m_excel);
    // The command line's words and reason, with the file as the documents
    // folder named it ("Документ Приложение 4 2026-12-07 19-40-12.rtf не
    // создан: нет места на диске"); other failures have had their own message.
    if (m_sink.WriteFailed()) {
        const QString message = ui::QStringOfCp1251(NotCreatedMessage(entry, tools));
        OnWindowThread([&] { m_dialogs.Error(m_notifier.Parent(), message); });
    }
    return built;
}

std::filesystem::path DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return std::filesystem::path(documents.toStdU16String()) / u"ЗОРВЕК";
}

}  // namespace zorvek
