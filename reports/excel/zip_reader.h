#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "reports/excel/zip_entry.h"

namespace zorvek {

// Every file of a ZIP archive, decompressed, in the archive's order. Nothing
// when the archive cannot be opened or an entry is damaged.
std::optional<std::vector<ZipEntry>> ReadZip(const std::filesystem::path& path);

}  // namespace zorvek
