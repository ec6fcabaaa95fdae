#include <cstdlib>

#include "model/user_data_directory.h"

namespace zorvek {

std::filesystem::path UserDataDirectory() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::filesystem::path(dataHome) / "zorvek";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return {};
    return std::filesystem::path(home) / ".local" / "share" / "zorvek";
}

}  // namespace zorvek
