#include "app/info_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <tuple>

#include "app/command_worker.h"
#include "app/report_runner.h"
#include "app/window_sinks.h"
#include "flows/document_table.h"
#include "flows/failure_text.h"
#include "model/memory_map.h"
#include "ui/about_form.h"
#include "ui/dialogs.h"
#include "ui/options_form.h"
#include "ui/paper_preview_form.h"
#include "ui/text.h"

namespace zorvek {
namespace {

constexpr int kClientWidth = 490;
constexpr int kClientHeight = 393;
constexpr int kGridTop = 25;
constexpr int kCaptionColumn = 220;
constexpr int kRowHeight = 17;
constexpr int kSecondRowHeight = 19;
constexpr int kFadeStep = 40;
constexpr int kFadeInterval = 20;
const char* const kInfoIni = "Info.ini";

struct MenuItem {
    const char* name;
    const char* caption;  // nullptr: a separator
    QKeySequence shortcut;
};

const MenuItem kFileMenu[] = {
    {"N3", "Загрузить данные из файла", Qt::CTRL | Qt::Key_O},
    {"N9", "Загрузить данные из прибора", Qt::CTRL | Qt::Key_P},
    {"N10", "Загрузить данные из прибора считывания (LPT)", Qt::CTRL | Qt::Key_L},
    {"USB1", "Загрузить данные из прибора считывания (USB)", Qt::CTRL | Qt::Key_U},
    {"XT1", "Загрузить информацию из Info.ini", {}},
    {"N4", nullptr, {}},
    {"N12", "Сохранить данные в файле", Qt::CTRL | Qt::Key_S},
    {"N2", "Сохранить информацию в Info.ini", {}},
    {"N19", nullptr, {}},
    {"N13", "  Выход", Qt::CTRL | Qt::Key_X},
};

const MenuItem kFormsMenu[] = {
    {"N11", "       Форма 1", {}},
    {"N21", "       Форма 2", {}},
    {"N31", "       Форма 3", {}},
    {"N41", "       Форма 4", {}},
};

const MenuItem kAppendixMenu[] = {
    {"N7", "Статистика за весь период (Приложение 1)", {}},
    {"N8", "Статистика в период между считываниями", {}},
    {"N17", "Статистика по дискретным входам  (Приложение 2)", {}},
    {"N18", "Статистика по дискретным входам в период между считываниями", {}},
    {"N14", "Информация о состояний крана за последние часы  (Приложение 3)", {}},
    {"N15", "Информация о последних циклах  (Приложение 4)", {}},
    {"N16", "Информация о циклах в которых зафиксированно срабатывание защиты", {}},
    {"N22", "Фактический режим работы крана", {}},
};

const MenuItem kArchiveMenu[] = {
    {"ArchiveSave1", "Сохранить в архив", {}},
    {"ArchiveOpen1", "Открыть из архива…", {}},
    {"Fleet1", "Парк кранов", {}},
    {"ArchiveImport1", "Импорт папки…", {}},
    {"FleetReport1", "Отчёт по парку…", {}},
    {"N23", nullptr, {}},
    {"ArchiveLocation1", "Расположение архива…", {}},
};

const MenuItem kHelpMenu[] = {
    {"Contents1", "&Прочти меня", {}},
    {"N20", "Гистограмы в картинках", {}},
    {"About1", "&О программе", {}},
};

template <std::size_t N>
QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption, const MenuItem (&items)[N]) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(QString(name) + "Item");
    for (const MenuItem& item : items) {
        QAction* action =
            item.caption ? menu->addAction(QString::fromUtf8(item.caption)) : menu->addSeparator();
        action->setObjectName(item.name);
        action->setShortcut(item.shortcut);
    }
    return menu;
}

// The client area: the background picture stretched over all of it.
class Background final : public QWidget {
  public:
    Background(const QString& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_picture.isNull()) QPainter(this).drawPixmap(rect(), m_picture);
    }

  private:
    QPixmap m_picture;
};

std::filesystem::path PathOf(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

}  // namespace

TInfo_Form::TInfo_Form(Session& session, DeviceSet& devices, CancellableWaits& waits,
                       ui::Dialogs& dialogs, ReportRunner& reports, BarProgress& progress,
                       ArchiveLink& archive, DocumentViewSetting& view,
                       std::vector<std::string> arguments, const QString& dataFolder)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_session(session),
      m_devices(devices),
      m_worker(new CommandWorker(waits, this)),
      m_dialogs(dialogs),
      m_reports(reports),
      m_progress(progress),
      m_archive(archive),
      m_view(view),
      m_arguments(std::move(arguments)),
      m_dataFolder(dataFolder),
      m_timer(new QTimer(this)),
      m_usbTimer(new QTimer(this)) {
    setObjectName("Info_Form");
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    // Disabled texts are grey, as the desktop draws them, never the silver
    // of the window: the menu titles stay readable while a command runs.
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        silver.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    }
    setPalette(silver);
    BuildMenu();
    BuildClientArea(dataFolder);
    m_progress.Bind(m_bar);
    m_reports.Notifier().SetParent(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(kFadeInterval);
    connect(m_timer, &QTimer::timeout, this, &TInfo_Form::Timer1Timer);
    // The watcher's timer is off while its tick runs, so ticks never overlap.
    m_usbTimer->setObjectName("UsbWatchTimer");
    m_usbTimer->setSingleShot(true);
    connect(m_usbTimer, &QTimer::timeout, this, [this] { m_usbTimer->start(m_devices.UsbTick()); });
    setWindowOpacity(1.0);
    connect(m_worker, &CommandWorker::started, this, &TInfo_Form::CommandStarted);
    connect(m_worker, &CommandWorker::finished, this, &TInfo_Form::CommandFinished);
    // The open dialog starts in the user's documents, never in the
    // program's own folder, and then where the last file was chosen.
    m_session.choice.dialogFolder =
        PathOf(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

// The worker is this window's child; a command still running is cancelled
// and waited for before the session and the devices go.
TInfo_Form::~TInfo_Form() { delete m_worker; }

void TInfo_Form::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    BuildDocumentViewMenu(AddMenu(bar, "N1", "&Файл", kFileMenu));
    AddMenu(bar, "Archive1", "&Архив", kArchiveMenu);
    AddMenu(bar, "N5", "&Заполнить протоколы", kFormsMenu)->menuAction()->setVisible(false);
    AddMenu(bar, "N6", "&Приложения", kAppendixMenu)->menuAction()->setVisible(false);
    AddMenu(bar, "Help1", "&Справка", kHelpMenu);

    Item("N12")->setEnabled(false);
    Item("ArchiveSave1")->setEnabled(false);
    QAction* charts = Item("N20");
    charts->setCheckable(true);
    charts->setVisible(false);
    // A radio item of its own: the group only draws it round.
    auto* group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    charts->setActionGroup(group);

    const std::pair<const char*, void (TInfo_Form::*)()> commands[] = {
        {"N3", &TInfo_Form::N3Click},
        {"N9", &TInfo_Form::N9Click},
        {"N10", &TInfo_Form::N10Click},
        {"USB1", &TInfo_Form::USB1Click},
        {"XT1", &TInfo_Form::XT1Click},
        {"N12", &TInfo_Form::N12Click},
        {"N2", &TInfo_Form::N2Click},
        {"N14", &TInfo_Form::N14Click},
        {"Contents1", &TInfo_Form::Contents1Click},
        {"About1", &TInfo_Form::About1Click},
        {"ArchiveSave1", &TInfo_Form::ArchiveSave1Click},
        {"ArchiveOpen1", &TInfo_Form::ArchiveOpen1Click},
        {"Fleet1", &TInfo_Form::Fleet1Click},
        {"ArchiveImport1", &TInfo_Form::ArchiveImport1Click},
        {"FleetReport1", &TInfo_Form::FleetReport1Click},
        {"ArchiveLocation1", &TInfo_Form::ArchiveLocation1Click},
    };
    for (const auto& [name, command] : commands) {
        connect(Item(name), &QAction::triggered, this, command);
    }
    connect(Item("N13"), &QAction::triggered, this, &TInfo_Form::close);
    for (const DocumentEntry& entry : Documents()) {
        if (entry.menuItem == "N14") continue;
        QAction* item = Item(std::string(entry.menuItem).c_str());
        connect(item, &QAction::triggered, this, [this, &entry] { RunReport(entry); });
    }
}

void TInfo_Form::BuildDocumentViewMenu(QMenu* file) {
    // Among the file commands, above the separator of "Выход": the items the
    // program always had stay as they were.
    auto* menu = new QMenu(QStringLiteral("Документы"), file);
    menu->setObjectName("DocumentView1");
    menu->menuAction()->setObjectName("DocumentView1Item");
    file->insertMenu(Item("N19"), menu);
    file->insertSeparator(menu->menuAction());
    auto* group = new QActionGroup(menu);
    const std::tuple<const char*, const char*, DocumentView> choices[] = {
        {"DocumentEditor1", "Открывать в редакторе (RTF/XLSX)", DocumentView::Editor},
        {"DocumentProgram1", "Показывать в программе (просмотр и печать)", DocumentView::Program},
    };
    for (const auto& [name, caption, view] : choices) {
        QAction* item = menu->addAction(QString::fromUtf8(caption));
        item->setObjectName(name);
        item->setCheckable(true);
        item->setChecked(m_view.Current() == view);
        item->setActionGroup(group);
        connect(item, &QAction::triggered, this, [this, view] { m_view.Choose(view); });
    }
}

void TInfo_Form::BuildClientArea(const QString& dataFolder) {
    auto* client = new Background(dataFolder + "/main-background.jpg", this);
    client->setObjectName("Image1");
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    auto* heading = new QLabel(QStringLiteral("Информация для  протоколов"), client);
    heading->setObjectName("Label21");
    QFont times("Times New Roman", 14);
    times.setBold(true);
    heading->setFont(times);
    heading->setStyleSheet("color: blue; background: transparent");
    heading->setGeometry(8, 1, kClientWidth - 16, 24);
    heading->setAlignment(Qt::AlignCenter);

    m_grid = new QTableWidget(PassportSheet::kRows, 2, client);
    m_grid->setObjectName("StringGrid1");
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setColumnWidth(0, kCaptionColumn);
    m_grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_grid->setRowHeight(1, kSecondRowHeight);
    // The sheet is as tall as its twenty rows and its value column takes
    // the width left beside the captions: nothing hides under a scroll bar,
    // and a click on a long value does not scroll the sheet sideways.
    const int frame = 2 * m_grid->frameWidth();
    m_grid->setGeometry(0, kGridTop, kClientWidth,
                        (PassportSheet::kRows - 1) * kRowHeight + kSecondRowHeight + frame);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setAutoScroll(false);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        auto* caption = new QTableWidgetItem;
        caption->setFlags(Qt::ItemIsEnabled);
        caption->setBackground(QColor(255, 255, 0));
        m_grid->setItem(row, 0, caption);
        m_grid->setItem(row, 1, new QTableWidgetItem);
    }
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            m_session.sheet.SetValue(item->row(), ui::Cp1251OfQString(item->text()));
        }
    });

    m_bar = new QProgressBar(client);
    m_bar->setObjectName("ProgressBar1_");
    const int bottom = m_grid->geometry().bottom() + 1;
    m_bar->setGeometry(8, bottom + 4, 300, 17);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->hide();

    m_cancel = new QPushButton(QStringLiteral("Отмена"), client);
    m_cancel->setObjectName("CancelButton");
    m_cancel->setGeometry(314, bottom + 2, 74, 21);
    // Esc as well, only while the button shows: otherwise Esc belongs to
    // the sheet's cell editor.
    m_cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &TInfo_Form::CancelCommand);

    m_status = new QLabel(client);
    m_status->setObjectName("StatusLine");
    m_status->setGeometry(8, bottom + 4, 380, 17);
    m_status->setStyleSheet("background: rgba(255, 255, 255, 200); padding: 0 3px");
    m_status->hide();

    m_close = new QPushButton(QStringLiteral("Закрыть"), client);
    m_close->setObjectName("Button1");
    m_close->setGeometry(400, bottom + 2, 81, kClientHeight - bottom - 3);
    connect(m_close, &QPushButton::clicked, this, &TInfo_Form::close);
}

QAction* TInfo_Form::Item(const char* name) const { return findChild<QAction*>(name); }

QMenu* TInfo_Form::Menu(const char* name) const { return findChild<QMenu*>(name); }

void TInfo_Form::SetCompanions(ui::TForm3* options, ui::TForm4* about) {
    m_options = options;
    m_about = about;
}

void TInfo_Form::ReaderOnAttached() { Item("USB1")->setEnabled(true); }

void TInfo_Form::ReaderOnDetached() { Item("USB1")->setEnabled(false); }

void TInfo_Form::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TInfo_Form::FormShow() {
    setWindowTitle(
        QStringLiteral("Информация для отчёта. Верия программы: ") +
        QString("%1").arg(memory_map::kDataFormatSignature, 8, 16, QChar('0')).toUpper());
    if (const QScreen* display = screen()) {
        move(display->availableGeometry().center() - frameGeometry().center() + pos());
    }
    // The embedded writers are always present: there is no office check.
    for (int row = 0; row < PassportSheet::kRows - 1; ++row) {
        m_grid->item(row, 0)->setText(ui::QStringOfCp1251(m_session.sheet.Caption(row)));
    }
    // The load runs once the window stands mapped at its size: events
    // processed in the middle of showing it would leave it at the
    // system's default size where no window manager corrects it.
    if (ApplyCommandLine(m_session.choice, m_arguments)) {
        // Only this first load takes the file named on the command line; a
        // later Ctrl+O asks, as it does in every other start.
        m_session.choice.namedFile = m_session.choice.startupArgument;
        QTimer::singleShot(0, this, &TInfo_Form::N3Click);
    }
    ReaderOnDetached();
    StartUsbWatch();
}

void TInfo_Form::StartUsbWatch() {
    m_devices.onUsbAttached = [this] { ReaderOnAttached(); };
    m_devices.onUsbDetached = [this] { ReaderOnDetached(); };
    m_devices.onBeep = [] { QApplication::beep(); };
    m_usbTimer->start(m_devices.StartUsbWatch());
}

void TInfo_Form::RefreshSheet() {
    const QSignalBlocker quiet(m_grid);
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        m_grid->item(row, 1)->setText(ui::QStringOfCp1251(m_session.sheet.Value(row)));
    }
}

void TInfo_Form::CommitEdits() {
    // Taking the focus from an open cell editor hands its text to the sheet.
    if (QWidget* focus = QApplication::focusWidget(); focus && m_grid->isAncestorOf(focus)) {
        m_grid->setFocus();
    }
}

void TInfo_Form::ShowMessage(const std::string& cp1251) {
    if (!cp1251.empty()) m_dialogs.Message(this, ui::QStringOfCp1251(cp1251));
}

void TInfo_Form::ShowStatus(const QString& text, const QString& more) {
    m_status->setText(ui::ElidedStatus(text, m_status->fontMetrics(), m_status->width() - 8));
    m_status->setToolTip(more.isEmpty() ? text : text + '\n' + more);
    m_status->setVisible(!text.isEmpty() && !CommandRunning());
}

void TInfo_Form::ShowReportMenus(bool shown) {
    Menu("N5")->menuAction()->setVisible(shown);
    Menu("N6")->menuAction()->setVisible(shown);
    Menu("Help1")->menuAction()->setVisible(true);
    Item("N20")->setVisible(shown);
}

void TInfo_Form::PauseAndResetProgress() {
    // Between decoding and building, on the worker: the bar shows its end
    // for a moment before it starts over.
    QThread::msleep(50);
    m_progress.SetPosition(0);
}

bool TInfo_Form::CommandRunning() const { return m_worker->Running(); }

void TInfo_Form::CommandStarted() {
    CommitEdits();
    menuBar()->setEnabled(false);
    m_close->setEnabled(false);
    // The options window stays open beside the main one; its fill waits too.
    if (m_options) m_options->setEnabled(false);
    // The sheet belongs to the command until it ends (a load fills it).
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The USB watcher shares the reader with a USB load; it waits too.
    m_usbTimer->stop();
    m_status->hide();
    m_bar->setValue(0);
    m_bar->show();
    m_cancel->setEnabled(true);
    m_cancel->show();
}

void TInfo_Form::CommandFinished() {
    menuBar()->setEnabled(true);
    m_close->setEnabled(true);
    if (m_options) m_options->setEnabled(true);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    if (m_shown) m_usbTimer->start(0);
    m_bar->hide();
    m_cancel->hide();
    m_status->setVisible(!m_status->text().isEmpty());
    emit commandFinished();
    if (m_closeAfterCommand) {
        // After the command's own ending has been shown.
        QTimer::singleShot(0, this, &TInfo_Form::close);
    }
}

void TInfo_Form::CancelCommand() {
    if (!CommandRunning()) return;
    m_worker->Cancel();
    m_cancel->setEnabled(false);
}

void TInfo_Form::AfterLoad(const LoadOutcome& outcome) {
    RefreshSheet();
    if (!outcome.Loaded() && m_worker->CancelRequested()) {
        ShowStatus(QStringLiteral("Чтение прервано"));
    } else {
        // A new image makes the line's last word (a stopped read, an older
        // document) stale.
        if (outcome.Loaded()) ShowStatus(QString());
        ShowMessage(LoadFailureMessage(outcome));
        if (const std::string why = FileNotOpenedMessage(outcome); !why.empty()) {
            m_dialogs.Message(this, QString::fromStdString(why));
        }
    }
    // Documents are made from the loaded dump file. A failed load may have
    // closed it (a device is opened only after the file is closed) or left
    // another file open that failed its checks: then there is nothing to
    // make documents from, and the report menus go.
    if (outcome.Loaded()) {
        m_loadedFile = m_session.dumpFile.FileName();
    } else if (m_session.dispatch.Kind() != SourceKind::DumpFile ||
               m_session.dumpFile.FileName() != m_loadedFile) {
        m_loadedFile.clear();
    }
    const bool loaded = !m_loadedFile.empty();
    ShowReportMenus(loaded);
    Item("ArchiveSave1")->setEnabled(loaded);
}

void TInfo_Form::N3Click() {
    // The file is chosen before anything is closed: a cancelled choice
    // keeps the image loaded.
    DumpFileChoice& choice = m_session.choice;
    if (!choice.freshRead && choice.namedFile.empty()) {
        const auto chosen =
            m_dialogs.OpenFileName(this, QString::fromStdU16String(choice.dialogFolder.u16string()),
                                   QStringLiteral("Фалы данных накопителя (*.nkp *.krd *.bin)"));
        if (!chosen) return;
        choice.namedFile = PathOf(*chosen);
        choice.dialogFolder = choice.namedFile.parent_path();
    }
    RunCommand([this] { return LoadFromFile(m_session); },
               [this](const LoadOutcome& outcome) {
                   AfterLoad(outcome);
                   if (outcome.Loaded()) m_loadedSource = archive::ReadoutSource::File;
               });
}

void TInfo_Form::RunDeviceLoad(DeviceSet::Device device, archive::ReadoutSource source) {
    struct Read {
        LoadOutcome outcome;
        std::optional<ArchiveStore> stored;
    };
    RunCommand(
        [this, device, source] {
            Read read{m_devices.Load(device), std::nullopt};
            // The dump file is saved by now: whatever the archive answers,
            // the read-out is not lost.
            if (read.outcome.Loaded()) read.stored = StoreInArchive(source);
            return read;
        },
        [this, source](const Read& read) {
            AfterLoad(read.outcome);
            if (!read.outcome.Loaded()) return;
            Item("N12")->setEnabled(true);
            m_loadedSource = source;
            if (read.stored) ShowStatus(ui::QStringOfCp1251(ArchiveStoreMessage(*read.stored)));
        });
}

void TInfo_Form::N9Click() {
    RunDeviceLoad(DeviceSet::Device::Recorder, archive::ReadoutSource::Recorder);
}

void TInfo_Form::N10Click() {
    RunDeviceLoad(DeviceSet::Device::LptReader, archive::ReadoutSource::LptReader);
}

void TInfo_Form::USB1Click() {
    RunDeviceLoad(DeviceSet::Device::UsbReader, archive::ReadoutSource::UsbReader);
}

void TInfo_Form::N12Click() {
    SaveData([] {});
}

void TInfo_Form::SaveData(std::function<void()> then) {
    if (m_session.choice.freshRead) {
        RunCommand([this] { return SaveFreshRead(m_session); },
                   [this, then](const LoadOutcome& outcome) {
                       AfterLoad(outcome);
                       then();
                   });
        return;
    }
    const auto name = m_dialogs.SaveFileName(
        this, QStringLiteral("Фаилы данных накопителя (*.krd *.bin *.nkp)"), "krd");
    if (!name) {
        then();
        return;
    }
    RunCommand([this, file = PathOf(*name)] { return SaveAs(m_session, file, &m_progress); },
               [this, then](const ImageSave& saved) {
                   if (const std::string message = SaveAsMessage(saved); !message.empty()) {
                       m_dialogs.Error(this, ui::QStringOfCp1251(message));
                   }
                   then();
               });
}

void TInfo_Form::XT1Click() {
    CommitEdits();
    // A missing Info.ini is no fault: the sheet simply stays as it is.
    if (const TransferResult loaded = LoadInfoIni(m_session.sheet, kInfoIni);
        !loaded && !IsMissingFile(loaded)) {
        m_dialogs.Error(this, QStringLiteral("Не удалось прочитать Info.ini: ") +
                                  ui::QStringOfCp1251(PassportFileFailureText(loaded)));
    }
    RefreshSheet();
}

void TInfo_Form::N2Click() {
    CommitEdits();
    if (const TransferResult saved = SaveInfoIni(m_session.sheet, kInfoIni); !saved) {
        m_dialogs.Error(this, QStringLiteral("Не удалось записать Info.ini: ") +
                                  ui::QStringOfCp1251(FailureText(saved)));
    }
}

void TInfo_Form::N14Click() {
    if (!m_options) return;
    m_options->show();
    m_options->raise();
    m_options->activateWindow();
}

void TInfo_Form::Contents1Click() { m_dialogs.OpenWithDesktop(m_dataFolder + "/ReadMe.htm"); }

void TInfo_Form::About1Click() {
    if (!m_about) return;
    m_about->move(x() + 170, y() + 150);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void TInfo_Form::RunReport(const DocumentEntry& entry) {
    CommitEdits();
    const bool charts = Item("N20")->isChecked();
    RunCommand(
        [this, &entry, charts, view = m_view.Current()] {
            m_reports.Run(entry, charts, view, [this] { PauseAndResetProgress(); });
        },
        [this, &entry] {
            ShowFiledDocument(entry);
            if (m_reports.MustTerminate()) QApplication::exit(1);
        });
}

void TInfo_Form::RunAppendix3(std::function<void()> finished) {
    const DocumentEntry* entry = FindDocumentByMenuItem("N14");
    if (!entry) {
        finished();
        return;
    }
    CommitEdits();
    RunCommand(
        [this, entry, view = m_view.Current()] {
            m_reports.Run(*entry, false, view, [this] { PauseAndResetProgress(); });
        },
        [this, entry, finished] {
            finished();
            ShowFiledDocument(*entry);
        });
}

void TInfo_Form::ShowFiledDocument(const DocumentEntry& entry) {
    // Without a new document the line would name an older one.
    const std::filesystem::path& filed = m_reports.LastFiled();
    if (filed.empty()) {
        ShowStatus(QString());
        return;
    }
    const QString file = QString::fromStdU16String(filed.generic_u16string());
    const QString written = QStringLiteral("Документ записан: ") + QDir::toNativeSeparators(file);
    if (m_reports.LastOpened()) {
        ShowStatus(written);
    } else if (!ShowPaper(entry, file)) {
        ShowStatus(QStringLiteral("Документ записан, но не открыт: ") +
                   QDir::toNativeSeparators(file));
    } else if (m_view.Current() == DocumentView::Program) {
        ShowStatus(written);
    } else {
        // The user asked for the editor: say why the program shows it instead.
        ShowStatus(ui::NoEditorText(file) + QStringLiteral(": показан в программе"), written);
    }
}

bool TInfo_Form::ShowPaper(const DocumentEntry& entry, const QString& file) {
    std::optional<PaperDocument> paper = m_reports.TakePaper();
    if (!paper) return false;
    const QString title = QString::fromUtf8(entry.title.data(), qsizetype(entry.title.size()));
    auto* preview = new ui::PaperPreviewForm(this, m_dialogs, std::move(*paper), title, file);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->show();
    return true;
}

void TInfo_Form::closeEvent(QCloseEvent* event) {
    if (CommandRunning()) {
        event->ignore();
        if (m_closeAfterCommand) return;
        // Cut off, a transfer would report to a window that is gone: it is
        // cancelled first, and the window closes once it has stopped.
        if (m_dialogs.Confirm(this, QStringLiteral("Прервать чтение данных?"))) {
            m_closeAfterCommand = true;
            CancelCommand();
        }
        return;
    }
    m_closeAfterCommand = false;
    if (!m_faded) {
        if (m_session.saveState == Session::SaveState::Unsaved) {
            const auto answer = m_dialogs.Ask(
                this, QStringLiteral("Данные не сохранены\rСохранить данные в файл?"));
            if (answer == ui::Dialogs::Answer::Cancel) {
                event->ignore();
                return;
            }
            if (answer == ui::Dialogs::Answer::No) {
                m_session.dispatch.CloseSource();
                m_faded = true;
            } else {
                event->ignore();
                SaveData([this] {
                    if (!m_timer->isActive()) m_timer->start();
                });
                return;
            }
        }
        if (!m_faded) {
            event->ignore();
            if (!m_timer->isActive()) m_timer->start();
            return;
        }
    }
    m_session.dispatch.CloseSource();
    // The previews end with the program, as every other window of it.
    for (auto* preview : findChildren<ui::PaperPreviewForm*>(Qt::FindDirectChildrenOnly)) {
        preview->close();
    }
    event->accept();
}

void TInfo_Form::Timer1Timer() {
    m_alpha = std::max(0, m_alpha - kFadeStep);
    setWindowOpacity(m_alpha / 255.0);
    if (m_alpha > 0) return;
    m_timer->stop();
    // The question about unsaved data was answered before the fade began.
    m_faded = true;
    close();
}

}  // namespace zorvek
