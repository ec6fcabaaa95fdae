#include "access/program_location.h"

#include <system_error>

namespace zorvek {

std::filesystem::path DataDirectory() {
    const std::filesystem::path beside = ExecutableDirectory();
    if (beside.empty()) return {};
    std::error_code error;
    if (std::filesystem::is_directory(beside / "Kvelta", error)) return beside;
    const std::filesystem::path installed = beside.parent_path() / "share" / "zorvek";
    if (std::filesystem::is_directory(installed, error)) return installed;
    return beside;
}

}  // namespace zorvek
