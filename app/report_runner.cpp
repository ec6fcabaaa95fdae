#include "app/report_runner.h"

#include <QStandardPaths>

#include "ui/dialogs.h"

namespace zorvek {

ReportRunner::ReportRunner(Session& session, ui::Dialogs& dialogs, ProgressSink& progress,
                           HistogramPictures& pictures, std::filesystem::path documents,
                           std::filesystem::path templates)
    : m_session(session),
      m_progress(progress),
      m_pictures(pictures),
      m_notifier(dialogs),
      m_sink(std::move(documents),
             [&dialogs](const std::filesystem::path& file) {
                 return dialogs.OpenWithDesktop(QString::fromStdU16String(file.u16string()));
             }),
      m_word(std::move(templates), m_notifier, m_sink),
      m_excel(m_sink, "Приложение 3") {}

bool ReportRunner::Run(const DocumentEntry& entry, bool charts, std::function<void()> pause) {
    const ReportInputs inputs{m_session.dispatch, m_session.sheet, m_notifier, &m_progress,
                              std::move(pause)};
    DocumentTools tools{inputs,    m_word,   m_excel, m_pictures, charts,
                        m_columns, m_filter, m_title, m_busy};
    return BuildDocument(entry, tools);
}

std::filesystem::path DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return std::filesystem::path(documents.toStdU16String()) / u"ЗОРВЕК";
}

}  // namespace zorvek
