#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zorvek::cli {

// Exit code of every command for a mistake in its arguments.
constexpr int kWrongUsage = 1;
// Exit code when the command's own output (stdout) could not be written.
constexpr int kOutputFailed = 7;

// Sets up a command's parser: Russian help ("-h, --help"), options only
// with "-" or "--" on every system, extra arguments left for
// ExtraArgumentError to judge.
void SetUpParser(CLI::App& parser);

// Parses `args` (the words after the command's name). Nothing when the
// command is to run; otherwise the exit code: 0 after the help was printed
// on `out`, kWrongUsage after a mistake, described in `error` (UTF-8).
std::optional<int> Parse(CLI::App& parser, const std::vector<std::string>& args, std::ostream& out,
                         std::string& error);

// The first argument the parser did not take, as the mistake to report
// ("лишний параметр ..."); empty when there is none.
std::string ExtraArgumentError(const CLI::App& parser);

// Says on stderr what was wrong and where the help is.
void ReportUsageMistake(const CLI::App& parser, const std::string& error);

// Flushes the command's output; when that fails (a full disk, a closed
// pipe) says so on stderr and returns false.
bool FlushOutput(std::ostream& out);

}  // namespace zorvek::cli
