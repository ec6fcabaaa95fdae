#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "archive/readout_archive.h"
#include "flows/session.h"

namespace zorvek {

// When a read-out was read, and how that is known.
struct ReadTime {
    std::chrono::sys_seconds at{};
    archive::ReadTimeSource source = archive::ReadTimeSource::Given;
};

// When an image kept in `file` was read out: the image's own time (its
// newest valid record, else the end of its statistics period); only where
// it holds none, the file's time of change (a copied or mailed file's is
// the copy's), failing that the present.
ReadTime ReadTimeOfFile(std::span<const std::uint8_t> image, const std::filesystem::path& file);

// "ДД.ММ.ГГГГ ЧЧ:ММ" (this machine's local time, as the recorder keeps
// it; seconds may follow) as a moment; nothing for anything else.
std::optional<std::chrono::sys_seconds> ParseReadAt(std::string_view text);

// How storing the session's image in the archive went.
struct ArchiveStore {
    archive::ArchiveStatus status;
    archive::Added added;
    ReadTime readAt;
    // Where it went, without a password (UTF-8).
    std::string location;

    explicit operator bool() const { return static_cast<bool>(status); }
};

// Stores the image of the session's open source (after a device load, the
// dump file just saved) as a read-out from `source`. `readAt` defaults, for
// a device, to the dump file's time of writing (the moment of the read),
// and for a file to ReadTimeOfFile. Reads only: the dump file and the
// session stay as they were, whatever the archive answers.
ArchiveStore StoreReadout(Session& session, archive::ReadoutSource source,
                          archive::ReadoutArchive& archive, std::string note = {},
                          std::optional<std::chrono::sys_seconds> readAt = std::nullopt);

// The same in the archive the program uses (DefaultArchiveLocation), opened
// for this one store.
ArchiveStore StoreReadout(Session& session, archive::ReadoutSource source);

// What the status line says (cp1251): "Считывание сохранено в архив:
// <where>", with a warning when the read-out was flagged (naming the
// read-out it was set against) or dated by its file's time, or
// "Считывание не сохранено в архив: <why>".
std::string ArchiveStoreMessage(const ArchiveStore& stored);

// Why an archive call failed, in Russian with the database's own words
// after it (cp1251): "нет связи с архивом (could not connect ...)".
std::string ArchiveFailureText(const archive::ArchiveStatus& status);

}  // namespace zorvek
