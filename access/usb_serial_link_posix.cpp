#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "access/usb_serial_link.h"

namespace zorvek {
namespace {

using Clock = std::chrono::steady_clock;

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

int Configure(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return errno;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS | HUPCL);
    settings.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // Reads are timed by poll(), so a read returns whatever has arrived.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, B38400) != 0 || ::cfsetospeed(&settings, B38400) != 0) {
        return errno;
    }
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) return errno;
    return 0;
}

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until the port is ready for `events`; 0 when it is, otherwise the
// failure. A hang-up (the device unplugged, the pty's other side closed) is
// the device gone.
TransferResult WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return FailureFromErrno(errno, true);
        if (ready == 0) return TransferResult::Fail(TransferError::NoAnswer);
        if ((entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 &&
            (entry.revents & events) == 0) {
            return TransferResult::Fail(TransferError::DeviceGone, EIO);
        }
        return TransferResult::Ok();
    }
}

}  // namespace

UsbSerialLink::~UsbSerialLink() { Close(); }

TransferResult UsbSerialLink::Open(const std::filesystem::path& device) {
    Close();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FailureFromErrno(errno, false);
    // Exclusive: a second opener (another copy of the program, a modem
    // manager probing the port) is refused while we hold it.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        return FailureFromErrno(error, false);
    }
    if (const int error = Configure(fd); error != 0) {
        ::close(fd);
        return FailureFromErrno(error, false);
    }
    m_handle = fd;
    Purge();
    return TransferResult::Ok();
}

void UsbSerialLink::Close() {
    if (!IsOpen()) return;
    ::close(Fd(m_handle));
    m_handle = kClosed;
}

void UsbSerialLink::Purge() {
    if (IsOpen()) ::tcflush(Fd(m_handle), TCIOFLUSH);
}

TransferResult UsbSerialLink::WriteExact(std::span<const std::uint8_t> bytes,
                                         std::chrono::milliseconds timeout) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    const auto deadline = Clock::now() + timeout;
    while (!bytes.empty()) {
        const ssize_t put = ::write(Fd(m_handle), bytes.data(), bytes.size());
        if (put > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(put));
            continue;
        }
        if (put < 0 && errno == EINTR) continue;
        if (put < 0 && errno != EAGAIN) return FailureFromErrno(errno, true);
        if (TransferResult ready = WaitFor(Fd(m_handle), POLLOUT, deadline); !ready) return ready;
    }
    return TransferResult::Ok();
}

TransferResult UsbSerialLink::ReadExact(std::span<std::uint8_t> bytes,
                                        std::chrono::milliseconds timeout) {
    if (!IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    const auto deadline = Clock::now() + timeout;
    while (!bytes.empty()) {
        if (TransferResult ready = WaitFor(Fd(m_handle), POLLIN, deadline); !ready) return ready;
        const ssize_t got = ::read(Fd(m_handle), bytes.data(), bytes.size());
        if (got > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(got));
            continue;
        }
        // Readable but nothing to read: the other side hung up.
        if (got == 0) return TransferResult::Fail(TransferError::DeviceGone, EIO);
        if (errno == EINTR || errno == EAGAIN) continue;
        return FailureFromErrno(errno, true);
    }
    return TransferResult::Ok();
}

}  // namespace zorvek
