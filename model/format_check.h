#pragma once

#include <cstdint>
#include <string>

#include "model/memory_reader.h"

namespace zorvek {

// What the format signature at the start of the image says.
struct FormatCheck {
    bool readOk = false;
    std::uint32_t stored = 0;
    TransferResult read;
    bool Accepted() const;
};

FormatCheck CheckDataFormat(MemoryReader& source);

// The signature as the program shows it: "55AA0502".
std::string ProgramVersionText();

// The message shown for an image of another format (cp1251, CR LF inside).
std::string FormatMismatchMessage(std::uint32_t stored);

// The reader's end-of-copy mark: whether it could be read at all, and
// whether what was read is the mark.
struct EndOfCopyCheck {
    TransferResult read;
    std::uint32_t stored = 0;
    bool Present() const;
};

EndOfCopyCheck CheckEndOfCopyMark(MemoryReader& source);

}  // namespace zorvek
