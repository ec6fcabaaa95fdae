#include "access/dump_file.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "model/memory_map.h"

namespace zorvek {
namespace {

// Progress moves after every step of this many bytes; the file is read in
// larger chunks, each followed by the progress of the steps it covered.
constexpr std::uint32_t kProgressStep = 32;
constexpr std::uint32_t kChunk = 1024;

}  // namespace

DumpFile::DumpFile(DumpFileChoice& choice) : m_choice(choice) {}

DumpFile::~DumpFile() { DumpClose(); }

TransferResult DumpFile::DumpOpen() {
    if (IsOpen()) return TransferResult::Fail(TransferError::Refused, EBUSY);
    if (!m_choice.namedFile.empty()) {
        m_fileName = std::exchange(m_choice.namedFile, {});
    } else if (m_choice.freshRead) {
        m_fileName = m_choice.defaultFile;
        m_choice.freshRead = false;
    } else if (m_choice.craneKind == 0) {
        m_fileName = m_choice.startupArgument;
    } else {
        std::optional<std::filesystem::path> chosen;
        if (m_choice.chooseFile) chosen = m_choice.chooseFile(m_choice.dialogFolder);
        if (!chosen) return TransferResult::Fail(TransferError::Cancelled);
        m_fileName = *chosen;
        m_choice.dialogFolder = m_fileName.parent_path();
    }
    if (m_fileName.empty()) return TransferResult::Fail(TransferError::Refused, ENOENT);

    if (const TransferResult opened = m_file.Open(m_fileName); !opened) return opened;
    if (m_file.Size() != memory_map::kImageSize) {
        m_file.Close();
        return TransferResult::Fail(TransferError::OutOfRange, EFBIG);
    }
    return TransferResult::Ok();
}

bool DumpFile::DumpClose() {
    if (!IsOpen()) return false;
    m_file.Close();
    m_fileName.clear();
    return true;
}

template <typename Transfer>
TransferResult DumpFile::InSteps(std::uint32_t offset, std::uint32_t count, ProgressSink* progress,
                                 Transfer transfer) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    if (count == 0 || offset > memory_map::kImageSize || count > memory_map::kImageSize - offset) {
        return TransferResult::Fail(TransferError::OutOfRange);
    }
    if (!progress) return transfer(0, count);
    progress->SetPosition(0);
    TransferResult result;
    for (std::uint32_t done = 0; result && done < count;) {
        const std::uint32_t chunk = std::min(kChunk, count - done);
        result = transfer(done, chunk);
        for (std::uint32_t step = 0; result && step < chunk; step += kProgressStep) {
            const std::uint32_t reached = done + std::min(step + kProgressStep, chunk);
            progress->SetPosition(static_cast<int>(std::uint64_t{reached} * 100 / count));
        }
        done += chunk;
    }
    progress->SetPosition(0);
    return result;
}

TransferResult DumpFile::DumpRead(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t count,
                                  ProgressSink* progress) {
    return InSteps(offset, count, progress, [&](std::uint32_t at, std::uint32_t n) {
        return m_file.ReadAt(offset + at, buffer + at, n);
    });
}

TransferResult DumpFile::DumpWrite(std::uint32_t offset, const std::uint8_t* buffer,
                                   std::uint32_t count, ProgressSink* progress) {
    return InSteps(offset, count, progress, [&](std::uint32_t at, std::uint32_t n) {
        return m_file.WriteAt(offset + at, buffer + at, n);
    });
}

}  // namespace zorvek
