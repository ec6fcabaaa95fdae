#include "reports/excel/zip_reader.h"

#include <zip.h>

#include <memory>

namespace zorvek {
namespace {

struct DiscardArchive {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct CloseFile {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

}  // namespace

std::optional<std::vector<ZipEntry>> ReadZip(const std::filesystem::path& path) {
    int openError = 0;
    const std::unique_ptr<zip_t, DiscardArchive> archive(
        zip_open(path.string().c_str(), ZIP_RDONLY, &openError));
    if (!archive) return std::nullopt;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    std::vector<ZipEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), i, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME) ||
            !(stat.valid & ZIP_STAT_SIZE)) {
            return std::nullopt;
        }
        const std::unique_ptr<zip_file_t, CloseFile> file(zip_fopen_index(archive.get(), i, 0));
        if (!file) return std::nullopt;
        ZipEntry& entry = entries.emplace_back(ZipEntry{stat.name, std::string(stat.size, '\0')});
        // Reading on to the end has the check sum compared.
        char past = 0;
        if (zip_fread(file.get(), entry.data.data(), stat.size) !=
                static_cast<zip_int64_t>(stat.size) ||
            zip_fread(file.get(), &past, 1) != 0) {
            return std::nullopt;
        }
    }
    return entries;
}

}  // namespace zorvek
