#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>

namespace zorvek::sim {

// Exit codes every zorvek-sim command shares; the simulator speaks English.
constexpr int kSimWrongUsage = 1;
constexpr int kSimFailed = 2;

// Parses a command's arguments (the words after its name) with `parser`,
// whose options the command has added. Nothing when the command is to run;
// otherwise its exit code: 0 after "--help" printed `usage` on `out`,
// kSimWrongUsage after a mistake, said on `err` with the usage.
std::optional<int> ParseCommand(CLI::App& parser, std::span<const std::string_view> args,
                                std::ostream& out, std::ostream& err,
                                const std::function<void(std::ostream&)>& usage);

}  // namespace zorvek::sim
