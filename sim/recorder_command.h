#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zorvek::sim {

// zorvek-sim recorder IMAGE [--live FILE] [--baud N] [--fault LIST] [--link PATH]
// Serves the recorder on a pseudo-terminal until interrupted (or until a
// hang-up fault) and prints the device to point ZORVEK_COMn at. Returns 0
// when it ended, 1 for bad arguments, 2 when the image or the line could
// not be had.
int RunRecorderCommand(std::span<const std::string_view> args, std::ostream& out,
                       std::ostream& err);

void PrintRecorderUsage(std::ostream& to);

}  // namespace zorvek::sim
