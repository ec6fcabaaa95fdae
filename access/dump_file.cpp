#include "access/dump_file.h"

#include <algorithm>
#include <system_error>

#include "model/memory_map.h"

namespace zorvek {
namespace {

// Progress moves after every block of this many bytes.
constexpr std::uint32_t kProgressStep = 32;

}  // namespace

DumpFile::DumpFile(DumpFileChoice& choice) : m_choice(choice) {}

DumpFile::~DumpFile() { DumpClose(); }

bool DumpFile::DumpOpen() {
    if (IsOpen()) return false;
    if (m_choice.freshRead) {
        m_fileName = m_choice.defaultFile;
        m_choice.freshRead = false;
    } else if (m_choice.craneKind == 0) {
        m_fileName = m_choice.startupArgument;
    } else {
        if (!m_choice.chooseFile) return false;
        auto chosen = m_choice.chooseFile(m_choice.defaultFile.parent_path());
        if (!chosen) return false;
        m_fileName = *chosen;
    }
    if (m_fileName.empty()) return false;

    std::error_code error;
    if (!std::filesystem::is_regular_file(m_fileName, error)) return false;
    if (std::filesystem::file_size(m_fileName, error) != memory_map::kImageSize || error) {
        return false;
    }
    m_file = std::fopen(m_fileName.c_str(), "r+b");
    // A file we may not write (a sample on a read-only medium) still loads.
    if (!m_file) m_file = std::fopen(m_fileName.c_str(), "rb");
    return m_file != nullptr;
}

bool DumpFile::DumpClose() {
    if (!IsOpen()) return false;
    std::fclose(m_file);
    m_file = nullptr;
    m_fileName.clear();
    return true;
}

template <typename Transfer>
bool DumpFile::Transfer32(std::uint32_t offset, std::uint32_t count, ProgressSink* progress,
                          Transfer transfer) {
    if (!IsOpen() || count == 0 || offset > memory_map::kImageSize ||
        count > memory_map::kImageSize - offset) {
        return false;
    }
    if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0) return false;
    if (progress) progress->SetPosition(0);
    bool ok = true;
    if (!progress) {
        ok = transfer(0, count);
    } else {
        for (std::uint32_t done = 0; ok && done < count;) {
            const std::uint32_t step = std::min(kProgressStep, count - done);
            ok = transfer(done, step);
            done += step;
            progress->SetPosition(static_cast<int>(std::uint64_t{done} * 100 / count));
        }
        progress->SetPosition(0);
    }
    return ok;
}

bool DumpFile::DumpRead(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink* progress) {
    return Transfer32(offset, count, progress, [&](std::uint32_t at, std::uint32_t n) {
        return std::fread(buffer + at, 1, n, m_file) == n;
    });
}

bool DumpFile::DumpWrite(std::uint32_t offset, const std::uint8_t* buffer, std::uint32_t count,
                         ProgressSink* progress) {
    // Switching from reading to writing needs the seek Transfer32 does first.
    const bool ok = Transfer32(offset, count, progress, [&](std::uint32_t at, std::uint32_t n) {
        return std::fwrite(buffer + at, 1, n, m_file) == n;
    });
    return ok && std::fflush(m_file) == 0;
}

}  // namespace zorvek
