#pragma once

#include <cstdint>

#include "model/sinks.h"
#include "model/transfer_result.h"

namespace zorvek {

// One place recorder data can come from: the recorder itself, a reader
// device or a dump file, behind the dispatch.
//
// Addresses are recorder addresses (bank in bits 16..23, offset in bits
// 0..15); each source translates them to its own offsets.
//
// What every source promises:
// - A read or write succeeds only when every byte was transferred. A short
//   read, a time-out or a broken frame is a failure with its kind; the bytes
//   not transferred are undefined, and a source never retries beyond its own
//   protocol's rule.
// - A request outside what the source holds fails with OutOfRange before
//   anything is transferred.
// - On a source that is not open (never opened, closed, or lost) transfers
//   fail with NotOpen, or DeviceGone when the device went away under them.
// - A progress sink, when given, moves through 0..100 while the transfer
//   runs and is left at 0.
class MemorySource {
  public:
    virtual ~MemorySource() = default;
    virtual TransferResult Open() = 0;
    // Releases the device or file, whatever state it is in. A device gives
    // true; a dump file false when no file was open.
    virtual bool Close() = 0;
    virtual TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                                ProgressSink* progress) = 0;
    virtual TransferResult Write(std::uint32_t address, const std::uint8_t* buffer,
                                 std::uint32_t count, ProgressSink* progress) = 0;
};

}  // namespace zorvek
