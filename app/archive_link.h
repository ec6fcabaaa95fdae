#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "archive/readout_archive.h"

class QSettings;

namespace zorvek {

// The window's way to the read-out archive. The archive lies where the
// window's setting names it, else where the program's default puts it
// (ZORVEK_ARCHIVE, else the user's data folder); it is opened at its first
// use, kept open, and opened anew after the setting changes. An archive
// that could not be opened is tried again at the next use.
class ArchiveLink {
  public:
    using Opener = std::function<archive::ArchiveResult<std::unique_ptr<archive::ReadoutArchive>>(
        std::string_view location)>;

    // `settings` keeps the location the user chose (UTF-8); `open` opens a
    // location (archive::OpenArchive in the program). A kept location that
    // holds a password (an older program's) is used with it until the
    // program ends, and kept again at once without it.
    ArchiveLink(QSettings& settings, Opener open);
    ~ArchiveLink();
    ArchiveLink(const ArchiveLink&) = delete;
    ArchiveLink& operator=(const ArchiveLink&) = delete;

    // The open archive, opened now if it is not; may take long for a
    // server far away.
    archive::ArchiveResult<archive::ReadoutArchive*> Archive();

    // The location chosen in the window; empty for the default.
    QString ChosenLocation() const;
    // Chooses a location (empty: the default); an open archive is closed.
    // A password is never kept in the settings: the location is kept
    // without it, and used with it until the program ends. True when a
    // password was left out so.
    bool ChooseLocation(const QString& location);
    // Where the archive lies now, as it may be shown (no password).
    std::string ShownLocation() const;

  private:
    std::string Location() const;

    QSettings& m_settings;
    Opener m_open;
    std::unique_ptr<archive::ReadoutArchive> m_archive;
    // The chosen location as typed, password and all; empty when it had none.
    std::string m_withPassword;
};

}  // namespace zorvek
