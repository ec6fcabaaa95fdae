#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zorvek::sim {

// One command of `zorvek-sim`.
struct SimCommand {
    std::string_view name;
    std::string_view summary;
    int (*run)(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
};

// The twins served behind the system's own lines, the recorder's serial line
// and the USB reader's port: pseudo-terminals where the system has them,
// none where it has not.
std::span<const SimCommand> LineTwinCommands();

}  // namespace zorvek::sim
