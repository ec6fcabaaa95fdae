// Opens each window of the program on a sample image and saves what it
// shows as a PNG into the folder given as the first argument.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "access/memory_source.h"
#include "access/program_location.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "archive/image_facts.h"
#include "flows/fleet_report.h"
#include "model/cp1251.h"
#include "model/format.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "sim/image_generator.h"
#include "ui/dialogs.h"
#include "ui/fleet_form.h"
#include "ui/paper_preview_form.h"
#include "ui/readout_list_form.h"

namespace {

using namespace std::chrono;

// Until the window's command, started or about to start (the start-up
// load), has ended and shown its outcome.
void WaitForCommand(zorvek::TInfo_Form& main) {
    QEventLoop loop;
    QObject::connect(&main, &zorvek::TInfo_Form::commandFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

// A recorder that reads until it is told to stop, so that the window can be
// photographed in the middle of a read.
class EndlessRecorder final : public zorvek::MemorySource {
  public:
    std::atomic<bool> stop{false};
    zorvek::TransferResult Open() override { return zorvek::TransferResult::Ok(); }
    bool Close() override { return true; }
    zorvek::TransferResult Read(std::uint32_t, std::uint8_t*, std::uint32_t,
                                zorvek::ProgressSink* progress) override {
        if (progress) progress->SetPosition(40);
        while (!stop) std::this_thread::sleep_for(milliseconds(10));
        return zorvek::TransferResult::Fail(zorvek::TransferError::Cancelled);
    }
    zorvek::TransferResult Write(std::uint32_t, const std::uint8_t*, std::uint32_t,
                                 zorvek::ProgressSink*) override {
        return zorvek::TransferResult::Fail(zorvek::TransferError::NotOpen);
    }
};

void Save(QWidget& window, const QDir& folder, const char* name) {
    QApplication::processEvents();
    window.grab().save(folder.filePath(QString(name) + ".png"));
}

// The window with one of its menus opened over it.
void SaveWithMenu(QMainWindow& main, QMenu& menu, const QDir& folder, const char* name) {
    const QRect item = main.menuBar()->actionGeometry(menu.menuAction());
    menu.popup(main.menuBar()->mapToGlobal(item.bottomLeft()));
    QApplication::processEvents();
    const QPoint menuAt = main.mapFromGlobal(menu.pos());
    QImage combined(
        main.size().expandedTo(QSize(menuAt.x() + menu.width(), menuAt.y() + menu.height())),
        QImage::Format_RGB32);
    combined.fill(Qt::white);
    {
        QPainter painter(&combined);
        painter.drawPixmap(0, 0, main.grab());
        painter.drawPixmap(menuAt, menu.grab());
    }
    combined.save(folder.filePath(QString(name) + ".png"));
    menu.close();
}

void SetPassportText(zorvek::archive::Image& image, int row, const char* utf8) {
    namespace map = zorvek::memory_map;
    const std::string text = zorvek::Cp1251FromUtf8(utf8);
    std::uint8_t* field = image.data() + map::Offset(map::kPassportAddress) +
                          static_cast<std::size_t>(row) * map::kPassportTextSize;
    std::memset(field, 0, map::kPassportTextSize);
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), map::kPassportTextSize));
}

// A small fleet in the archive at `location`: a few cranes read now and
// then, each crane's images in the order their counters grow.
void FillArchive(const std::string& location) {
    auto opened = zorvek::archive::OpenArchive(location);
    if (!opened) return;
    struct Crane {
        const char* registration;
        const char* factoryNumber;
        const char* recorder;
        const char* group;
        // When it was put into service, for twenty years.
        const char* commissioned;
        int readouts;
        // The recorder of the newest read-out, when it was replaced.
        const char* replacedBy = nullptr;
    };
    const Crane cranes[] = {{"41328-к", "3917", "ИН-000573", "А3", "14.05.2009", 3},
                            {"Б-17", "1204", "ИН-000611", "А1", "02.09.2011", 2, "ИН-000688"},
                            {"52004-т", "8830", "ИН-000702", "А6", "20.03.2007", 1},
                            {"41990-к", "4410", "ИН-000655", "А2", "11.10.2004", 2}};
    std::uint32_t seed = 11;
    for (const Crane& crane : cranes) {
        std::vector<zorvek::archive::Image> images;
        for (int i = 0; i < crane.readouts; ++i) {
            const zorvek::sim::Image made = zorvek::sim::GenerateImage({.seed = seed++});
            zorvek::archive::Image image(made.begin(), made.end());
            using Sheet = zorvek::PassportSheet;
            SetPassportText(image, Sheet::kRegistrationNumber, crane.registration);
            SetPassportText(image, Sheet::kCraneSerial, crane.factoryNumber);
            SetPassportText(image, Sheet::kRecorderSerial, crane.recorder);
            SetPassportText(image, Sheet::kClassificationGroup, crane.group);
            SetPassportText(image, Sheet::kCommissioned, crane.commissioned);
            SetPassportText(image, Sheet::kNormativeTerm, "20 лет");
            images.push_back(std::move(image));
        }
        const auto cycles = [](const zorvek::archive::Image& image) {
            const auto facts = zorvek::archive::FactsOfImage(image);
            return facts ? facts->figures.totalCycles : 0;
        };
        std::sort(images.begin(), images.end(),
                  [&](const auto& a, const auto& b) { return cycles(a) < cycles(b); });
        if (crane.replacedBy) {
            SetPassportText(images.back(), zorvek::PassportSheet::kRecorderSerial,
                            crane.replacedBy);
        }
        sys_days day = sys_days(2025y / 3 / 3) + days(7 * seed);
        for (const zorvek::archive::Image& image : images) {
            zorvek::archive::NewReadout readout;
            readout.image = image;
            readout.source = seed % 2 ? zorvek::archive::ReadoutSource::UsbReader
                                      : zorvek::archive::ReadoutSource::Recorder;
            readout.readAt = sys_seconds(day) + hours(8 + seed % 6);
            readout.program = "55AA0502";
            static_cast<void>(opened.value->Add(readout));
            day += days(120);
        }
    }
}

// The archive's windows, over the main window, on a fleet made for them.
void SaveArchiveWindows(zorvek::TInfo_Form& main, zorvek::archive::ReadoutArchive& archive,
                        const QDir& folder) {
    SaveWithMenu(main, *main.Menu("Archive1"), folder, "archive-menu");
    const auto listed = archive.List(std::nullopt);
    zorvek::ui::ReadoutListForm open(&main, listed.value);
    open.show();
    Save(open, folder, "archive-open");
    open.close();

    zorvek::ui::FleetForm fleet(&main, archive.Fleet().value,
                                zorvek::DayOf(zorvek::SystemClock().Now()));
    fleet.show();
    Save(fleet, folder, "archive-fleet");
    const std::string registration = zorvek::Cp1251FromUtf8("41328-к");
    const auto crane = archive.List(registration);
    zorvek::ui::ReadoutListForm history(&fleet, crane.value);
    history.setWindowTitle(QStringLiteral("Считывания крана 41328-к"));
    history.CompareAnyTwo();
    history.show();
    Save(history, folder, "archive-crane");
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc < 3) return 1;
    zorvek::LoadQtTranslations(application);
    const QDir folder(argv[1]);
    zorvek::ui::QtDialogs dialogs;
    // A fleet of its own, out of the user's archive and settings.
    const QTemporaryDir scratch;
    const std::string archiveFile = scratch.filePath("archive.sqlite").toStdString();
    FillArchive(archiveFile);
    zorvek::Program::Settings settings;
    settings.settingsFile = scratch.filePath("zorvek.ini");
    // Documents shown in the program's own preview.
    QSettings(settings.settingsFile, QSettings::IniFormat).setValue("documents/view", "program");
    settings.openArchive = [&](std::string_view) {
        return zorvek::archive::OpenArchive(archiveFile);
    };
    settings.arguments = {argv[2]};
    settings.data = zorvek::DataDirectory();
    settings.documents = QDir::temp().filePath("zorvek-screenshots").toStdString();
    zorvek::Program program(dialogs, std::move(settings));
    zorvek::TInfo_Form& main = program.Info_Form();
    main.show();
    WaitForCommand(main);
    Save(main, folder, "main-window");
    // While a command runs the menu waits, its titles greyed, and the bar
    // under the sheet has its "Отмена".
    EndlessRecorder endless;
    program.GetSession().dispatch.AttachRecorder(&endless);
    main.Item("N9")->trigger();
    QTimer::singleShot(300, [&] {
        Save(main, folder, "main-window-busy");
        main.CancelCommand();
        endless.stop = true;
    });
    WaitForCommand(main);
    program.GetSession().dispatch.AttachRecorder(nullptr);
    // The sample again, for the menus and documents below.
    program.GetSession().choice.namedFile = argv[2];
    main.N3Click();
    WaitForCommand(main);

    // The report menu opened over the window.
    SaveWithMenu(main, *main.Menu("N6"), folder, "main-window-appendices");
    if (auto opened = program.Archive().Archive()) SaveArchiveWindows(main, *opened.value, folder);

    program.Form3().show();
    Save(program.Form3(), folder, "options");
    program.Form3().close();
    program.Form5().show();
    Save(program.Form5(), folder, "filter");
    program.Form5().RadioButton2()->click();
    program.Form5().Protection(0)->setChecked(true);
    Save(program.Form5(), folder, "filter-protections");
    program.Form5().hide();
    program.Form2().ShowBusy();
    Save(program.Form2(), folder, "progress");
    program.Form2().HideBusy();
    main.Item("About1")->trigger();
    Save(program.Form4(), folder, "about");
    program.Form4().close();

    // Appendix 6 in the preview, as a user without an office suite sees it.
    main.Item("N22")->trigger();
    WaitForCommand(main);
    if (auto* preview = main.findChild<zorvek::ui::PaperPreviewForm*>()) {
        Save(*preview, folder, "preview");
        preview->close();
    }

    // The question on closing, its buttons in Qt's Russian.
    QMessageBox question(QMessageBox::Question, QStringLiteral("ЗОРВЕК"),
                         QStringLiteral("Данные не сохранены\rСохранить данные в файл?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &main);
    question.show();
    Save(question, folder, "close-question");
    return 0;
}
