#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "access/wait_clock.h"
#include "model/transfer_result.h"

namespace zorvek {

// When one read gives up: `total` after it began, or `interByte` after the
// last byte once the first has come.
struct ReadTimeouts {
    WaitClock::Duration total;
    WaitClock::Duration interByte;
};

// A serial line as the recorder's link and the USB reader's port use it:
// raw bytes, 8 data bits, no parity, 2 stop bits, no flow control. One
// device at a time; its time-outs count against the WaitClock it was made
// with (a poll that runs out is a time-out, whatever that clock says).
class SerialPort {
  public:
    virtual ~SerialPort() = default;
    // Opens `device` exclusively at `baud` and drops anything pending.
    // Refused when it does not exist, and Refused (EBUSY) while another
    // program holds it, root's programs included (on POSIX an flock on the
    // device and its "LCK.." file in the system's lock folder, both given
    // up by Close); IoError when it is not a serial line or refuses the
    // settings. Nothing stays open on failure.
    virtual TransferResult Open(const std::filesystem::path& device, std::uint32_t baud) = 0;
    // Gives the line back with the settings it had before Open and closes
    // it, if one is open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Sets the DTR and RTS lines. A device without modem lines (a
    // pseudo-terminal) is not a failure.
    virtual TransferResult SetModemLines(bool dtr, bool rts) = 0;
    // Drops whatever waits to be sent or has been received.
    virtual void Purge() = 0;
    // Sends every byte. NotOpen without a device; DeviceGone when the line
    // hung up.
    virtual TransferResult Write(const std::uint8_t* data, std::size_t count) = 0;
    // Waits for exactly `count` bytes. Bytes that came before a time-out are
    // in `data`, but the read fails all the same: NoAnswer on a time-out,
    // DeviceGone when the line hung up, NotOpen without a device.
    virtual TransferResult Read(std::uint8_t* data, std::size_t count, ReadTimeouts timeouts) = 0;
};

// The operating system's serial port (termios and poll() on POSIX); its
// time-outs count against `clock`.
std::unique_ptr<SerialPort> MakeSystemSerialPort(WaitClock& clock);

}  // namespace zorvek
