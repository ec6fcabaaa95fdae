#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>

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

// Where the system keeps its serial lines' lock files (the UUCP convention),
// in the order other programs look; the first one we may write into counts.
constexpr std::array<const char*, 2> kLockFolders = {"/var/lock", "/run/lock"};

// "LCK..ttyUSB0" in the lock folder; empty where there is none we may use.
std::filesystem::path LockFileOf(const std::filesystem::path& device) {
    // Programs reach one line by several names (the by-id links): the lock
    // names the device itself.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(device, error);
    const std::string name = "LCK.." + (error ? device : real).filename().string();
    for (const char* folder : kLockFolders) {
        if (::access(folder, W_OK | X_OK) == 0) return std::filesystem::path(folder) / name;
    }
    return {};
}

// The process a lock file names (its PID in ASCII, as every program of the
// convention writes it today); 0 when it names none.
pid_t LockOwner(const std::filesystem::path& lock) {
    const int fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    std::array<char, 32> text{};
    const ssize_t n = ::read(fd, text.data(), text.size());
    ::close(fd);
    if (n <= 0) return 0;
    const char* first = text.data();
    const char* last = text.data() + n;
    while (first < last && *first == ' ') ++first;
    pid_t pid = 0;
    std::from_chars(first, last, pid);
    return pid;
}

bool ProcessLives(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Ten characters, right-aligned, and a line end.
std::string LockFileText(pid_t pid) {
    const std::string digits = std::to_string(pid);
    return std::string(digits.size() < 10 ? 10 - digits.size() : 0, ' ') + digits + '\n';
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
        termios settings{};
        if (::tcgetattr(fd, &settings) != 0) return CloseFailed(fd);
        // Whoever uses the line after us finds it as it was.
        const termios original = settings;
        // Nobody else may talk to the recorder while we do. The terminal's
        // exclusive mark does not hold against root; the advisory locks that
        // other programs honour do. They come first, so that a line another
        // program holds is left exactly as it was.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            return TransferResult::Fail(TransferError::Refused, EBUSY);
        }
        if (const TransferResult locked = TakeLockFile(device); !locked) {
            ::close(fd);
            return locked;
        }
        if (::ioctl(fd, TIOCEXCL) != 0) return CloseFailed(fd);
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
        DropLockFile();
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
    TransferResult CloseFailed(int fd) {
        const int error = errno;
        ::close(fd);
        DropLockFile();
        return FailureFromErrno(error, false);
    }

    // Takes the line's lock file for this process, where the system keeps
    // them. Refused (EBUSY) while a living process holds it; a lock whose
    // process is gone is stale and goes. A folder that will not take our
    // file leaves the line to the other guards.
    TransferResult TakeLockFile(const std::filesystem::path& device) {
        const std::filesystem::path lock = LockFileOf(device);
        if (lock.empty()) return TransferResult::Ok();
        const std::string text = LockFileText(::getpid());
        // One stale lock is cleared; a second lock found at once is another
        // program's new one.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                const bool written =
                    ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                ::close(fd);
                // A lock without its PID would look stale to everyone.
                if (written) {
                    m_lockFile = lock;
                } else {
                    ::unlink(lock.c_str());
                }
                return TransferResult::Ok();
            }
            if (errno != EEXIST) return TransferResult::Ok();
            if (const pid_t owner = LockOwner(lock); owner > 0 && ProcessLives(owner)) break;
            ::unlink(lock.c_str());
        }
        return TransferResult::Fail(TransferError::Refused, EBUSY);
    }

    void DropLockFile() {
        if (m_lockFile.empty()) return;
        ::unlink(m_lockFile.c_str());
        m_lockFile.clear();
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
    std::filesystem::path m_lockFile;
};

}  // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort(WaitClock& clock) {
    return std::make_unique<PosixSerialPort>(clock);
}

}  // namespace zorvek
