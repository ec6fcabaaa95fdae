#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "archive/readout_archive.h"
#include "flows/session.h"

namespace zorvek {

// How storing the session's image in the archive went.
struct ArchiveStore {
    archive::ArchiveStatus status;
    archive::Added added;
    // Where it went, without a password (UTF-8).
    std::string location;

    explicit operator bool() const { return static_cast<bool>(status); }
};

// Stores the image of the session's open source (after a device load, the
// dump file just saved) as a read-out from `source`. `readAt` defaults to
// the dump file's time of writing, or the present. Reads only: the dump
// file and the session stay as they were, whatever the archive answers.
ArchiveStore StoreReadout(Session& session, archive::ReadoutSource source,
                          archive::ReadoutArchive& archive, std::string note = {},
                          std::optional<std::chrono::sys_seconds> readAt = std::nullopt);

// The same in the archive the program uses (DefaultArchiveLocation), opened
// for this one store.
ArchiveStore StoreReadout(Session& session, archive::ReadoutSource source);

// What the status line says (cp1251): "Считывание сохранено в архив:
// <where>", with a warning when the read-out was flagged, or "Считывание
// не сохранено в архив: <why>".
std::string ArchiveStoreMessage(const ArchiveStore& stored);

// Why an archive call failed, in Russian with the database's own words
// after it (cp1251): "нет связи с архивом (could not connect ...)".
std::string ArchiveFailureText(const archive::ArchiveStatus& status);

}  // namespace zorvek
