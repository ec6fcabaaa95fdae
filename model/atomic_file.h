#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace zorvek {

// Writes bytes to `file` through a temporary file beside it and a rename,
// so that a failed write never destroys the file that was there.
bool WriteFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

}  // namespace zorvek
