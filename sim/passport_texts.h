#pragma once

#include "sim/calendar.h"
#include "sim/image_bytes.h"

namespace zorvek::sim {

// The dates the passport mentions.
struct PassportDates {
    SimSeconds craneCommissioned = 0;
    SimSeconds recorderInstalled = 0;
    int craneYear = 0;
};

// The 20 passport texts in cp1251, stored the ways the field allows: most
// end with a 0 byte, some fill all 64 bytes (one with text to the last
// byte), some are padded with spaces, one keeps the tail of an older, longer
// text after its 0 byte.
void WritePassport(Image& image, const PassportDates& dates);

// The fifth mechanism's name, 0-terminated in its 32-byte field.
void WriteMechanismName(Image& image);

}  // namespace zorvek::sim
