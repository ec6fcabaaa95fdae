#pragma once

#include <filesystem>

namespace zorvek {

// The folder of the running executable: templates ("Kvelta") and the default
// dump file live beside it. Empty when the system will not say.
std::filesystem::path ExecutableDirectory();

}  // namespace zorvek
