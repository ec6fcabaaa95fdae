#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "model/memory_reader.h"

namespace zorvek {

// Reads the whole stored image (65,536 bytes from 0x30000) from the open
// source and writes it as a dump file. False, with `file` untouched, when
// the read or the write fails.
bool SaveImage(MemoryReader& source, const std::filesystem::path& file, ProgressSink* progress);

}  // namespace zorvek
