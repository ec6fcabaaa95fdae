#pragma once

#include <cstdint>

namespace zorvek {

// Why a transfer with recorder memory failed.
enum class TransferError : std::uint8_t {
    None = 0,
    // No source is open, or the source was closed under the transfer.
    NotOpen,
    // The request lies outside what the source holds (past the end of the
    // 64 KiB image, past the working-memory window); nothing was moved.
    OutOfRange,
    // The device did not answer, or stopped answering, within its time-out.
    NoAnswer,
    // A frame arrived but its checksum or its echo was wrong.
    BadChecksum,
    // The device answered with a refusal (an I2C memory that did not
    // acknowledge, a reader that reported an error).
    NotAcknowledged,
    // The device went away: unplugged, hung up, the port vanished.
    DeviceGone,
    // The system would not let us at the device or file: busy, no
    // permission, no such device.
    Refused,
    // Any other failure of the system; the errno is kept.
    IoError,
    // The user cancelled a choice the source needed (the file dialog).
    Cancelled,
    // A search over the serial ports found no recorder: ports opened but
    // none answered (no system error), or none could be opened at all (the
    // system error says why).
    NoRecorder,
};

// The outcome of one open, read or write. Tests as true only on success, so
// `if (!source.ReadMemory(...))` reads as before; the kind and the system's
// error number (errno, 0 where none applies) say what went wrong. A failure
// nobody looked at is a fault passed over in silence, so none may be dropped.
class [[nodiscard]] TransferResult {
  public:
    constexpr TransferResult() = default;
    static constexpr TransferResult Ok() { return {}; }
    static constexpr TransferResult Fail(TransferError error, int systemError = 0) {
        return TransferResult(error, systemError);
    }

    constexpr explicit operator bool() const { return m_error == TransferError::None; }
    constexpr bool Succeeded() const { return m_error == TransferError::None; }
    constexpr TransferError Error() const { return m_error; }
    constexpr int SystemError() const { return m_systemError; }

  private:
    constexpr TransferResult(TransferError error, int systemError)
        : m_error(error), m_systemError(systemError) {}

    TransferError m_error = TransferError::None;
    int m_systemError = 0;
};

// Sorts an errno into the kinds above: ENOENT, ENODEV, ENXIO, EACCES,
// EPERM, EBUSY, EISDIR are Refused; EIO after a device was open, and EPIPE, are
// DeviceGone when `wasOpen`; ETIMEDOUT is NoAnswer; the rest IoError.
TransferResult FailureFromErrno(int error, bool wasOpen);

}  // namespace zorvek
