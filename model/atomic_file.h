#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "model/transfer_result.h"

namespace zorvek {

// Writes bytes to `file` so that the file there is never half-written: the
// bytes go to a new file of a unique name in the same folder, are flushed to
// the disk, and the new file is renamed over the old one (then the folder
// itself is flushed). On any failure the old file is untouched, the
// temporary file is gone, and the result says why (Refused for a folder we
// may not write, IoError with ENOSPC for a full disk, ...).
TransferResult WriteFileAtomically(const std::filesystem::path& file,
                                   std::span<const std::uint8_t> bytes);

}  // namespace zorvek
