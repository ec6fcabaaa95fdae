#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "access/serial_port_names.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;

constexpr int kPortCount = 8;

// "ttyUSB10" after "ttyUSB9": by the name's stem, then by its number.
bool NumericOrder(const fs::path& a, const fs::path& b) {
    const std::string x = a.filename().string();
    const std::string y = b.filename().string();
    const auto split = [](const std::string& name) {
        const std::size_t digits = name.find_last_not_of("0123456789") + 1;
        const std::string number = name.substr(digits);
        return std::pair(name.substr(0, digits), std::strtol(number.c_str(), nullptr, 10));
    };
    return split(x) < split(y);
}

std::vector<fs::path> Entries(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with(prefix)) found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end(), NumericOrder);
    return found;
}

bool IsAcm(const fs::path& device) { return device.filename().string().starts_with("ttyACM"); }

// The machine's serial devices in the order the port numbers take them.
std::vector<fs::path> SystemDevices() {
    std::vector<fs::path> devices;
    std::vector<fs::path> targets;
    std::error_code error;
    for (const fs::path& link : Entries("/dev/serial/by-id", "")) {
        const fs::path target = fs::canonical(link, error);
        if (error || IsAcm(target)) continue;
        devices.push_back(link);
        targets.push_back(target);
    }
    for (const fs::path& device : Entries("/dev", "ttyUSB")) {
        if (std::find(targets.begin(), targets.end(), device) == targets.end()) {
            devices.push_back(device);
        }
    }
    for (const fs::path& device : Entries("/dev", "ttyS")) devices.push_back(device);
    return devices;
}

}  // namespace

fs::path ComPortPath(int port) {
    if (port < 1 || port > kPortCount) return {};
    const std::string variable = "ZORVEK_COM" + std::to_string(port);
    if (const char* named = std::getenv(variable.c_str())) return fs::path(named);
    const std::vector<fs::path> devices = SystemDevices();
    return static_cast<std::size_t>(port) <= devices.size() ? devices[port - 1] : fs::path();
}

}  // namespace zorvek
