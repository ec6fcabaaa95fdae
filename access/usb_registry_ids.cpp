#include "access/usb_registry_ids.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace zorvek {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::uint16_t RevisionOfHardwareId(std::string_view hardwareId) {
    std::string text(hardwareId);
    std::transform(text.begin(), text.end(), text.begin(), Upper);
    constexpr std::string_view kMark = "&REV_";
    const std::size_t mark = text.find(kMark);
    if (mark == std::string::npos || text.size() < mark + kMark.size() + 4) return 0;
    unsigned revision = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int digit = HexDigit(text[mark + kMark.size() + i]);
        if (digit < 0) return 0;
        revision = revision * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<std::uint16_t>(revision);
}

int ComNumberOfFriendlyName(std::string_view friendlyName) {
    constexpr std::string_view kMark = "(COM";
    const std::size_t mark = friendlyName.find(kMark);
    if (mark == std::string_view::npos) return 0;
    const std::size_t first = mark + kMark.size();
    const std::size_t close = friendlyName.find(')', first);
    if (close == std::string_view::npos || close == first) return 0;
    int number = 0;
    const auto [end, error] =
        std::from_chars(friendlyName.data() + first, friendlyName.data() + close, number);
    if (error != std::errc() || end != friendlyName.data() + close) return 0;
    return number >= 1 && number <= 255 ? number : 0;
}

}  // namespace zorvek
