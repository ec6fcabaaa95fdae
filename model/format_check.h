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

// True when the reader's end-of-copy mark stands at its place.
bool HasEndOfCopyMark(MemoryReader& source);

}  // namespace zorvek
