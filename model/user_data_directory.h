#pragma once

#include <filesystem>

namespace zorvek {

// The user's own folder for the program's data (on Linux
// $XDG_DATA_HOME/zorvek, else ~/.local/share/zorvek; on Windows the local
// application data folder's "zorvek"); not made here. Empty when the system
// names no such folder (no home).
std::filesystem::path UserDataDirectory();

}  // namespace zorvek
