#include <windows.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "model/scratch_file.h"
#include "model/windows_error.h"

namespace zorvek {

ScratchFile::ScratchFile(std::string_view stem) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        m_made = FailureFromErrno(EIO, false);
        return;
    }
    // GetTempFileNameW makes the file under a unique name of its own.
    wchar_t name[MAX_PATH];
    const std::wstring prefix =
        std::filesystem::path(std::string("zv") + std::string(stem.substr(0, 1))).wstring();
    if (GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, name) == 0) {
        m_made = FailureFromErrno(ErrnoOfWindowsError(GetLastError()), false);
        return;
    }
    m_path = name;
}

ScratchFile::~ScratchFile() {
    if (!m_path.empty()) DeleteFileW(m_path.c_str());
}

}  // namespace zorvek
