#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace zorvek::test {

// While it lives, no file of this process may grow past `bytes`: a write
// beyond fails part-way with EFBIG, as on a full disk, and it works for root
// too (file permissions would not stop root).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::size_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace zorvek::test
