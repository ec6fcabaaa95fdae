#include "tests/support/endless_device.h"

namespace zorvek::test {

std::optional<std::filesystem::path> EndlessDevice() { return "/dev/zero"; }

}  // namespace zorvek::test
