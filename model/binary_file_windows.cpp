#include <windows.h>

#include <cerrno>

#include "model/binary_file.h"
#include "model/windows_error.h"

namespace zorvek {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

TransferResult LastFailure(bool wasOpen) {
    return FailureFromErrno(ErrnoOfWindowsError(GetLastError()), wasOpen);
}

// 0 for a file, otherwise the errno to report (a folder is refused).
int NotAFile(const std::filesystem::path& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ErrnoOfWindowsError(GetLastError());
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EISDIR : 0;
}

HANDLE OpenShared(const std::filesystem::path& file, DWORD access) {
    return CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

}  // namespace

BinaryFile::~BinaryFile() { Close(); }

TransferResult BinaryFile::Open(const std::filesystem::path& file) {
    Close();
    if (const int error = NotAFile(file); error != 0) return FailureFromErrno(error, false);
    HANDLE handle = OpenShared(file, GENERIC_READ | GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        handle = OpenShared(file, GENERIC_READ);
    }
    if (handle == INVALID_HANDLE_VALUE) return LastFailure(false);
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return TransferResult::Ok();
}

void BinaryFile::Close() {
    if (!IsOpen()) return;
    CloseHandle(Handle(m_handle));
    m_handle = kClosed;
}

std::optional<std::uint64_t> BinaryFile::Size() const {
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(Handle(m_handle), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

TransferResult BinaryFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    while (count > 0) {
        OVERLAPPED position = At(offset);
        DWORD got = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        if (!ReadFile(Handle(m_handle), buffer, asked, &got, &position)) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                return TransferResult::Fail(TransferError::IoError, EIO);
            }
            return LastFailure(true);
        }
        if (got == 0) return TransferResult::Fail(TransferError::IoError, EIO);
        buffer += got;
        offset += got;
        count -= got;
    }
    return TransferResult::Ok();
}

TransferResult BinaryFile::WriteAt(std::uint64_t offset, const std::uint8_t* buffer,
                                   std::size_t count) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    while (count > 0) {
        OVERLAPPED position = At(offset);
        DWORD put = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        if (!WriteFile(Handle(m_handle), buffer, asked, &put, &position)) return LastFailure(true);
        buffer += put;
        offset += put;
        count -= put;
    }
    return TransferResult::Ok();
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& file,
                                                       std::size_t limit, TransferResult& result) {
    if (const int error = NotAFile(file); error != 0) {
        result = FailureFromErrno(error, false);
        return std::nullopt;
    }
    HANDLE handle = OpenShared(file, GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE) {
        result = LastFailure(false);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle, chunk, sizeof chunk, &got, nullptr)) {
            result = LastFailure(true);
            CloseHandle(handle);
            return std::nullopt;
        }
        if (got == 0) break;
        if (bytes.size() + got > limit) {
            result = TransferResult::Fail(TransferError::OutOfRange, EFBIG);
            CloseHandle(handle);
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(handle);
    result = TransferResult::Ok();
    return bytes;
}

std::string NativeNameForCLibrary(const std::filesystem::path& file) {
    // C libraries open files through the ANSI code page; the short (8.3)
    // name of an existing file or folder is plain ASCII whatever its name.
    wchar_t shortName[MAX_PATH];
    const std::filesystem::path folder = file.parent_path();
    const DWORD length =
        GetShortPathNameW(folder.empty() ? L"." : folder.c_str(), shortName, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return file.string();
    return (std::filesystem::path(shortName) / file.filename()).string();
}

}  // namespace zorvek
