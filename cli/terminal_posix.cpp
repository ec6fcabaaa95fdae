#include <unistd.h>

#include "cli/terminal.h"

namespace zorvek::cli {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace zorvek::cli
