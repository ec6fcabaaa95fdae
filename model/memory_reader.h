#pragma once

#include <cstdint>

#include "model/sinks.h"
#include "model/transfer_result.h"

namespace zorvek {

// The open source of recorder data.
enum class SourceKind : std::uint8_t { None = 0, Recorder = 1, LptReader = 2, DumpFile = 3 };

// Reads recorder memory by address, whatever the source. The decoders read
// through it; the dispatch of the access layer implements it.
class MemoryReader {
  public:
    virtual ~MemoryReader() = default;
    // Succeeds only when all `count` bytes were read; 0 bytes always
    // succeed. On failure the bytes not transferred are undefined.
    // `progress` (optional) moves through 0..100 while the bytes arrive and
    // is left at 0.
    virtual TransferResult ReadMemory(std::uint32_t address, std::uint8_t* buffer,
                                      std::uint32_t count, ProgressSink* progress) = 0;
    virtual SourceKind Kind() const = 0;
};

}  // namespace zorvek
