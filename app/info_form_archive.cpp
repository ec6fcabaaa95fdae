// The main window's "Архив" menu: the loaded image into the archive, a
// stored read-out back into the window, the fleet of cranes.
#include <string>

#include "app/archive_link.h"
#include "app/command_scope.h"
#include "app/info_form.h"
#include "app/wait_cursor.h"
#include "flows/archive_flow.h"
#include "ui/archive_texts.h"
#include "ui/dialogs.h"
#include "ui/fleet_form.h"
#include "ui/readout_list_form.h"
#include "ui/text.h"

namespace zorvek {
namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

const QString kNotOpened = QStringLiteral("Архив считываний не открыт");
const QString kNotRead = QStringLiteral("Архив считываний не прочитан");

// An archive call under the wait cursor: a server far away or a big fleet
// may take a while to answer.
template <typename Call>
auto Waited(Call call) {
    WaitCursor wait;
    return call();
}

// Read-outs taken from the archive are loaded from a file of their own
// beside the default dump file, never from the default dump file itself,
// which holds the newest device read.
std::filesystem::path ReadoutFile(const Session& session, archive::ReadoutId id) {
    return session.choice.defaultFile.parent_path() / "readouts" /
           ("readout-" + std::to_string(id) + ".krd");
}

}  // namespace

archive::ReadoutArchive* TInfo_Form::OpenArchiveOrSay() {
    const auto opened = Waited([this] { return m_archive.Archive(); });
    if (!opened) {
        SayArchiveFailure(kNotOpened, opened.status);
        return nullptr;
    }
    return opened.value;
}

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

void TInfo_Form::StoreLoadedImage(archive::ReadoutSource source) {
    WaitCursor wait;
    ArchiveStore stored;
    if (const auto opened = m_archive.Archive(); opened) {
        stored = StoreReadout(m_session, source, *opened.value);
    } else {
        stored.status = opened.status;
        stored.location = m_archive.ShownLocation();
    }
    ShowStatus(ui::QStringOfCp1251(ArchiveStoreMessage(stored)));
}

void TInfo_Form::ArchiveSave1Click() {
    CommandScope scope(*this, *m_close, m_running, *m_bar, *m_status);
    StoreLoadedImage(m_loadedSource);
}

void TInfo_Form::ArchiveOpen1Click() {
    CommandScope scope(*this, *m_close, m_running, *m_bar, *m_status);
    archive::ReadoutArchive* store = OpenArchiveOrSay();
    if (!store) return;
    const auto listed = Waited([store] { return store->List(std::nullopt); });
    if (SayWhyNothingListed(listed.status, listed.value.empty(), *store)) return;
    ui::ReadoutListForm form(this, listed.value);
    if (form.exec() != QDialog::Accepted || !form.Chosen()) return;
    OpenReadout(*store, *form.Chosen());
}

void TInfo_Form::Fleet1Click() {
    CommandScope scope(*this, *m_close, m_running, *m_bar, *m_status);
    archive::ReadoutArchive* store = OpenArchiveOrSay();
    if (!store) return;
    auto fleet = Waited([store] { return store->Fleet(); });
    if (SayWhyNothingListed(fleet.status, fleet.value.empty(), *store)) return;
    ui::FleetForm form(this, std::move(fleet.value));
    std::optional<archive::ReadoutId> chosen;
    form.onCraneChosen = [&](const archive::FleetLine& line) {
        const std::string& registration = line.last.crane.registration;
        const auto listed = Waited([&] { return store->List(registration); });
        if (!listed) {
            SayArchiveFailure(kNotRead, listed.status);
            return;
        }
        ui::ReadoutListForm history(&form, listed.value);
        history.setWindowTitle(QStringLiteral("Считывания крана ") +
                               ui::QStringOfCp1251(registration));
        if (listed.value.size() >= 2) {
            history.ShowComparison(archive::Compare(listed.value[1], listed.value[0]));
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
    if (chosen) OpenReadout(*store, *chosen);
}

void TInfo_Form::OpenReadout(archive::ReadoutArchive& store, archive::ReadoutId id) {
    const auto stored = Waited([&] { return store.Get(id); });
    if (!stored) {
        SayArchiveFailure(QStringLiteral("Считывание не прочитано из архива"), stored.status);
        return;
    }
    const std::filesystem::path file = ReadoutFile(m_session, id);
    const LoadOutcome outcome = LoadImageAsFile(m_session, file, stored.value.image);
    AfterLoad(outcome);
    if (!outcome.Loaded()) return;
    m_loadedSource = stored.value.summary.source;
    const archive::ReadoutSummary& summary = stored.value.summary;
    // The crane and the time fit the line; the folder is the one the
    // default dump file lies in.
    ShowStatus(QStringLiteral("Открыто из архива: кран ") +
               ui::QStringOfCp1251(summary.crane.registration) + QStringLiteral(", ") +
               ui::ReadAtText(summary.readAt) + QStringLiteral(", файл ") +
               QString::fromStdU16String(file.filename().u16string()));
}

void TInfo_Form::ArchiveLocation1Click() {
    CommandScope scope(*this, *m_close, m_running, *m_bar, *m_status);
    const QString standard = Utf8(archive::DisplayedLocation(archive::DefaultArchiveLocation()));
    const auto chosen = m_dialogs.AskText(
        this,
        QStringLiteral("Архив считываний: файл SQLite или адрес сервера postgresql://…\n"
                       "Пусто: ") +
            standard,
        m_archive.ChosenLocation());
    if (!chosen) return;
    m_archive.ChooseLocation(*chosen);
    ShowStatus(QStringLiteral("Архив считываний: ") + Utf8(m_archive.ShownLocation()));
}

}  // namespace zorvek
