// The main window's "Архив" menu: the loaded image into the archive, a
// stored read-out back into the window, the fleet of cranes.
#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <string>
#include <type_traits>
#include <utility>

#include "app/archive_link.h"
#include "app/command_worker.h"
#include "app/info_form.h"
#include "app/window_sinks.h"
#include "flows/archive_flow.h"
#include "flows/archive_import.h"
#include "flows/document_table.h"
#include "flows/fleet_report.h"
#include "model/format.h"
#include "reports/paper/paper_writer.h"
#include "ui/archive_texts.h"
#include "ui/dialogs.h"
#include "ui/fleet_form.h"
#include "ui/paper_preview_form.h"
#include "ui/readout_list_form.h"
#include "ui/text.h"

namespace zorvek {
namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

std::filesystem::path PathOf(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

std::string Utf8Name(const std::filesystem::path& file) {
    const std::u8string name = file.filename().u8string();
    return std::string(name.begin(), name.end());
}

const QString kNotOpened = QStringLiteral("Архив считываний не открыт");
const QString kNotRead = QStringLiteral("Архив считываний не прочитан");

// Read-outs taken from the archive are loaded from a file of their own
// beside the default dump file, never from the default dump file itself,
// which holds the newest device read.
std::filesystem::path ReadoutFile(const Session& session, archive::ReadoutId id) {
    return session.choice.defaultFile.parent_path() / "readouts" /
           ("readout-" + std::to_string(id) + ".krd");
}

}  // namespace

void TInfo_Form::SayArchiveFailure(const QString& what, const archive::ArchiveStatus& status) {
    m_dialogs.Error(this, what + QStringLiteral(": ") + Utf8(m_archive.ShownLocation()) +
                              QStringLiteral("\n") +
                              ui::QStringOfCp1251(ArchiveFailureText(status)));
}

bool TInfo_Form::SayWhyNothingListed(const archive::ArchiveStatus& status, bool empty,
                                     archive::ReadoutArchive& store) {
    if (!status) {
        SayArchiveFailure(kNotRead, status);
    } else if (empty) {
        m_dialogs.Message(
            this, QStringLiteral("В архиве пока нет считываний: ") + Utf8(store.Location()));
    }
    return !status || empty;
}

ArchiveStore TInfo_Form::StoreInArchive(archive::ReadoutSource source) {
    ArchiveStore stored;
    if (const auto opened = m_archive.Archive(); opened) {
        stored = StoreReadout(m_session, source, *opened.value);
    } else {
        stored.status = opened.status;
        stored.location = m_archive.ShownLocation();
    }
    return stored;
}

void TInfo_Form::ArchiveSave1Click() {
    RunCommand([this, source = m_loadedSource] { return StoreInArchive(source); },
               [this](const ArchiveStore& stored) {
                   ShowStatus(ui::QStringOfCp1251(ArchiveStoreMessage(stored)));
               });
}

template <typename Read, typename Show>
void TInfo_Form::ListFromArchive(Read read, Show show) {
    using Listed = std::invoke_result_t<Read&, archive::ReadoutArchive&>;
    RunCommand(
        [this, read]() mutable -> std::pair<archive::ReadoutArchive*, Listed> {
            const auto opened = m_archive.Archive();
            if (!opened) return {nullptr, Listed{opened.status, {}}};
            return {opened.value, read(*opened.value)};
        },
        [this, show](std::pair<archive::ReadoutArchive*, Listed> result) mutable {
            auto& [store, listed] = result;
            if (!store) {
                SayArchiveFailure(kNotOpened, listed.status);
                return;
            }
            if (SayWhyNothingListed(listed.status, listed.value.empty(), *store)) return;
            show(*store, std::move(listed.value));
        });
}

void TInfo_Form::ArchiveOpen1Click() {
    ListFromArchive(
        [](archive::ReadoutArchive& store) { return store.List(std::nullopt); },
        [this](archive::ReadoutArchive& store, const std::vector<archive::ReadoutSummary>& listed) {
            ui::ReadoutListForm form(this, listed);
            form.OfferRemoval([this, &store, &form](const archive::ReadoutSummary& readout) {
                return RemoveReadout(store, readout, &form);
            });
            if (form.exec() != QDialog::Accepted || !form.Chosen()) return;
            OpenReadout(store, *form.Chosen());
        });
}

void TInfo_Form::Fleet1Click() {
    ListFromArchive([](archive::ReadoutArchive& store) { return store.Fleet(); },
                    [this](archive::ReadoutArchive& store, std::vector<archive::FleetLine> fleet) {
                        ShowFleet(store, std::move(fleet));
                    });
}

void TInfo_Form::ShowFleet(archive::ReadoutArchive& store, std::vector<archive::FleetLine> fleet) {
    ui::FleetForm form(this, std::move(fleet), DayOf(SystemClock().Now()));
    std::optional<archive::ReadoutId> chosen;
    form.onCraneChosen = [&](const archive::FleetLine& line) {
        const std::string& registration = line.last.crane.registration;
        const auto listed =
            m_worker->Await([&] { return store.CraneReadouts(line.last.craneKey); });
        if (!listed) {
            SayArchiveFailure(kNotRead, listed.status);
            return;
        }
        ui::ReadoutListForm history(&form, listed.value);
        history.setWindowTitle(QStringLiteral("Считывания крана ") +
                               ui::RegistrationText(registration));
        if (listed.value.size() >= 2) {
            history.CompareAnyTwo();
        } else {
            history.ShowNoComparison(
                QStringLiteral("У крана одно считывание: сравнивать пока не с чем."));
        }
        if (history.exec() == QDialog::Accepted && history.Chosen()) {
            chosen = history.Chosen();
            form.accept();
        }
    };
    form.exec();
    if (chosen) OpenReadout(store, *chosen);
}

void TInfo_Form::FleetReport1Click() {
    const auto chosen =
        m_dialogs.SaveFileName(this, QStringLiteral("Документ RTF (*.rtf)"), QStringLiteral("rtf"));
    if (!chosen) return;
    // The workbook and the PDF go beside the RTF, under its name.
    std::filesystem::path stem = PathOf(*chosen);
    stem.replace_extension();
    struct Made {
        bool opened = false;
        archive::ArchiveStatus status;
        FleetReportFiles files;
    };
    RunCommand(
        [this, stem, location = m_archive.ShownLocation()] {
            Made made;
            const auto opened = m_archive.Archive();
            made.opened = static_cast<bool>(opened);
            if (!opened) {
                made.status = opened.status;
                return made;
            }
            const auto cranes = opened.value->FleetDetails();
            if (!cranes) {
                made.status = cranes.status;
                return made;
            }
            const LocalDateTime now = SystemClock().Now();
            const FleetReport report = MakeFleetReport(cranes.value, DayOf(now), now, location);
            made.files = WriteFleetReport(report, stem);
            if (made.files.failedFile.empty() && made.files.paper) {
                std::filesystem::path pdf = stem;
                pdf += ".pdf";
                made.files.failure = WritePdf(*made.files.paper, pdf);
                if (made.files.failure)
                    made.files.written.push_back(pdf);
                else
                    made.files.failedFile = pdf;
            }
            return made;
        },
        [this](Made made) {
            if (!made.status) {
                SayArchiveFailure(made.opened ? kNotRead : kNotOpened, made.status);
                return;
            }
            if (!made.files.failedFile.empty()) {
                m_dialogs.Error(this, ui::QStringOfCp1251(NotCreatedMessage(
                                          Utf8Name(made.files.failedFile), made.files.failure)));
                return;
            }
            const QString rtf =
                QString::fromStdU16String(made.files.written.front().generic_u16string());
            const QString written =
                QStringLiteral("Отчёт по парку записан: ") + QDir::toNativeSeparators(rtf);
            if ((m_view.Current() == DocumentView::Editor && m_dialogs.OpenWithDesktop(rtf)) ||
                !made.files.paper) {
                ShowStatus(written);
                return;
            }
            auto* preview = new ui::PaperPreviewForm(this, m_dialogs, std::move(*made.files.paper),
                                                     QStringLiteral("Отчёт по парку"), rtf);
            preview->setAttribute(Qt::WA_DeleteOnClose);
            preview->show();
            ShowStatus(written);
        });
}

void TInfo_Form::OpenReadout(archive::ReadoutArchive& store, archive::ReadoutId id) {
    struct Opened {
        archive::ArchiveResult<archive::StoredReadout> stored;
        LoadOutcome outcome;
    };
    const std::filesystem::path file = ReadoutFile(m_session, id);
    RunCommand(
        [this, &store, id, file] {
            Opened opened{store.Get(id), {}};
            if (opened.stored)
                opened.outcome = LoadImageAsFile(m_session, file, opened.stored.value.image,
                                                 opened.stored.value.summary.readAt);
            return opened;
        },
        [this, file](const Opened& opened) {
            if (!opened.stored) {
                SayArchiveFailure(QStringLiteral("Считывание не прочитано из архива"),
                                  opened.stored.status);
                return;
            }
            AfterLoad(opened.outcome);
            if (!opened.outcome.Loaded()) return;
            const archive::ReadoutSummary& summary = opened.stored.value.summary;
            m_loadedSource = summary.source;
            // The crane and the time fit the line; the folder is the one the
            // default dump file lies in.
            ShowStatus(QStringLiteral("Открыто из архива: кран ") +
                       ui::QStringOfCp1251(summary.crane.registration) + QStringLiteral(", ") +
                       ui::ReadAtText(summary.readAt) + QStringLiteral(", файл ") +
                       QString::fromStdU16String(file.filename().u16string()));
        });
}

bool TInfo_Form::RemoveReadout(archive::ReadoutArchive& store,
                               const archive::ReadoutSummary& readout, QWidget* parent) {
    const QString number = QString::number(readout.id);
    if (!m_dialogs.Confirm(
            parent, QStringLiteral("Удалить считывание № ") + number + QStringLiteral(" (") +
                        ui::RegistrationText(readout.crane.registration) + QStringLiteral(", ") +
                        ui::ReadAtText(readout.readAt) + QStringLiteral(") из архива?"))) {
        return false;
    }
    const auto removed = m_worker->Await([&] { return store.Remove(readout.id); });
    if (!removed) {
        SayArchiveFailure(QStringLiteral("Считывание № ") + number + QStringLiteral(" не удалено"),
                          removed.status);
        return false;
    }
    ShowStatus(QStringLiteral("Считывание № ") + number + QStringLiteral(" удалено из архива"));
    return true;
}

void TInfo_Form::ArchiveImport1Click() {
    const auto folder = m_dialogs.FolderName(
        this, m_importFolder.isEmpty()
                  ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                  : m_importFolder);
    if (!folder) return;
    m_importFolder = *folder;
    struct Imported {
        archive::ArchiveStatus opened;
        ImportSummary summary;
    };
    RunCommand(
        [this, path = PathOf(*folder)] {
            Imported imported;
            const auto opened = m_archive.Archive();
            if (!opened) {
                imported.opened = opened.status;
                return imported;
            }
            ImportProgress progress;
            progress.progress = [this](int done, int total) {
                m_progress.SetPosition(total == 0 ? 100 : done * 100 / total);
            };
            progress.cancelled = [this] { return m_worker->CancelRequested(); };
            imported.summary = ImportImages({path}, *opened.value, progress);
            return imported;
        },
        [this](const Imported& imported) {
            PauseAndResetProgress();
            if (!imported.opened) {
                SayArchiveFailure(kNotOpened, imported.opened);
                return;
            }
            const ImportSummary& summary = imported.summary;
            const QString counts = ui::QStringOfCp1251(ImportSummaryText(summary));
            ShowStatus((summary.cancelled ? QStringLiteral("Импорт прерван: ")
                                          : QStringLiteral("Импорт в архив: ")) +
                       counts);
            if (!summary.status) {
                SayArchiveFailure(QStringLiteral("Импорт остановлен на ") +
                                      QString::fromStdU16String(summary.stoppedAt.u16string()) +
                                      QStringLiteral(" (") + counts + QStringLiteral(")"),
                                  summary.status);
                return;
            }
            if (summary.skipped.empty()) return;
            // The first of them is enough to see what kind of files they are.
            constexpr std::size_t kShown = 15;
            QString text = QStringLiteral("Импорт в архив: ") + counts +
                           QStringLiteral(".\nПропущены файлы, которые не образы накопителя:");
            for (std::size_t i = 0; i < summary.skipped.size() && i < kShown; ++i) {
                text += QStringLiteral("\n") +
                        QString::fromStdU16String(summary.skipped[i].file.u16string()) +
                        QStringLiteral(": ") + ui::QStringOfCp1251(summary.skipped[i].reason);
            }
            if (summary.skipped.size() > kShown) {
                text +=
                    QStringLiteral("\n… и ещё ") + QString::number(summary.skipped.size() - kShown);
            }
            m_dialogs.Message(this, text);
        });
}

void TInfo_Form::ArchiveLocation1Click() {
    const QString standard = Utf8(archive::DisplayedLocation(archive::DefaultArchiveLocation()));
    const auto chosen = m_dialogs.AskText(
        this,
        QStringLiteral("Архив считываний: файл SQLite или адрес сервера (postgresql://… или "
                       "host=… dbname=…)\n"
                       "Пусто: ") +
            standard,
        m_archive.ChosenLocation());
    if (!chosen) return;
    const bool passwordLeftOut = m_archive.ChooseLocation(*chosen);
    ShowStatus(QStringLiteral("Архив считываний: ") + Utf8(m_archive.ShownLocation()));
    if (passwordLeftOut) {
        m_dialogs.Message(
            this,
            QStringLiteral("Пароль не сохранён в настройках программы: он действует, пока "
                           "программа открыта. Чтобы не вводить его заново, запишите его в ") +
                Utf8(archive::PasswordFileName()) +
                QStringLiteral(" или задайте переменную окружения PGPASSWORD."));
    }
}

}  // namespace zorvek
