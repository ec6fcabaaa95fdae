#include "tests/support/endless_device.h"

namespace zorvek::test {

// NUL reads as empty on Windows.
std::optional<std::filesystem::path> EndlessDevice() { return std::nullopt; }

}  // namespace zorvek::test
