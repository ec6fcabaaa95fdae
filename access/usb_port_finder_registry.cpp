// The USB reader's COM port from the registry: the serial driver `usbser`
// lists the device instances it serves, and each instance's key says the
// device's revision ("HardwareID") and the port it was given
// ("FriendlyName").
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "access/usb_port_finder.h"
#include "access/usb_registry_ids.h"

namespace zorvek {
namespace {

// A key opened for reading under HKEY_LOCAL_MACHINE, closed with the object.
class RegistryKey {
  public:
    explicit RegistryKey(const std::wstring& path) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &m_key) != ERROR_SUCCESS) {
            m_key = nullptr;
        }
    }
    ~RegistryKey() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return m_key != nullptr; }

    std::optional<DWORD> Number(const wchar_t* name) const {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD) {
            return std::nullopt;
        }
        return value;
    }

    // A string value, or a list of strings joined by NULs; empty when absent
    // or of another type. However long the value is, all of it is read.
    std::wstring Text(const wchar_t* name) const {
        for (;;) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
                (type != REG_SZ && type != REG_MULTI_SZ && type != REG_EXPAND_SZ)) {
                return {};
            }
            std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
            const LONG read = RegQueryValueExW(m_key, name, nullptr, &type,
                                               reinterpret_cast<BYTE*>(data.data()), &size);
            // The value grew between the two calls: ask again.
            if (read == ERROR_MORE_DATA) continue;
            if (read != ERROR_SUCCESS) return {};
            std::wstring text(data.data(), size / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            return text;
        }
    }

  private:
    HKEY m_key = nullptr;
};

// The marks and numbers looked for are ASCII; anything else only has to
// stay something that is not them.
std::string Ascii(const std::wstring& text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (const wchar_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return ascii;
}

}  // namespace

UsbPortFinder::Roots UsbPortFinder::RootsFromEnvironment() {
    return {std::filesystem::path(L"SYSTEM\\CurrentControlSet"), std::filesystem::path(L"\\\\.\\")};
}

std::vector<std::string> UsbPortFinder::FindPorts(std::uint16_t revision) const {
    std::vector<std::string> ports;
    if (revision == 0) return ports;
    const std::wstring controlSet = m_roots.system.wstring();
    const RegistryKey list(controlSet + L"\\Services\\usbser\\Enum");
    if (!list.IsOpen()) return ports;
    const DWORD count = list.Number(L"Count").value_or(0);
    for (DWORD i = 0; i < count; ++i) {
        // The list has no gaps; a damaged "Count" must not keep the watcher
        // looking for entries that are not there.
        const std::wstring instance = list.Text(std::to_wstring(i).c_str());
        if (instance.empty()) break;
        const RegistryKey device(controlSet + L"\\Enum\\" + instance);
        if (!device.IsOpen()) continue;
        if (RevisionOfHardwareId(Ascii(device.Text(L"HardwareID"))) != revision) continue;
        const int port = ComNumberOfFriendlyName(Ascii(device.Text(L"FriendlyName")));
        if (port != 0) ports.push_back("COM" + std::to_string(port));
    }
    return ports;
}

}  // namespace zorvek
