#include <windows.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "model/atomic_file.h"
#include "model/windows_error.h"

namespace zorvek {
namespace {

TransferResult LastFailure() {
    return FailureFromErrno(ErrnoOfWindowsError(GetLastError()), false);
}

// A hidden name beside the target that no other writer uses: the process,
// a counter and the tick count.
std::filesystem::path TemporaryName(const std::filesystem::path& file) {
    static std::atomic<unsigned> counter{0};
    std::wstring name = L"." + file.filename().wstring() + L"." +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
                        L"-" + std::to_wstring(GetTickCount64());
    return file.parent_path() / name;
}

}  // namespace

TransferResult WriteFileAtomically(const std::filesystem::path& file,
                                   std::span<const std::uint8_t> bytes) {
    if (file.empty() || !file.has_filename()) return FailureFromErrno(ENOENT, false);
    const std::filesystem::path temporary = TemporaryName(file);
    HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastFailure();

    bool written = true;
    while (written && !bytes.empty()) {
        DWORD put = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        written = WriteFile(handle, bytes.data(), asked, &put, nullptr) != 0;
        bytes = bytes.subspan(put);
    }
    written = written && FlushFileBuffers(handle) != 0;
    const TransferResult failure = written ? TransferResult::Ok() : LastFailure();
    CloseHandle(handle);
    if (!written) {
        DeleteFileW(temporary.c_str());
        return failure;
    }
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(temporary.c_str(), file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const TransferResult renameFailure = LastFailure();
        DeleteFileW(temporary.c_str());
        return renameFailure;
    }
    return TransferResult::Ok();
}

}  // namespace zorvek
