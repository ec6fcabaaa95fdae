#include <unistd.h>

#include <system_error>

#include "access/program_location.h"

namespace zorvek {

std::filesystem::path ExecutableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    // The bytes as the system gave them: file names need not be UTF-8 here.
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool IsWritableFolder(const std::filesystem::path& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace zorvek
