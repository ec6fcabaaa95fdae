#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zorvek {

// A path from a UTF-8 file name, whatever the locale says narrow names are.
inline std::filesystem::path PathOfUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace zorvek
