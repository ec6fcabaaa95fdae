#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/line_settings.h"
#include "sim/usb_reader_device.h"

namespace zorvek::sim {

// The USB reader attached to this machine, without the hardware: a
// pseudo-terminal that speaks the reader's frames, and a small sysfs tree
// shaped like the kernel's that says which tty it is and which USB device
// (with its bcdDevice revision) stands behind it:
//
//   ROOT/class/tty/ttyACM0 ->
//   ../../devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1.N/1-1.N:1.0/tty/ttyACM0
//   ROOT/devices/.../usb1/bcdDevice          the root hub's revision
//   ROOT/devices/.../usb1/1-1/bcdDevice      a hub's revision
//   ROOT/devices/.../1-1.N/bcdDevice         the reader's revision
//   ROOT/devices/.../1-1.N:1.0/bInterfaceNumber
//   ROOT/devices/.../tty/ttyACM0/device -> ../../../1-1.N:1.0
//   ROOT/dev/ttyACM0 -> /dev/pts/K
//
// Several twins with different tty names may share a root. The twin serves
// on a thread of its own; it is unplugged when destroyed.
class UsbReaderTwin {
  public:
    struct Options {
        std::filesystem::path root;
        std::string tty = "ttyACM0";
        std::uint16_t revision = 0x0001;
        // The hub above the reader answers with the reader's own revision by
        // default, so a scan that climbs past the reader's device finds the
        // wrong one.
        std::uint16_t hubRevision = 0x0001;
    };

    // Throws std::system_error when the pseudo-terminal or the tree cannot
    // be made.
    UsbReaderTwin(std::span<const std::uint8_t> image, Options options);
    ~UsbReaderTwin();
    UsbReaderTwin(const UsbReaderTwin&) = delete;
    UsbReaderTwin& operator=(const UsbReaderTwin&) = delete;

    // Removes the tree's entries and hangs up the line, as pulling the
    // cable does.
    void Unplug();
    // Plugs the reader in again, possibly under another tty name.
    void Plug(const std::string& tty);
    bool Plugged() const;

    // Runs `action` on the device while the serving thread keeps off it.
    template <typename Action>
    auto WithDevice(Action action) {
        std::lock_guard lock(m_mutex);
        return action(m_device);
    }

    // The pseudo-terminal behind ROOT/dev/TTY; empty while unplugged.
    std::string Terminal() const;
    // The line as the program has set it up.
    LineSettings Line() const;

  private:
    void PlugLocked(const std::string& tty);
    void UnplugLocked();
    void Serve();

    Options m_options;
    UsbReaderDevice m_device;
    mutable std::mutex m_mutex;
    int m_master = -1;
    // Held open so the line stays up while the program closes and reopens
    // its end between ticks.
    int m_slave = -1;
    std::string m_terminal;
    std::filesystem::path m_usbDevice;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace zorvek::sim
