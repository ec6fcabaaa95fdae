#pragma once

#include <filesystem>
#include <optional>

namespace zorvek::test {

// A file that never ends when read (/dev/zero); nothing where the system
// has none.
std::optional<std::filesystem::path> EndlessDevice();

}  // namespace zorvek::test
