#pragma once

// The Win32 communications calls behind the serial port (the recorder's and
// the USB reader's line). Included by Windows files only.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "model/transfer_result.h"

namespace zorvek::comm {

// Opens a COM port ("\\.\COM5") for exclusive reading and writing with
// synchronous I/O. Refused when it does not exist or another program holds
// it; the handle is INVALID_HANDLE_VALUE on failure.
TransferResult OpenPort(const std::filesystem::path& device, HANDLE& handle);

// Raw bytes at `baud`: 8 data bits, no parity, 2 stop bits, no flow control
// and no character handling; DTR and RTS are left to the caller. IoError
// when the handle is no serial port or the driver refuses the settings.
TransferResult ConfigureLine(HANDLE handle, DWORD baud);

// Time-outs of the reads and writes that follow, in milliseconds: a read
// gives up `readTotal` after it began or `readGap` after a byte (0: no gap
// limit); a write gives up after `writeTotal`.
TransferResult SetTimeouts(HANDLE handle, DWORD readTotal, DWORD readGap, DWORD writeTotal);

// Drops whatever waits to be sent or has been received, and clears the
// port's error state so that the next transfer is not refused.
void Purge(HANDLE handle);

// Exactly `count` bytes in one call within the time-outs set: a short
// transfer is NoAnswer, a port whose device went away DeviceGone.
TransferResult ReadExact(HANDLE handle, std::uint8_t* data, std::size_t count);
TransferResult WriteExact(HANDLE handle, const std::uint8_t* data, std::size_t count);

}  // namespace zorvek::comm
