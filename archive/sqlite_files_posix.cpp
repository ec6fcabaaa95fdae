#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "archive/sqlite_files.h"

namespace zorvek::archive {

std::error_code MakeArchiveFolder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> missing;
    std::error_code error;
    for (std::filesystem::path at = folder; !at.empty() && !std::filesystem::exists(at, error);
         at = at.parent_path()) {
        missing.push_back(at);
        if (at == at.parent_path()) break;
    }
    for (auto at = missing.rbegin(); at != missing.rend(); ++at) {
        // Another program may make it at the same moment.
        if (::mkdir(at->c_str(), 0700) != 0 && errno != EEXIST)
            return {errno, std::generic_category()};
    }
    return {};
}

std::error_code MakeArchiveFile(const std::filesystem::path& file) {
    const int made = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (made < 0)
        return errno == EEXIST ? std::error_code()
                               : std::error_code(errno, std::generic_category());
    ::close(made);
    return {};
}

bool ArchiveWritable(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    return ::access(file.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace zorvek::archive
