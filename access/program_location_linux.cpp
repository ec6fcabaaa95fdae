#include <system_error>

#include "access/program_location.h"

namespace zorvek {

std::filesystem::path ExecutableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

}  // namespace zorvek
