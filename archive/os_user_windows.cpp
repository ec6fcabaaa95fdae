#include <windows.h>

#include <iterator>

#include "archive/os_user.h"

namespace zorvek::archive {

std::string OsUserName() {
    wchar_t name[257];
    DWORD size = static_cast<DWORD>(std::size(name));
    if (GetUserNameW(name, &size) == 0 || size <= 1) return "?";
    const int length = WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(size - 1), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(size - 1), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

}  // namespace zorvek::archive
