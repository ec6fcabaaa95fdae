#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "model/memory_reader.h"

namespace zorvek {

// How saving an image went: the read from the source, then the write.
struct ImageSave {
    TransferResult read;
    TransferResult write;
    explicit operator bool() const { return read && write; }
};

// Reads the whole stored image (65,536 bytes from 0x30000) from the open
// source and writes it as a dump file; `file` is untouched unless both
// succeed.
ImageSave SaveImage(MemoryReader& source, const std::filesystem::path& file,
                    ProgressSink* progress);

}  // namespace zorvek
