#include <unistd.h>

#include "cli/terminal.h"

namespace zorvek::cli {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }
bool StdinIsTerminal() { return isatty(STDIN_FILENO) != 0; }

struct Utf8Console::State {};

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

}  // namespace zorvek::cli
