#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/terminal.h"

namespace zorvek::cli {

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

Utf8Console::Utf8Console() : m_savedCodePage(GetConsoleOutputCP()) {
    if (m_savedCodePage != 0) SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
    if (m_savedCodePage != 0) SetConsoleOutputCP(m_savedCodePage);
}

}  // namespace zorvek::cli
