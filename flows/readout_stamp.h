#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "flows/session.h"
#include "reports/common/document_stamp.h"

namespace zorvek {

// When `file` was last written; nothing when the system cannot say.
std::optional<std::chrono::sys_seconds> FileWrittenAt(const std::filesystem::path& file);

// When the loaded image was read, as the archive dates it: the time its
// load knew (a device read's moment, an archive read-out's stored time),
// else the image's own time (its newest valid record, else the end of its
// statistics period), else the time its file was written. Nothing while
// no file is loaded.
std::optional<std::chrono::sys_seconds> ImageReadTime(const Session& session,
                                                      std::span<const std::uint8_t> image);

// Gives `file` the time it was read (see ImageReadTime). False when the
// file system refuses it.
bool SetReadTime(const std::filesystem::path& file, std::chrono::sys_seconds readAt);

// The stamp of the documents made from the session's open source: this
// program, the image's fingerprint, the read time. The fingerprint is empty
// when the image cannot be read.
DocumentStamp ReadoutStamp(Session& session);

}  // namespace zorvek
