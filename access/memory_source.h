#pragma once

#include <cstdint>

#include "model/sinks.h"

namespace zorvek {

// One place recorder data can come from: the recorder itself, a reader
// device or a dump file. Reads and writes succeed only when every byte was
// transferred; a progress sink, when given, moves through 0..100 while they
// run and is left at 0.
class MemorySource {
  public:
    virtual ~MemorySource() = default;
    virtual bool Open() = 0;
    // False when nothing was open.
    virtual bool Close() = 0;
    virtual bool Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                      ProgressSink* progress) = 0;
    virtual bool Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                       ProgressSink* progress) = 0;
};

}  // namespace zorvek
