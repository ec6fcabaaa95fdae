#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zorvek::cli {

// zorvek-cli info IMAGE: what a recorder image holds and whether it is sound.
// Exit codes: 0 sound or readable, 2 unusable file, 3 another data format.
int RunInfo(const std::vector<std::string>& args, std::ostream& out);

}  // namespace zorvek::cli
