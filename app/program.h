#pragma once

#include <QSettings>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "access/wait_clock.h"
#include "app/archive_link.h"
#include "app/document_view.h"
#include "app/info_form.h"
#include "app/report_runner.h"
#include "app/window_sinks.h"
#include "flows/device_set.h"
#include "flows/session.h"
#include "ui/about_form.h"
#include "ui/chart_form.h"
#include "ui/filter_form.h"
#include "ui/options_form.h"
#include "ui/progress_form.h"

namespace zorvek {

// The program block: the session with its devices and the six windows,
// made in their order (main, options, progress, about, filter, chart). A
// QApplication must exist.
class Program {
  public:
    struct Settings {
        // The command line after the program's name.
        std::vector<std::string> arguments;
        // Where finished documents are filed.
        std::filesystem::path documents = DocumentsFolder();
        // Templates, help files and pictures.
        std::filesystem::path data;
        // The devices' protocol waits.
        WaitClock* deviceWaits = &SystemWaits();
        // The window's settings (the archive's location, where documents
        // are shown) in this INI file; empty: the user's own settings of the
        // program.
        QString settingsFile;
        // How the read-out archive is opened.
        ArchiveLink::Opener openArchive = archive::OpenArchive;
    };

    Program(ui::Dialogs& dialogs, Settings settings);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Session& GetSession() { return m_session; }
    DeviceSet& Devices() { return m_devices; }
    // The clock every device waits on; the window cancels through it.
    CancellableWaits& Waits() { return *m_waits; }
    ReportRunner& Reports() { return *m_reports; }
    ArchiveLink& Archive() { return *m_archive; }
    TInfo_Form& Info_Form() { return *m_main; }
    ui::TForm3& Form3() { return *m_options; }
    ui::TForm2& Form2() { return *m_progressWindow; }
    ui::TForm4& Form4() { return *m_about; }
    ui::TForm5& Form5() { return *m_filter; }
    ui::TForm6& Form6() { return *m_chart; }

  private:
    BarProgress m_progress;
    Session m_session{&m_progress};
    // Every device waits here, so that the window can stop a transfer.
    std::unique_ptr<CancellableWaits> m_waits;
    DeviceSet m_devices;
    // The chart window draws appendix 1's pictures, yet is made last: the
    // report runner reaches it through this forwarder.
    class Pictures final : public HistogramPictures {
      public:
        ui::TForm6* chart = nullptr;
        std::vector<std::uint8_t> TimePicture(const StatisticsBlock& block) override {
            return chart->Pictures().TimePicture(block);
        }
        std::vector<std::uint8_t> CyclePicture(const StatisticsBlock& block) override {
            return chart->Pictures().CyclePicture(block);
        }
        std::vector<std::uint8_t> MassPicture(const StatisticsBlock& block) override {
            return chart->Pictures().MassPicture(block);
        }
        std::vector<std::uint8_t> SpectrumPicture(const StatisticsBlock& block) override {
            return chart->Pictures().SpectrumPicture(block);
        }
    } m_pictures;
    std::unique_ptr<ReportRunner> m_reports;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<ArchiveLink> m_archive;
    std::unique_ptr<DocumentViewSetting> m_view;
    std::unique_ptr<TInfo_Form> m_main;
    // Owned by the main window, which outlives none of them.
    ui::TForm3* m_options = nullptr;
    ui::TForm2* m_progressWindow = nullptr;
    ui::TForm4* m_about = nullptr;
    ui::TForm5* m_filter = nullptr;
    ui::TForm6* m_chart = nullptr;
};

}  // namespace zorvek
