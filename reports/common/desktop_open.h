#pragma once

#include <filesystem>

namespace zorvek {

// Opens a file with the desktop's default application, without waiting for
// it. False when no opener could be started; the file is left as it is.
bool OpenWithDesktop(const std::filesystem::path& file);

}  // namespace zorvek
