#include <shlobj.h>
#include <windows.h>

#include <string>

#include "access/program_location.h"

namespace zorvek {

std::filesystem::path ExecutableDirectory() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(length > 0 ? static_cast<std::size_t>(length) : 1U, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), length, nullptr, nullptr);
        utf8.resize(utf8.size() - 1);
        arguments.push_back(std::move(utf8));
    }
    LocalFree(wide);
    return arguments;
}

bool IsWritableFolder(const std::filesystem::path& folder) {
    if (folder.empty()) return false;
    // Access rights say little on Windows (a virtualised Program Files
    // folder): try to make a file there.
    const std::filesystem::path probe = folder / L".zorvek-write-probe";
    HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

}  // namespace zorvek
