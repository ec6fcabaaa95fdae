// The recorder's serial port through the Win32 communications calls. The
// driver times each read itself (COMMTIMEOUTS), so the reads take real
// time whatever clock the caller keeps.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "access/comm_port_windows.h"
#include "access/serial_port.h"

namespace zorvek {
namespace {

using Duration = WaitClock::Duration;

// A write that cannot finish in this long has no line behind it; a serial
// line without flow control always drains.
constexpr DWORD kWriteStallMs = 2000;
constexpr DWORD kGapMs = 200;

DWORD Millis(Duration duration) {
    // 0 would switch the driver's time-out off altogether.
    return static_cast<DWORD>(std::clamp<Duration::rep>(duration.count(), 1, 600000));
}

class WindowsSerialPort final : public SerialPort {
  public:
    ~WindowsSerialPort() override { Close(); }

    TransferResult Open(const std::filesystem::path& device, std::uint32_t baud) override {
        if (IsOpen()) return TransferResult::Fail(TransferError::Refused, EBUSY);
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (const TransferResult opened = comm::OpenPort(device, handle); !opened) return opened;
        TransferResult configured = comm::ConfigureLine(handle, baud);
        // Until a read asks for its own: the line's gap, and no write hangs.
        if (configured) configured = comm::SetTimeouts(handle, kGapMs, kGapMs, kWriteStallMs);
        if (!configured) {
            CloseHandle(handle);
            return configured;
        }
        m_handle = handle;
        m_readTimeouts = ReadTimeouts{Duration(kGapMs), Duration(kGapMs)};
        Purge();
        return TransferResult::Ok();
    }

    void Close() override {
        if (!IsOpen()) return;
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

    bool IsOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }

    TransferResult SetModemLines(bool dtr, bool rts) override {
        if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
        for (const DWORD function : {dtr ? SETDTR : CLRDTR, rts ? SETRTS : CLRRTS}) {
            if (EscapeCommFunction(m_handle, function)) continue;
            const DWORD error = GetLastError();
            // A port without modem lines (a virtual one) is no failure.
            if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
                error == ERROR_INVALID_PARAMETER) {
                continue;
            }
            return TransferResult::Fail(TransferError::DeviceGone, EIO);
        }
        return TransferResult::Ok();
    }

    void Purge() override {
        if (IsOpen()) comm::Purge(m_handle);
    }

    TransferResult Write(const std::uint8_t* data, std::size_t count) override {
        if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
        return comm::WriteExact(m_handle, data, count);
    }

    TransferResult Read(std::uint8_t* data, std::size_t count, ReadTimeouts timeouts) override {
        if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
        if (const TransferResult set = UseReadTimeouts(timeouts); !set) return set;
        return comm::ReadExact(m_handle, data, count);
    }

  private:
    // Changes the driver's time-outs only when they differ from the last.
    TransferResult UseReadTimeouts(ReadTimeouts timeouts) {
        if (m_readTimeouts && m_readTimeouts->total == timeouts.total &&
            m_readTimeouts->interByte == timeouts.interByte) {
            return TransferResult::Ok();
        }
        const TransferResult set = comm::SetTimeouts(m_handle, Millis(timeouts.total),
                                                     Millis(timeouts.interByte), kWriteStallMs);
        if (set) m_readTimeouts = timeouts;
        return set;
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::optional<ReadTimeouts> m_readTimeouts;
};

}  // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort(WaitClock&) {
    return std::make_unique<WindowsSerialPort>();
}

}  // namespace zorvek
