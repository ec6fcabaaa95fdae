#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <functional>
#include <string>
#include <vector>

#include "access/wait_clock.h"
#include "app/command_worker.h"
#include "app/document_view.h"
#include "archive/readout_archive.h"
#include "flows/archive_flow.h"
#include "flows/device_set.h"
#include "flows/load_flow.h"
#include "flows/session.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace zorvek {

class ArchiveLink;
class BarProgress;
class ReportRunner;
struct DocumentEntry;

namespace ui {
class Dialogs;
class TForm3;
class TForm4;
}  // namespace ui

// The main window: the passport sheet over the background picture, the
// load, save and report commands, the progress bar and the fade-out on
// closing. Its menu items, grid and bar carry their names as object names.
class TInfo_Form final : public QMainWindow {
    Q_OBJECT
  public:
    // `arguments` is the command line after the program's name; `dataFolder`
    // holds the help file and the background picture.
    // `waits` is the clock the devices wait on, through which a command is
    // cancelled.
    TInfo_Form(Session& session, DeviceSet& devices, CancellableWaits& waits, ui::Dialogs& dialogs,
               ReportRunner& reports, BarProgress& progress, ArchiveLink& archive,
               DocumentViewSetting& view, std::vector<std::string> arguments,
               const QString& dataFolder);
    ~TInfo_Form() override;

    // The windows made after this one.
    void SetCompanions(ui::TForm3* options, ui::TForm4* about);

    // The USB reader's watcher calls these as the reader comes and goes;
    // it starts at the first show and ticks on its own single-shot timer.
    void ReaderOnAttached();
    void ReaderOnDetached();

    void N3Click();
    void N9Click();
    void N10Click();
    void USB1Click();
    void N12Click();
    void XT1Click();
    void N2Click();
    void N14Click();
    void Contents1Click();
    void About1Click();
    // The "Архив" menu: store the loaded image, open a stored read-out, the
    // fleet of cranes and its report, where the archive lies.
    void ArchiveSave1Click();
    void ArchiveOpen1Click();
    void Fleet1Click();
    // Old dump files from a folder and all below it, each a read-out.
    void ArchiveImport1Click();
    // The fleet report: RTF, XLSX and PDF under the name chosen, made on
    // the command's worker, then opened as the documents are.
    void FleetReport1Click();
    void ArchiveLocation1Click();
    void RunReport(const DocumentEntry& entry);
    // The options window's fill command, between showing and hiding the
    // progress window; `finished` is called once the build has ended.
    void RunAppendix3(std::function<void()> finished);
    // Stops the running command at its next frame (the "Отмена" button,
    // Esc).
    void CancelCommand();

    // The report menus appear with a loaded image and go with it.
    void ShowReportMenus(bool shown = true);
    void PauseAndResetProgress();

    QAction* Item(const char* name) const;
    QMenu* Menu(const char* name) const;
    QTableWidget* StringGrid1() const { return m_grid; }
    QProgressBar* ProgressBar1_() const { return m_bar; }
    QTimer* Timer1() const { return m_timer; }
    int Opacity() const { return m_alpha; }
    // The line under the sheet: where the last document went, why the
    // window will not close yet.
    QLabel* StatusLine() const { return m_status; }
    QPushButton* CancelButton() const { return m_cancel; }
    // Whether a command is running on its worker.
    bool CommandRunning() const;

  signals:
    // A command has ended on its worker; its outcome is shown right after.
    void commandFinished();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenu();
    void BuildDocumentViewMenu(QMenu* file);
    void BuildClientArea(const QString& dataFolder);
    void FormShow();
    void Timer1Timer();
    void StartUsbWatch();
    void RefreshSheet();
    void CommitEdits();
    // Runs `work` on the command's worker and `done` with its result on
    // this thread; the menu stays locked, and the bar with its "Отмена"
    // shown, meanwhile.
    template <typename Work, typename Done>
    void RunCommand(Work work, Done done) {
        m_worker->Run(std::move(work), std::move(done));
    }
    void CommandStarted();
    void CommandFinished();
    void AfterLoad(const LoadOutcome& outcome);
    void RunDeviceLoad(DeviceSet::Device device, archive::ReadoutSource source);
    void SaveData(std::function<void()> then);
    // The worker's part of storing the loaded image in the archive.
    ArchiveStore StoreInArchive(archive::ReadoutSource source);
    void SayArchiveFailure(const QString& what, const archive::ArchiveStatus& status);
    // Asks, then removes the read-out on the worker; true when it is gone.
    bool RemoveReadout(archive::ReadoutArchive& store, const archive::ReadoutSummary& readout,
                       QWidget* parent);
    // Says why a list read from the archive shows nothing: the archive's
    // failure, or an archive with no read-outs yet. False when it has lines.
    bool SayWhyNothingListed(const archive::ArchiveStatus& status, bool empty,
                             archive::ReadoutArchive& store);
    // Lists from the archive on the worker (`read` of the open archive);
    // `show` gets the archive and a list that is not empty. A failure or an
    // empty archive is said here.
    template <typename Read, typename Show>
    void ListFromArchive(Read read, Show show);
    // The fleet's window over the window; a crane's read-outs are listed
    // from the archive while it stays open.
    void ShowFleet(archive::ReadoutArchive& store, std::vector<archive::FleetLine> fleet);
    // Loads a stored read-out (on the worker) into the window.
    void OpenReadout(archive::ReadoutArchive& store, archive::ReadoutId id);
    void ShowMessage(const std::string& cp1251);
    // `more` adds to the tool tip, which holds the whole text.
    void ShowStatus(const QString& text, const QString& more = QString());
    void ShowFiledDocument(const DocumentEntry& entry);
    // False when the document has no paper form to show.
    bool ShowPaper(const DocumentEntry& entry, const QString& file);

    Session& m_session;
    DeviceSet& m_devices;
    CommandWorker* m_worker;
    ui::Dialogs& m_dialogs;
    ReportRunner& m_reports;
    BarProgress& m_progress;
    ArchiveLink& m_archive;
    DocumentViewSetting& m_view;
    std::vector<std::string> m_arguments;
    QString m_dataFolder;
    // Where "Импорт папки…" starts: the folder chosen last.
    QString m_importFolder;
    ui::TForm3* m_options = nullptr;
    ui::TForm4* m_about = nullptr;

    QTableWidget* m_grid = nullptr;
    QProgressBar* m_bar = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer* m_timer = nullptr;
    QTimer* m_usbTimer = nullptr;
    bool m_shown = false;
    // The user chose to close while a command ran: the window closes once
    // the cancelled command has ended.
    bool m_closeAfterCommand = false;
    bool m_faded = false;
    int m_alpha = 255;
    // The dump file the documents are made from; empty while none is.
    std::filesystem::path m_loadedFile;
    // Where the loaded image came from, for storing it in the archive.
    archive::ReadoutSource m_loadedSource = archive::ReadoutSource::File;
};

}  // namespace zorvek
