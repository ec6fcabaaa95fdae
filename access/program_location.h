#pragma once

#include <filesystem>

namespace zorvek {

// The folder of the running executable: templates ("Kvelta") and the default
// dump file live beside it. Empty when the system will not say.
std::filesystem::path ExecutableDirectory();

// The user's own folder for the program's data (on Linux
// $XDG_DATA_HOME/zorvek, else ~/.local/share/zorvek); not made here.
std::filesystem::path UserDataDirectory();

// Whether this process may create files in `folder`.
bool IsWritableFolder(const std::filesystem::path& folder);

}  // namespace zorvek
