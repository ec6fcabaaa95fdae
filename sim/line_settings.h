#pragma once

#include <cstdint>

namespace zorvek::sim {

// How a serial line is set up, as the device at its far end meets it: a
// device on another framing or speed would hear only noise.
struct LineSettings {
    std::uint32_t baud = 0;  // 0: a speed other than the usual ones
    int dataBits = 0;
    int stopBits = 0;
    bool parity = false;
    // No echo, no line editing, no signals, no character translation in
    // either direction, no software flow control.
    bool raw = false;
    bool operator==(const LineSettings&) const = default;
};

// The settings of the terminal behind `fd` (a pseudo-terminal's master end
// reports its device end's).
LineSettings LineSettingsOf(int fd);

}  // namespace zorvek::sim
