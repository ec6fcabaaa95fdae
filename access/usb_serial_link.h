#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>

#include "model/transfer_result.h"

namespace zorvek {

// The serial port the system presents for the USB reader: 38400 baud, 8
// data bits, no parity, 2 stop bits, no flow control, raw bytes, opened
// exclusively. It is the same on a real device and on a pseudo-terminal.
// One implementation per OS.
class UsbSerialLink {
  public:
    UsbSerialLink() = default;
    ~UsbSerialLink();
    UsbSerialLink(const UsbSerialLink&) = delete;
    UsbSerialLink& operator=(const UsbSerialLink&) = delete;

    // Opens and configures the port; a port that cannot be opened or
    // configured stays closed (Refused when another program holds it).
    TransferResult Open(const std::filesystem::path& device);
    void Close();
    bool IsOpen() const { return m_handle != kClosed; }

    // Drops whatever was received and not read, and whatever waits to be sent.
    void Purge();
    // All bytes or a failure: NotOpen without a port, DeviceGone when the
    // device went away, NoAnswer when the bytes could not leave in time.
    TransferResult WriteExact(std::span<const std::uint8_t> bytes,
                              std::chrono::milliseconds timeout);
    // All bytes within `timeout` of the call, or a failure: a short or
    // missing response is NoAnswer, a device that hung up DeviceGone.
    TransferResult ReadExact(std::span<std::uint8_t> bytes, std::chrono::milliseconds timeout);

  private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t m_handle = kClosed;
};

}  // namespace zorvek
