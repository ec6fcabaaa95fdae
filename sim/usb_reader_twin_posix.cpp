#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "sim/usb_reader_twin.h"

namespace zorvek::sim {
namespace {

namespace fs = std::filesystem;

const fs::path kHubPath = "devices/pci0000:00/0000:00:14.0/usb1/1-1";
constexpr auto kQuietLine = std::chrono::milliseconds(100);

[[noreturn]] void Throw(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

std::string RevisionText(std::uint16_t revision) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", revision);
    return text;
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text << "\n";
}

}  // namespace

UsbReaderTwin::UsbReaderTwin(std::span<const std::uint8_t> image, Options options)
    : m_options(std::move(options)), m_device(image) {
    PlugLocked(m_options.tty);
    m_thread = std::thread([this] { Serve(); });
}

UsbReaderTwin::~UsbReaderTwin() {
    m_stop = true;
    m_thread.join();
    std::lock_guard lock(m_mutex);
    UnplugLocked();
}

void UsbReaderTwin::PlugLocked(const std::string& tty) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0) Throw("posix_openpt");
    char name[64];
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name, sizeof name) != 0) {
        Throw("pseudo-terminal");
    }
    m_terminal = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) Throw(name);
    termios settings{};
    ::tcgetattr(m_slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);

    const fs::path& root = m_options.root;
    fs::create_directories(root / kHubPath);
    fs::create_directories(root / "class" / "tty");
    fs::create_directories(root / "dev");
    if (!fs::exists(root / kHubPath.parent_path() / "bcdDevice")) {
        WriteText(root / kHubPath.parent_path() / "bcdDevice", "0602");
    }
    WriteText(root / kHubPath / "bcdDevice", RevisionText(m_options.hubRevision));
    // The first free port of the hub, so that twins sharing a root differ.
    int port = 1;
    while (fs::exists(root / kHubPath / ("1-1." + std::to_string(port)))) ++port;
    const std::string device = "1-1." + std::to_string(port);
    const std::string interface = device + ":1.0";
    m_usbDevice = root / kHubPath / device;
    fs::create_directories(m_usbDevice / interface / "tty" / tty);
    WriteText(m_usbDevice / "bcdDevice", RevisionText(m_options.revision));
    WriteText(m_usbDevice / interface / "bInterfaceNumber", "00");
    WriteText(m_usbDevice / interface / "tty" / tty / "dev", "166:0");
    fs::create_directory_symlink("../../../" + interface,
                                 m_usbDevice / interface / "tty" / tty / "device");
    fs::create_directory_symlink("../.." / kHubPath / device / interface / "tty" / tty,
                                 root / "class" / "tty" / tty);
    fs::create_symlink(m_terminal, root / "dev" / tty);
    m_options.tty = tty;
}

void UsbReaderTwin::UnplugLocked() {
    if (m_master < 0) return;
    std::error_code ignored;
    fs::remove(m_options.root / "class" / "tty" / m_options.tty, ignored);
    fs::remove(m_options.root / "dev" / m_options.tty, ignored);
    fs::remove_all(m_usbDevice, ignored);
    ::close(m_slave);
    ::close(m_master);
    m_slave = m_master = -1;
    m_terminal.clear();
}

void UsbReaderTwin::Unplug() {
    std::lock_guard lock(m_mutex);
    UnplugLocked();
}

void UsbReaderTwin::Plug(const std::string& tty) {
    std::lock_guard lock(m_mutex);
    UnplugLocked();
    m_device.faults.unplugAfter = 0;
    PlugLocked(tty);
}

bool UsbReaderTwin::Plugged() const {
    std::lock_guard lock(m_mutex);
    return m_master >= 0;
}

LineSettings UsbReaderTwin::Line() const {
    std::lock_guard lock(m_mutex);
    return LineSettingsOf(m_master);
}

std::string UsbReaderTwin::Terminal() const {
    std::lock_guard lock(m_mutex);
    return m_terminal;
}

void UsbReaderTwin::Serve() {
    auto lastByte = std::chrono::steady_clock::now();
    while (!m_stop) {
        int fd = -1;
        {
            std::lock_guard lock(m_mutex);
            fd = m_master;
        }
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        // The descriptor may be closed by an unplug meanwhile; then the poll
        // just runs out and the next round sees the change.
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0) {
            std::lock_guard lock(m_mutex);
            if (std::chrono::steady_clock::now() - lastByte > kQuietLine) {
                m_device.DropPartialFrame();
            }
            continue;
        }
        std::lock_guard lock(m_mutex);
        if (m_master < 0) continue;
        std::uint8_t bytes[512];
        const ssize_t got = ::read(m_master, bytes, sizeof bytes);
        if (got <= 0) continue;
        lastByte = std::chrono::steady_clock::now();
        const std::vector<std::uint8_t> answer =
            m_device.Receive(std::span(bytes, static_cast<std::size_t>(got)));
        if (!answer.empty() && ::write(m_master, answer.data(), answer.size()) < 0) continue;
        if (m_device.Unplugged()) UnplugLocked();
    }
}

}  // namespace zorvek::sim
