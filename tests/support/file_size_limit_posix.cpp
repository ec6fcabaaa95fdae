#include <sys/resource.h>

#include <csignal>

#include "tests/support/file_size_limit.h"

namespace zorvek::test {

bool FileSizeLimit::Supported() { return true; }

FileSizeLimit::FileSizeLimit(std::size_t bytes) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_old = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_old;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}

}  // namespace zorvek::test
