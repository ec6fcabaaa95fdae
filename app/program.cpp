#include "app/program.h"

#include <QApplication>
#include <QFont>

namespace zorvek {
namespace {

QString QStringOfPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace

Program::Program(ui::Dialogs& dialogs, Settings settings)
    : m_waits(std::make_unique<CancellableWaits>(*settings.deviceWaits)),
      m_devices(m_session, *m_waits) {
    // The windows' fixed sizes and positions are laid out for small type.
    QFont font = QApplication::font();
    font.setPixelSize(11);
    QApplication::setFont(font);
    const QString data = QStringOfPath(settings.data);
    m_reports = std::make_unique<ReportRunner>(m_session, dialogs, m_progress, m_pictures,
                                               settings.documents, settings.data / "Kvelta");
    m_settings =
        settings.settingsFile.isEmpty()
            ? std::make_unique<QSettings>(QStringLiteral("zorvek"), QStringLiteral("zorvek"))
            : std::make_unique<QSettings>(settings.settingsFile, QSettings::IniFormat);
    m_archive = std::make_unique<ArchiveLink>(*m_settings, std::move(settings.openArchive));
    m_view = std::make_unique<DocumentViewSetting>(*m_settings);
    m_main = std::make_unique<TInfo_Form>(m_session, m_devices, *m_waits, dialogs, *m_reports,
                                          m_progress, *m_archive, *m_view,
                                          std::move(settings.arguments), data);
    ui::TForm3::Build build{
        m_reports->Columns(), m_reports->Busy(), [this] { m_main->ProgressBar1_()->hide(); },
        [this](std::function<void()> finished) { m_main->RunAppendix3(std::move(finished)); }};
    m_options =
        new ui::TForm3(m_main.get(), dialogs, m_session.choice.craneKind, std::move(build), data);
    m_progressWindow = new ui::TForm2(m_main.get(), data + "/toxls.gif");
    m_reports->Title().ShowOn(m_progressWindow);
    m_about = new ui::TForm4(m_main.get(), dialogs, data + "/about.png");
    m_filter = new ui::TForm5(m_main.get(), m_reports->Filter());
    m_chart = new ui::TForm6(m_main.get());
    m_pictures.chart = m_chart;
    m_options->SetCompanions(m_progressWindow, m_filter);
    m_main->SetCompanions(m_options, m_about);
}

}  // namespace zorvek
