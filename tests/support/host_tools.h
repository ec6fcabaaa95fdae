#pragma once

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace zorvek::test {

// Whether a program of the machine's own (pdftotext, soffice) can be run;
// under wine none can, and the tests that need one skip.
inline bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// What `command` printed to its output, by way of the file `capture`;
// nothing when it failed.
inline std::optional<std::string> Output(const std::string& command,
                                         const std::filesystem::path& capture) {
    if (std::system((command + " >" + Quoted(capture) + " 2>/dev/null").c_str()) != 0) {
        return std::nullopt;
    }
    std::ifstream in(capture, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whether `pdfinfo` says the pages are A4, landscape or portrait as asked.
inline bool A4(const std::string& pdfinfo, bool landscape) {
    const std::size_t line = pdfinfo.find("Page size:");
    if (line == std::string::npos) return false;
    const std::string size = pdfinfo.substr(line, pdfinfo.find('\n', line) - line);
    const char* at = size.data() + size.find_first_of("0123456789");
    double width = 0;
    double height = 0;
    const char* end = size.data() + size.size();
    auto parsed = std::from_chars(at, end, width);
    if (parsed.ec != std::errc() || std::string_view(parsed.ptr, 3) != " x ") return false;
    parsed = std::from_chars(parsed.ptr + 3, end, height);
    return parsed.ec == std::errc() && size.find("(A4)") != std::string::npos &&
           (width > height) == landscape;
}

}  // namespace zorvek::test
