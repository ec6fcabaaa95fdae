#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zorvek::sim {

// zorvek-sim lpt-reader IMAGE --out FILE [faults] [--log N]
// Puts IMAGE into the LPT reader's twin and runs the program's own LPT load
// on it (the reader code, the load flow of the window and of `zorvek-cli read
// lpt`): format and end-of-copy checks, passport texts, new-data mark, the
// whole image saved to FILE. Reports the outcome, the register accesses per
// byte and the time. 0 loaded, 1 wrong usage, 2 IMAGE unusable or the load
// failed (the program's message is shown).
int RunLptReaderCommand(std::span<const std::string_view> args, std::ostream& out,
                        std::ostream& err);

void PrintLptReaderUsage(std::ostream& to);

}  // namespace zorvek::sim
