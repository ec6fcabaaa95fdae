#include "app/archive_link.h"

#include <QSettings>

namespace zorvek {
namespace {

const QString kLocationKey = QStringLiteral("archive/location");

}  // namespace

ArchiveLink::ArchiveLink(QSettings& settings, Opener open)
    : m_settings(settings), m_open(std::move(open)) {
    // An older program kept the location as typed, password and all: it
    // is used so for this run and kept from now on without it.
    const std::string kept = ChosenLocation().toStdString();
    if (archive::NamesAPassword(kept)) {
        m_withPassword = kept;
        m_settings.setValue(kLocationKey, QString::fromStdString(archive::DisplayedLocation(kept)));
        m_settings.sync();
    }
}

ArchiveLink::~ArchiveLink() = default;

archive::ArchiveResult<archive::ReadoutArchive*> ArchiveLink::Archive() {
    archive::ArchiveResult<archive::ReadoutArchive*> result;
    if (!m_archive) {
        auto opened = m_open(Location());
        if (!opened) {
            result.status = opened.status;
            return result;
        }
        m_archive = std::move(opened.value);
    }
    result.value = m_archive.get();
    return result;
}

QString ArchiveLink::ChosenLocation() const {
    return m_settings.value(kLocationKey).toString().trimmed();
}

bool ArchiveLink::ChooseLocation(const QString& location) {
    const std::string chosen = location.trimmed().toStdString();
    m_withPassword = archive::NamesAPassword(chosen) ? chosen : std::string();
    if (chosen.empty()) {
        m_settings.remove(kLocationKey);
    } else {
        const std::string kept =
            m_withPassword.empty() ? chosen : archive::DisplayedLocation(chosen);
        m_settings.setValue(kLocationKey, QString::fromStdString(kept));
    }
    m_settings.sync();
    m_archive.reset();
    return !m_withPassword.empty();
}

std::string ArchiveLink::ShownLocation() const {
    return m_archive ? m_archive->Location() : archive::DisplayedLocation(Location());
}

std::string ArchiveLink::Location() const {
    if (!m_withPassword.empty()) return m_withPassword;
    const QString chosen = ChosenLocation();
    return chosen.isEmpty() ? archive::DefaultArchiveLocation() : chosen.toStdString();
}

}  // namespace zorvek
