#include "archive/sqlite_files.h"

namespace zorvek::archive {

// The user's data folder is the user's own already; SQLite makes the file.
std::error_code MakeArchiveFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return error;
}

std::error_code MakeArchiveFile(const std::filesystem::path&) { return {}; }

bool ArchiveWritable(const std::filesystem::path& file) {
    std::error_code error;
    const auto permissions = std::filesystem::status(file, error).permissions();
    return error ||
           (permissions & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
}

}  // namespace zorvek::archive
