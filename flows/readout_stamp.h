#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

#include "flows/session.h"
#include "reports/common/document_stamp.h"

namespace zorvek {

// When the loaded image was read. The program writes every image it reads
// into a dump file at that moment, and a read-out taken from the archive
// into a file that carries the time it was read (SetReadTime), so the time
// of the file loaded stands for it; for a file brought from elsewhere it
// is when that copy was written. Nothing while no file is loaded.
std::optional<std::chrono::sys_seconds> ImageReadTime(const Session& session);

// Gives `file` the time it was read (see ImageReadTime). False when the
// file system refuses it.
bool SetReadTime(const std::filesystem::path& file, std::chrono::sys_seconds readAt);

// The stamp of the documents made from the session's open source: this
// program, the image's fingerprint, the read time. The fingerprint is empty
// when the image cannot be read.
DocumentStamp ReadoutStamp(Session& session);

}  // namespace zorvek
