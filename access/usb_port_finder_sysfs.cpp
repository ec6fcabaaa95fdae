#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "access/usb_port_finder.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;

std::optional<std::uint16_t> ReadRevision(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text) || text.empty() || text.size() > 4) return std::nullopt;
    std::uint16_t value = 0;
    for (const char c : text) {
        int nibble = 0;
        if (c >= '0' && c <= '9') {
            nibble = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            nibble = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            nibble = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = static_cast<std::uint16_t>(value * 16 + nibble);
    }
    return value;
}

// The revision of the USB device behind a tty, if it is on USB at all. The
// tty's `device` link leads into the USB interface (for a usb-serial port,
// into a port folder below it); the device is the interface's parent. The
// climb stops at the interface: folders above the device (hubs, the root
// hub) carry a bcdDevice of their own, which must never be taken for the
// device's.
std::optional<std::uint16_t> UsbRevisionOf(const fs::path& ttyEntry) {
    std::error_code error;
    fs::path folder = fs::canonical(ttyEntry / "device", error);
    if (error) return std::nullopt;
    for (int depth = 0; depth < 2; ++depth) {
        if (fs::exists(folder / "bInterfaceNumber", error)) {
            return ReadRevision(folder.parent_path() / "bcdDevice");
        }
        folder = folder.parent_path();
    }
    return std::nullopt;
}

fs::path FromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? fs::path(value) : fs::path(fallback);
}

}  // namespace

UsbPortFinder::Roots UsbPortFinder::RootsFromEnvironment() {
    return {FromEnvironment("ZORVEK_SYSFS", "/sys"), FromEnvironment("ZORVEK_DEVDIR", "/dev")};
}

std::vector<std::string> UsbPortFinder::FindPorts(std::uint16_t revision) const {
    std::vector<std::string> ports;
    if (revision == 0) return ports;
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(m_roots.system / "class" / "tty", error), end;
         !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (UsbRevisionOf(m_roots.system / "class" / "tty" / name) == revision) {
            ports.push_back(name);
        }
    }
    return ports;
}

}  // namespace zorvek
