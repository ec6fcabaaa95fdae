#pragma once

#include <cstring>
#include <vector>

#include "model/memory_map.h"
#include "model/memory_reader.h"

namespace zorvek::test {

// An image held in memory, read the way the dispatch reads a dump file:
// bank 3 from the image, bank 0 from a zeroed (or supplied) working memory.
class ImageReader final : public MemoryReader {
  public:
    explicit ImageReader(SourceKind kind = SourceKind::DumpFile)
        : image(memory_map::kImageSize, 0), ram(1536, 0), m_kind(kind) {}

    TransferResult ReadMemory(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                              ProgressSink*) override {
        if (count == 0) return TransferResult::Ok();
        auto& bytes = memory_map::Bank(address) == 0 ? ram : image;
        const std::uint32_t offset = memory_map::Offset(address);
        if (failAll) return TransferResult::Fail(TransferError::IoError, 5);
        if (offset + count > bytes.size()) return TransferResult::Fail(TransferError::OutOfRange);
        std::memcpy(buffer, bytes.data() + offset, count);
        return TransferResult::Ok();
    }
    SourceKind Kind() const override { return m_kind; }

    std::uint8_t* At(std::uint32_t address) { return image.data() + memory_map::Offset(address); }

    std::vector<std::uint8_t> image;
    std::vector<std::uint8_t> ram;
    bool failAll = false;

  private:
    SourceKind m_kind;
};

}  // namespace zorvek::test
