#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "access/program_location.h"

namespace zorvek {

std::filesystem::path ExecutableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

std::filesystem::path UserDataDirectory() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::filesystem::path(dataHome) / "zorvek";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return {};
    return std::filesystem::path(home) / ".local" / "share" / "zorvek";
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    // The bytes as the system gave them: file names need not be UTF-8 here.
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool IsWritableFolder(const std::filesystem::path& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace zorvek
