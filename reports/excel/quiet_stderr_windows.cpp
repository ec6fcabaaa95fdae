#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "reports/excel/quiet_stderr.h"

namespace zorvek {

QuietStderr::QuietStderr() {
    std::fflush(stderr);
    const int nowhere = _open("NUL", _O_WRONLY);
    if (nowhere < 0) return;
    m_saved = _dup(_fileno(stderr));
    if (m_saved >= 0) _dup2(nowhere, _fileno(stderr));
    _close(nowhere);
}

QuietStderr::~QuietStderr() {
    if (m_saved < 0) return;
    std::fflush(stderr);
    _dup2(m_saved, _fileno(stderr));
    _close(m_saved);
}

}  // namespace zorvek
