#include <cstdlib>
#include <string>

#include "access/serial_port_names.h"

namespace zorvek {

// Windows names the ports itself: port n is COMn, opened through the device
// namespace so that the same form serves numbers above 9.
std::filesystem::path ComPortPath(int port) {
    constexpr int kPortCount = 8;
    if (port < 1 || port > kPortCount) return {};
    const std::wstring variable = L"ZORVEK_COM" + std::to_wstring(port);
    if (const wchar_t* named = _wgetenv(variable.c_str())) return std::filesystem::path(named);
    return std::filesystem::path(L"\\\\.\\COM" + std::to_wstring(port));
}

}  // namespace zorvek
