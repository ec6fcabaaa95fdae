#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zorvek::sim {

// zorvek-sim image --seed N --out FILE [--variant NAME] [--now YYYY-MM-DDTHH:MM:SS]
// Writes a generated image and a summary of its records to `out`. Returns
// the exit status: 0 written, 1 bad arguments (the usage goes to `err`),
// 2 the file could not be written.
int RunImageCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

void PrintImageUsage(std::ostream& to);

}  // namespace zorvek::sim
