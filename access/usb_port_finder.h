#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zorvek {

// Finds the serial port that the system gave the USB reader: the one whose
// USB device reports the reader's revision. One implementation per OS.
class UsbPortFinder {
  public:
    // Where the system describes its devices and where their nodes live. On
    // Linux: the sysfs root (ZORVEK_SYSFS, default /sys) and the device
    // folder (ZORVEK_DEVDIR, default /dev); a twin sets both to its own tree.
    // On Windows: the control set's key under HKEY_LOCAL_MACHINE
    // (SYSTEM\CurrentControlSet, which holds the `usbser` service's list and
    // the device keys; a test points it at keys of its own) and the device
    // namespace (\\.\); the environment changes neither.
    struct Roots {
        std::filesystem::path system;
        std::filesystem::path devices;
    };
    static Roots RootsFromEnvironment();

    explicit UsbPortFinder(Roots roots = RootsFromEnvironment()) : m_roots(std::move(roots)) {}

    // The ports' names ("ttyACM0", "COM5") of the attached devices whose
    // revision equals `revision`, in name order on Linux, in the serial
    // driver's list on Windows; empty when there is none. A revision of 0
    // never matches. Entries that vanish while the scan runs are skipped.
    std::vector<std::string> FindPorts(std::uint16_t revision) const;

    // The device node to open for a port found above.
    std::filesystem::path DeviceNode(const std::string& port) const {
        return m_roots.devices / port;
    }

  private:
    Roots m_roots;
};

}  // namespace zorvek
