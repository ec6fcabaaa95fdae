#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvek::test {

// While it lives, no file of this process may grow past `bytes`: a write
// beyond fails part-way with EFBIG, as on a full disk, and it works for root
// too (file permissions would not stop root). Where the system has no such
// limit (Windows) it does nothing and Supported() says so.
class FileSizeLimit {
  public:
    static bool Supported();
    explicit FileSizeLimit(std::size_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    std::uint64_t m_old = 0;
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace zorvek::test
