#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "reports/common/desktop_open.h"

namespace zorvek {
namespace {

constexpr std::string_view kOpener = "xdg-open";

// The opener's full path from PATH, found before forking: the child of a
// program with threads may only make async-signal-safe calls.
std::string FindOpener() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = rest.find(':');
        std::string candidate(rest.substr(0, colon));
        if (!candidate.empty()) {
            candidate += '/';
            candidate += kOpener;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        if (colon == std::string_view::npos) return {};
        rest.remove_prefix(colon + 1);
    }
}

}  // namespace

bool OpenWithDesktop(const std::filesystem::path& file) {
    const std::string opener = FindOpener();
    if (opener.empty()) return false;
    const std::string target = file.string();
    const char* const arguments[] = {opener.c_str(), target.c_str(), nullptr};

    // Forking twice leaves the opener to init: it outlives us and is never a
    // zombie of ours.
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (fork() != 0) _exit(0);
        setsid();
        const int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execv(arguments[0], const_cast<char* const*>(arguments));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace zorvek
