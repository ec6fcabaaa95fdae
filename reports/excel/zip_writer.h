#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zorvek {

// A file as it goes into a ZIP archive: deflated at the fastest level, or
// stored when that is no smaller, with the check sum and size of its data.
struct PackedEntry {
    std::string name;
    bool deflated = false;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    std::string bytes;  // as stored
};

// Packs one file; entries may be packed on several threads at once. Nothing
// when the name or data is too long for the plain ZIP format (64 KiB,
// 4 GiB) or the compressor fails.
std::optional<PackedEntry> PackEntry(std::string name, std::string_view data);

// Writes the entries, in their order, as a new ZIP archive at `path`
// (replacing any file there), all dated 1 January 1980 so that equal entries
// make equal files. There is no ZIP64: false when the archive or the number
// of entries would not fit the plain format (4 GiB, 65535), or when the file
// cannot be written. A failed write may leave a partial file.
bool WriteZip(const std::filesystem::path& path, std::span<const PackedEntry> entries);

}  // namespace zorvek
