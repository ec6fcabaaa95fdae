#include "reports/excel/zip_reader.h"

#include <cstdint>
#include <limits>
#include <string>

#include "model/binary_file.h"
#include "reports/excel/zip_archive.h"

namespace zorvek {

std::optional<std::vector<ZipEntry>> ReadZip(const std::filesystem::path& path) {
    TransferResult result;
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(path, std::numeric_limits<std::uint32_t>::max(), result);
    if (!bytes || bytes->empty()) return std::nullopt;
    std::unique_ptr<MemoryZip> archive = MemoryZip::Open(std::string(bytes->begin(), bytes->end()));
    if (!archive) return std::nullopt;
    return archive->Entries();
}

}  // namespace zorvek
