#include "access/comm_port_windows.h"

#include <cerrno>
#include <limits>

#include "model/windows_error.h"

namespace zorvek::comm {
namespace {

// A failed transfer on a port that was open: a USB adapter pulled out
// shows as one of these, depending on its driver.
TransferResult TransferFailure(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_REMOVED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_HANDLE:
            return TransferResult::Fail(TransferError::DeviceGone, EIO);
        case ERROR_OPERATION_ABORTED:
        case ERROR_SEM_TIMEOUT:
            return TransferResult::Fail(TransferError::NoAnswer);
        default:
            return FailureFromErrno(ErrnoOfWindowsError(error), true);
    }
}

bool FitsDword(std::size_t count) { return count <= std::numeric_limits<DWORD>::max(); }

}  // namespace

TransferResult OpenPort(const std::filesystem::path& device, HANDLE& handle) {
    handle = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    if (handle != INVALID_HANDLE_VALUE) return TransferResult::Ok();
    const DWORD error = GetLastError();
    // A COM port that another program holds answers "access denied".
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return TransferResult::Fail(TransferError::Refused, EBUSY);
    }
    return FailureFromErrno(ErrnoOfWindowsError(error), false);
}

TransferResult ConfigureLine(HANDLE handle, DWORD baud) {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb)) {
        return TransferResult::Fail(TransferError::IoError, ErrnoOfWindowsError(GetLastError()));
    }
    dcb.BaudRate = baud;
    // Binary mode and nothing else: no parity check, no CTS/DSR/XON flow
    // control, DTR and RTS not driven by the driver, no error characters.
    dcb.fBinary = 1;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = 0;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = TWOSTOPBITS;
    if (!SetCommState(handle, &dcb)) {
        return TransferResult::Fail(TransferError::IoError, ErrnoOfWindowsError(GetLastError()));
    }
    return TransferResult::Ok();
}

TransferResult SetTimeouts(HANDLE handle, DWORD readTotal, DWORD readGap, DWORD writeTotal) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = readGap;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = readTotal;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = writeTotal;
    if (!SetCommTimeouts(handle, &timeouts)) return TransferFailure(GetLastError());
    return TransferResult::Ok();
}

void Purge(HANDLE handle) {
    PurgeComm(handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    ClearCommError(handle, nullptr, nullptr);
}

TransferResult ReadExact(HANDLE handle, std::uint8_t* data, std::size_t count) {
    if (!FitsDword(count)) return TransferResult::Fail(TransferError::OutOfRange);
    DWORD got = 0;
    if (!ReadFile(handle, data, static_cast<DWORD>(count), &got, nullptr)) {
        return TransferFailure(GetLastError());
    }
    return got == count ? TransferResult::Ok() : TransferResult::Fail(TransferError::NoAnswer);
}

TransferResult WriteExact(HANDLE handle, const std::uint8_t* data, std::size_t count) {
    if (!FitsDword(count)) return TransferResult::Fail(TransferError::OutOfRange);
    DWORD sent = 0;
    if (!WriteFile(handle, data, static_cast<DWORD>(count), &sent, nullptr)) {
        return TransferFailure(GetLastError());
    }
    return sent == count ? TransferResult::Ok() : TransferResult::Fail(TransferError::NoAnswer);
}

}  // namespace zorvek::comm
