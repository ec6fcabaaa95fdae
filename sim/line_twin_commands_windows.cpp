#include "sim/line_twin_commands.h"

namespace zorvek::sim {

// Windows offers a program no pseudo-terminal to stand in for a COM port.
std::span<const SimCommand> LineTwinCommands() { return {}; }

}  // namespace zorvek::sim
