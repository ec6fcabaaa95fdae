#include "reports/excel/zip_archive.h"

#include <zip.h>

#include <utility>

namespace zorvek {
namespace {

// Level 1: a sheet's package entries are long runs of repeated markup, which
// the fastest level shrinks nearly as well as the default in a fraction of
// the time (the comment parts of the largest sheet: 16 MB to 0.5 MB).
constexpr zip_uint32_t kLevel = 1;
constexpr zip_uint16_t kDosMidnight = 0;
constexpr zip_uint16_t kDosDate1980 = (0 << 9) | (1 << 5) | 1;  // 1 January 1980

struct CloseEntry {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

}  // namespace

std::unique_ptr<MemoryZip> MemoryZip::Open(std::string bytes) {
    std::unique_ptr<MemoryZip> zip(new MemoryZip);
    zip->m_original = std::move(bytes);
    const bool fresh = zip->m_original.empty();
    zip_error_t error;
    zip_error_init(&error);
    zip->m_source = zip_source_buffer_create(fresh ? nullptr : zip->m_original.data(),
                                             zip->m_original.size(), 0, &error);
    if (zip->m_source != nullptr) {
        zip->m_archive =
            zip_open_from_source(zip->m_source, fresh ? ZIP_TRUNCATE : ZIP_CHECKCONS, &error);
    }
    zip_error_fini(&error);
    if (zip->m_archive == nullptr) return nullptr;
    // The archive owns the source now; one more hold keeps it, and what
    // libzip writes into it on closing, for Close to read.
    zip_source_keep(zip->m_source);
    return zip;
}

MemoryZip::~MemoryZip() {
    // Before the archives taken in, which this one may still read from.
    if (m_archive != nullptr) zip_discard(m_archive);
    if (m_source != nullptr) zip_source_free(m_source);
}

bool MemoryZip::Contains(std::string_view name) const {
    return m_archive != nullptr && zip_name_locate(m_archive, std::string(name).c_str(), 0) >= 0;
}

std::optional<std::string> MemoryZip::Read(std::string_view name) {
    if (m_archive == nullptr) return std::nullopt;
    const zip_int64_t index = zip_name_locate(m_archive, std::string(name).c_str(), 0);
    if (index < 0) return std::nullopt;
    return ReadIndex(static_cast<zip_uint64_t>(index));
}

std::optional<std::vector<ZipEntry>> MemoryZip::Entries() {
    if (m_archive == nullptr) return std::nullopt;
    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    std::vector<ZipEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        const char* name = zip_get_name(m_archive, i, 0);
        std::optional<std::string> data = ReadIndex(i);
        if (name == nullptr || !data) return std::nullopt;
        entries.push_back(ZipEntry{name, std::move(*data)});
    }
    return entries;
}

std::optional<std::string> MemoryZip::ReadIndex(std::uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        return std::nullopt;
    }
    const std::unique_ptr<zip_file_t, CloseEntry> file(zip_fopen_index(m_archive, index, 0));
    if (!file) return std::nullopt;
    std::string data(stat.size, '\0');
    // Reading on to the end has the check sum compared.
    char past = 0;
    if (zip_fread(file.get(), data.data(), stat.size) != static_cast<zip_int64_t>(stat.size) ||
        zip_fread(file.get(), &past, 1) != 0) {
        return std::nullopt;
    }
    return data;
}

bool MemoryZip::Put(std::string name, std::string data) {
    if (m_archive == nullptr) return false;
    // libzip drops a level asked for together with the method the entry
    // had already, and packs at its default level, several times slower;
    // a replaced deflated entry gets its level with the default method,
    // which is deflate as well.
    zip_int32_t method = ZIP_CM_DEFLATE;
    if (const zip_int64_t old = zip_name_locate(m_archive, name.c_str(), 0); old >= 0) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive, static_cast<zip_uint64_t>(old), ZIP_FL_UNCHANGED, &stat) ==
                0 &&
            (stat.valid & ZIP_STAT_COMP_METHOD) && stat.comp_method == ZIP_CM_DEFLATE) {
            method = ZIP_CM_DEFAULT;
        }
    }
    const std::string& kept = m_added.emplace_back(std::move(data));
    zip_source_t* source = zip_source_buffer(m_archive, kept.data(), kept.size(), 0);
    if (source == nullptr) return false;
    const zip_int64_t index = zip_file_add(m_archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    const auto at = static_cast<zip_uint64_t>(index);
    return zip_set_file_compression(m_archive, at, method, kLevel) == 0 &&
           zip_file_set_dostime(m_archive, at, kDosMidnight, kDosDate1980, 0) == 0;
}

bool MemoryZip::TakeAll(std::unique_ptr<MemoryZip> other) {
    if (m_archive == nullptr || !other || other->m_archive == nullptr) return false;
    zip_t* from = other->m_archive;
    m_taken.push_back(std::move(other));
    const zip_int64_t count = zip_get_num_entries(from, 0);
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        const char* name = zip_get_name(from, i, 0);
        if (name == nullptr) return false;
        // The whole entry (from 0, length -1) is copied still packed.
        zip_source_t* source = zip_source_zip(m_archive, from, i, 0, 0, -1);
        if (source == nullptr) return false;
        const zip_int64_t index = zip_file_add(m_archive, name, source, ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        if (zip_file_set_dostime(m_archive, static_cast<zip_uint64_t>(index), kDosMidnight,
                                 kDosDate1980, 0) != 0) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> MemoryZip::Close() {
    if (m_archive == nullptr) return std::nullopt;
    zip_t* archive = std::exchange(m_archive, nullptr);
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return std::nullopt;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(m_source, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(m_source) != 0) {
        return std::nullopt;
    }
    std::string bytes(stat.size, '\0');
    const zip_int64_t got = zip_source_read(m_source, bytes.data(), bytes.size());
    zip_source_close(m_source);
    if (got != static_cast<zip_int64_t>(bytes.size())) return std::nullopt;
    return bytes;
}

}  // namespace zorvek
