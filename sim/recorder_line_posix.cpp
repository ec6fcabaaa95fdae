#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

#include "sim/recorder_line.h"

namespace zorvek::sim {
namespace {

constexpr int kBitsPerByte = 11;
// A request whose bytes stop coming for this long is dropped.
constexpr int kRequestGapMillis = 50;

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void MakeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) ThrowErrno("tcgetattr");
    ::cfmakeraw(&settings);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) ThrowErrno("tcsetattr");
}

}  // namespace

RecorderLine::RecorderLine(RecorderTwin twin, std::uint32_t baud) : m_twin(std::move(twin)) {
    if (baud != 0) {
        m_byteTime = std::chrono::nanoseconds(std::chrono::seconds(kBitsPerByte)) / baud;
    }
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) ThrowErrno("posix_openpt");
    std::array<char, 128> name{};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name.data(), name.size()) != 0) {
        ::close(m_master);
        ThrowErrno("ptsname");
    }
    m_devicePath = name.data();
    m_device = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_device < 0 || ::pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(m_master);
        if (m_device >= 0) ::close(m_device);
        throw std::system_error(error, std::generic_category(), "pseudo-terminal");
    }
    // Raw from the start, so that nothing echoes or translates before the
    // program sets the line up itself.
    MakeRaw(m_device);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

RecorderLine::~RecorderLine() {
    Stop();
    if (m_thread.joinable()) m_thread.join();
    HangUp();
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
}

void RecorderLine::Start() {
    m_thread = std::thread([this] { Run(); });
}

void RecorderLine::Stop() {
    const char stop = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(m_stopPipe[1], &stop, 1);
}

void RecorderLine::HangUp() {
    if (m_master >= 0) ::close(m_master);
    if (m_device >= 0) ::close(m_device);
    m_master = m_device = -1;
}

void RecorderLine::Run() {
    std::array<std::uint8_t, 256> buffer{};
    while (m_master >= 0) {
        bool partial = false;
        {
            const std::lock_guard lock(m_mutex);
            partial = m_twin.HasPartialRequest();
        }
        std::array<pollfd, 2> polled{{{m_master, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}}};
        const int ready = ::poll(polled.data(), polled.size(), partial ? kRequestGapMillis : -1);
        if (ready < 0 && errno != EINTR) break;
        if (polled[1].revents != 0) break;
        if (ready == 0) {
            const std::lock_guard lock(m_mutex);
            m_twin.DropPartialRequest();
            continue;
        }
        if ((polled[0].revents & POLLIN) == 0) continue;
        const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
        if (n <= 0) continue;
        std::vector<std::uint8_t> out;
        bool hungUp = false;
        {
            const std::lock_guard lock(m_mutex);
            out = m_twin.Receive(std::span(buffer).first(static_cast<std::size_t>(n)));
            hungUp = m_twin.HungUp();
        }
        Send(out);
        if (hungUp) {
            const std::lock_guard lock(m_mutex);
            HangUp();
        }
    }
}

// Bytes leave on an absolute schedule, so the pace holds over a whole
// image however late each wake-up is.
void RecorderLine::Send(const std::vector<std::uint8_t>& bytes) {
    const auto now = std::chrono::steady_clock::now();
    if (m_lineFree < now) m_lineFree = now;
    if (m_byteTime.count() == 0) {
        WriteAll(bytes.data(), bytes.size());
        return;
    }
    for (const std::uint8_t byte : bytes) {
        m_lineFree += m_byteTime;
        std::this_thread::sleep_until(m_lineFree);
        if (!WriteAll(&byte, 1)) return;
    }
}

bool RecorderLine::WriteAll(const std::uint8_t* data, std::size_t count) {
    std::size_t sent = 0;
    while (sent < count) {
        const ssize_t n = ::write(m_master, data + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd writable{m_master, POLLOUT, 0};
        if (::poll(&writable, 1, 1000) <= 0) return false;
    }
    return true;
}

LineSettings RecorderLine::Line() const { return LineSettingsOf(m_master); }

std::vector<TwinRequest> RecorderLine::Requests() const {
    const std::lock_guard lock(m_mutex);
    return m_twin.Requests();
}

Image RecorderLine::Stored() const {
    const std::lock_guard lock(m_mutex);
    return m_twin.Stored();
}

bool RecorderLine::HungUp() const {
    const std::lock_guard lock(m_mutex);
    return m_twin.HungUp();
}

}  // namespace zorvek::sim
