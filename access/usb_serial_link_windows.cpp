#include <windows.h>

#include <algorithm>

#include "access/comm_port_windows.h"
#include "access/usb_serial_link.h"

namespace zorvek {
namespace {

constexpr DWORD kBaud = 38400;

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD Millis(std::chrono::milliseconds timeout) {
    // 0 would switch the driver's time-out off altogether.
    return static_cast<DWORD>(
        std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 1, 600000));
}

}  // namespace

UsbSerialLink::~UsbSerialLink() { Close(); }

TransferResult UsbSerialLink::Open(const std::filesystem::path& device) {
    Close();
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (const TransferResult opened = comm::OpenPort(device, handle); !opened) return opened;
    comm::Purge(handle);
    if (const TransferResult configured = comm::ConfigureLine(handle, kBaud); !configured) {
        CloseHandle(handle);
        return configured;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return TransferResult::Ok();
}

void UsbSerialLink::Close() {
    if (!IsOpen()) return;
    CloseHandle(Handle(m_handle));
    m_handle = kClosed;
}

void UsbSerialLink::Purge() {
    if (IsOpen()) comm::Purge(Handle(m_handle));
}

// Each call sets its own time-out: the whole transfer within it, no limit on
// the gap between bytes.
TransferResult UsbSerialLink::WriteExact(std::span<const std::uint8_t> bytes,
                                         std::chrono::milliseconds timeout) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    const DWORD ms = Millis(timeout);
    if (const TransferResult set = comm::SetTimeouts(Handle(m_handle), ms, 0, ms); !set) return set;
    return comm::WriteExact(Handle(m_handle), bytes.data(), bytes.size());
}

TransferResult UsbSerialLink::ReadExact(std::span<std::uint8_t> bytes,
                                        std::chrono::milliseconds timeout) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    const DWORD ms = Millis(timeout);
    if (const TransferResult set = comm::SetTimeouts(Handle(m_handle), ms, 0, ms); !set) return set;
    return comm::ReadExact(Handle(m_handle), bytes.data(), bytes.size());
}

}  // namespace zorvek
