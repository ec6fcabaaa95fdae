#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "model/atomic_file.h"

namespace zorvek {
namespace {

TransferResult Failed(int error) { return FailureFromErrno(error, false); }

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(put));
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: some file systems refuse it for folders
    ::close(fd);
}

}  // namespace

TransferResult WriteFileAtomically(const std::filesystem::path& file,
                                   std::span<const std::uint8_t> bytes) {
    if (file.empty() || !file.has_filename()) return Failed(ENOENT);
    // A hidden name beside the target, so the rename never crosses file systems.
    std::string temporary = (file.parent_path() / ("." + file.filename().string())).string();
    temporary += ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return Failed(errno);
    // mkstemp makes the file 0600; a document or dump file is an ordinary
    // file that others may read, as one saved by any editor.
    ::fchmod(fd, 0644);

    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 && written) {
        const int closeError = errno;
        ::unlink(temporary.c_str());
        return Failed(closeError);
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return Failed(writeError);
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return Failed(renameError);
    }
    SyncFolder(file.parent_path());
    return TransferResult::Ok();
}

}  // namespace zorvek
