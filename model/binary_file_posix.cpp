#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "model/binary_file.h"

namespace zorvek {
namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// 0 for a regular file, otherwise the errno to report.
int NotRegular(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    return S_ISREG(info.st_mode) ? 0 : ENODEV;
}

}  // namespace

BinaryFile::~BinaryFile() { Close(); }

TransferResult BinaryFile::Open(const std::filesystem::path& file) {
    Close();
    int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) return FailureFromErrno(errno, false);
    // A dump file is an ordinary file; a folder or a device is refused.
    if (const int error = NotRegular(fd); error != 0) {
        ::close(fd);
        return FailureFromErrno(error, false);
    }
    m_handle = fd;
    return TransferResult::Ok();
}

void BinaryFile::Close() {
    if (!IsOpen()) return;
    ::close(Fd(m_handle));
    m_handle = kClosed;
}

std::optional<std::uint64_t> BinaryFile::Size() const {
    struct stat info {};
    if (!IsOpen() || ::fstat(Fd(m_handle), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

TransferResult BinaryFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    while (count > 0) {
        const ssize_t got = ::pread(Fd(m_handle), buffer, count, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return FailureFromErrno(errno, true);
        if (got == 0) return TransferResult::Fail(TransferError::IoError, EIO);
        buffer += got;
        offset += static_cast<std::uint64_t>(got);
        count -= static_cast<std::size_t>(got);
    }
    return TransferResult::Ok();
}

TransferResult BinaryFile::WriteAt(std::uint64_t offset, const std::uint8_t* buffer,
                                   std::size_t count) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    while (count > 0) {
        const ssize_t put = ::pwrite(Fd(m_handle), buffer, count, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return FailureFromErrno(errno, true);
        buffer += put;
        offset += static_cast<std::uint64_t>(put);
        count -= static_cast<std::size_t>(put);
    }
    return TransferResult::Ok();
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& file,
                                                       std::size_t limit, TransferResult& result) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result = FailureFromErrno(errno, false);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        result = FailureFromErrno(S_ISDIR(info.st_mode) ? EISDIR : errno, false);
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result = FailureFromErrno(errno, true);
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > limit) {
            result = TransferResult::Fail(TransferError::OutOfRange, EFBIG);
            ::close(fd);
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    result = TransferResult::Ok();
    return bytes;
}

std::string NativeNameForCLibrary(const std::filesystem::path& file) { return file.string(); }

}  // namespace zorvek
