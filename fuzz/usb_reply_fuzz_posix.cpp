// Any bytes as the USB reader's responses, on a pseudo-terminal as the
// system presents the reader. A thread plays the reader: it takes each
// request whole and answers with a frame of the length that request calls
// for, its bytes from the input (zeros once the input is used up, so no
// read waits out its time-out). The port asks whether the reader is ready,
// reads a stretch of the image and writes one back, as the USB load does.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <thread>
#include <vector>

#include "access/usb_device_port.h"
#include "access/usb_reader.h"
#include "tests/support/virtual_wait_clock.h"

namespace {

using namespace zorvek;

constexpr std::uint8_t kResponseFlip = 0x88;

// Reads exactly `count` bytes from the terminal's master side, or gives up
// when `stop` is set.
bool ReadAll(int fd, std::uint8_t* data, std::size_t count, const std::atomic<bool>& stop) {
    while (count > 0) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 1) <= 0) {
            if (stop) return false;
            continue;
        }
        const ssize_t got = ::read(fd, data, count);
        if (got <= 0) return false;
        data += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

class Reader {
  public:
    Reader(int master, std::span<const std::uint8_t> responses)
        : m_master(master), m_responses(responses), m_thread([this] { Serve(); }) {}
    ~Reader() {
        m_stop = true;
        m_thread.join();
    }

  private:
    void Serve() {
        std::array<std::uint8_t, 256> request{};
        while (ReadAll(m_master, request.data(), 1, m_stop)) {
            const std::size_t length = UsbDevicePort::UsbFrameLength(request[0]);
            if (!ReadAll(m_master, request.data() + 1, length - 1, m_stop)) return;
            std::vector<std::uint8_t> response(UsbDevicePort::UsbFrameLength(
                static_cast<std::uint8_t>(request[0] ^ kResponseFlip)));
            const std::size_t taken = std::min(response.size(), m_responses.size());
            std::copy_n(m_responses.begin(), taken, response.begin());
            m_responses = m_responses.subspan(taken);
            if (::write(m_master, response.data(), response.size()) < 0) return;
        }
    }

    int m_master;
    std::span<const std::uint8_t> m_responses;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Terminal {
    int master = -1;
    std::filesystem::path slave;
};

const Terminal& OpenTerminal() {
    static const Terminal terminal = [] {
        Terminal t;
        t.master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (t.master < 0 || ::grantpt(t.master) != 0 || ::unlockpt(t.master) != 0) std::abort();
        t.slave = ::ptsname(t.master);
        return t;
    }();
    return terminal;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const Terminal& terminal = OpenTerminal();
    static test::VirtualWaitClock clock;
    // One port for the whole run: every request is answered in full, and
    // each is sent after a purge, so nothing stays behind for the next input.
    static const std::unique_ptr<UsbDevicePort> port = [&] {
        auto opened = std::make_unique<UsbDevicePort>(
            UsbPortFinder({"/nonexistent", terminal.slave.parent_path()}), clock);
        if (!opened->UsbOpenPort(terminal.slave.filename().string())) std::abort();
        return opened;
    }();
    // The first bytes choose the stretch of the image: where, and how long
    // (up to three frames).
    const auto offset = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    const std::uint32_t count = 1 + (data[2] | (data[3] & 1) << 8) % 384;
    std::array<std::uint8_t, 384> image{};
    const Reader reader(terminal.master, std::span(data + 4, size - 4));
    UsbReader usb(*port);
    if (usb.ReaderReadyCheck() == UsbDevicePort::ReadyAnswer::Ready &&
        usb.ReaderReadImage(offset, image.data(), count, nullptr).Succeeded()) {
        static_cast<void>(port->UsbWriteBlock(0x000200, image.data(), count, nullptr));
    }
    return 0;
}
