#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "access/serial_port.h"

namespace zorvek {
namespace {

using Duration = WaitClock::Duration;

// A write that cannot go on for this long has no line behind it; a serial
// line without flow control always drains.
constexpr Duration kWriteStall{2000};

bool SpeedOf(std::uint32_t baud, speed_t& speed) {
    switch (baud) {
        case 110:
            speed = B110;
            return true;
        case 300:
            speed = B300;
            return true;
        case 600:
            speed = B600;
            return true;
        case 1200:
            speed = B1200;
            return true;
        case 2400:
            speed = B2400;
            return true;
        case 4800:
            speed = B4800;
            return true;
        case 9600:
            speed = B9600;
            return true;
        case 19200:
            speed = B19200;
            return true;
        case 38400:
            speed = B38400;
            return true;
        case 57600:
            speed = B57600;
            return true;
        case 115200:
            speed = B115200;
            return true;
        default:
            return false;
    }
}

int PollMillis(Duration left) {
    return static_cast<int>(
        std::clamp<Duration::rep>(left.count(), 0, std::numeric_limits<int>::max()));
}

class PosixSerialPort final : public SerialPort {
  public:
    explicit PosixSerialPort(WaitClock& clock) : m_clock(clock) {}
    ~PosixSerialPort() override { Close(); }

    TransferResult Open(const std::filesystem::path& device, std::uint32_t baud) override {
        if (m_fd >= 0) return TransferResult::Fail(TransferError::Refused, EBUSY);
        speed_t speed{};
        if (!SpeedOf(baud, speed)) return TransferResult::Fail(TransferError::IoError, EINVAL);
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return FailureFromErrno(errno, false);
        // Nobody else may talk to the recorder while we do.
        if (::ioctl(fd, TIOCEXCL) != 0) return CloseFailed(fd);
        termios settings{};
        if (::tcgetattr(fd, &settings) != 0) return CloseFailed(fd);
        // Whoever uses the line after us finds it as it was.
        const termios original = settings;
        ::cfmakeraw(&settings);
        settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS);
        settings.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
        settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        // With at least one byte asked for, an empty non-blocking read is
        // EAGAIN and a read of 0 bytes means the line hung up.
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
        if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
            ::tcsetattr(fd, TCSANOW, &settings) != 0) {
            return CloseFailed(fd);
        }
        ::tcflush(fd, TCIOFLUSH);
        m_fd = fd;
        m_original = original;
        return TransferResult::Ok();
    }

    void Close() override {
        if (m_fd < 0) return;
        ::tcsetattr(m_fd, TCSANOW, &m_original);
        // The exclusive mark outlives our descriptor while another one is
        // open (a twin keeps its side open), so take it back.
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }

    bool IsOpen() const override { return m_fd >= 0; }

    TransferResult SetModemLines(bool dtr, bool rts) override {
        if (m_fd < 0) return TransferResult::Fail(TransferError::NotOpen);
        for (const auto& [line, on] : {std::pair(TIOCM_DTR, dtr), std::pair(TIOCM_RTS, rts)}) {
            int bits = line;
            if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bits) != 0 && errno != ENOTTY &&
                errno != EINVAL) {
                return FailureFromErrno(errno, true);
            }
        }
        return TransferResult::Ok();
    }

    void Purge() override {
        if (m_fd >= 0) ::tcflush(m_fd, TCIOFLUSH);
    }

    TransferResult Write(const std::uint8_t* data, std::size_t count) override {
        if (m_fd < 0) return TransferResult::Fail(TransferError::NotOpen);
        std::size_t sent = 0;
        Duration lastProgress = m_clock.Now();
        while (sent < count) {
            const ssize_t n = ::write(m_fd, data + sent, count - sent);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                lastProgress = m_clock.Now();
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return FailureFromErrno(errno, true);
            const Duration left = lastProgress + kWriteStall - m_clock.Now();
            if (left <= Duration::zero()) return TransferResult::Fail(TransferError::NoAnswer);
            if (const TransferResult ready = WaitFor(POLLOUT, left); !ready) return ready;
        }
        return TransferResult::Ok();
    }

    TransferResult Read(std::uint8_t* data, std::size_t count, ReadTimeouts timeouts) override {
        if (m_fd < 0) return TransferResult::Fail(TransferError::NotOpen);
        std::size_t got = 0;
        const Duration deadline = m_clock.Now() + timeouts.total;
        Duration gapDeadline = deadline;
        while (got < count) {
            const ssize_t n = ::read(m_fd, data + got, count - got);
            if (n > 0) {
                got += static_cast<std::size_t>(n);
                gapDeadline = m_clock.Now() + timeouts.interByte;
                continue;
            }
            // A terminal whose other side went away reads end of file or EIO.
            if (n == 0) return TransferResult::Fail(TransferError::DeviceGone, EIO);
            if (errno != EAGAIN && errno != EINTR) return FailureFromErrno(errno, true);
            const Duration left = std::min(deadline, gapDeadline) - m_clock.Now();
            if (left <= Duration::zero()) return TransferResult::Fail(TransferError::NoAnswer);
            if (const TransferResult ready = WaitFor(POLLIN, left); !ready) return ready;
        }
        return TransferResult::Ok();
    }

  private:
    static TransferResult CloseFailed(int fd) {
        const int error = errno;
        ::close(fd);
        return FailureFromErrno(error, false);
    }

    // Waits until the descriptor is ready for `events` or `left` has passed.
    // A hang-up is a device gone; a poll that ran out is a time-out even on
    // a clock that did not move meanwhile (a test's virtual one).
    TransferResult WaitFor(short events, Duration left) {
        pollfd poller{m_fd, events, 0};
        const int ready = ::poll(&poller, 1, PollMillis(left));
        if (ready < 0 && errno != EINTR) return FailureFromErrno(errno, true);
        if (ready == 0) return TransferResult::Fail(TransferError::NoAnswer);
        if (ready > 0 && (poller.revents & events) == 0 &&
            (poller.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return TransferResult::Fail(TransferError::DeviceGone, EIO);
        }
        return TransferResult::Ok();
    }

    WaitClock& m_clock;
    int m_fd = -1;
    termios m_original{};
};

}  // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort(WaitClock& clock) {
    return std::make_unique<PosixSerialPort>(clock);
}

}  // namespace zorvek
