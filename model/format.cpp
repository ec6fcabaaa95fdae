#include "model/format.h"

#include <charconv>
#include <cmath>

#include "model/bits.h"

namespace zorvek {
namespace {

std::string PadLeft(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

// One decimal, halves away from zero. Values that are exactly a half in
// binary (2.25, 0.75) need their own branch: shortest-decimal printing rounds
// those ties to even.
std::string OneDecimal(double x) {
    const double tenfold = x * 10.0;
    const bool exactProduct = std::fma(x, 10.0, -tenfold) == 0.0;
    if (exactProduct && std::fabs(tenfold - std::trunc(tenfold)) == 0.5) {
        const double rounded = std::round(tenfold);  // std::round takes ties away from zero
        char digits[400];
        auto [end, ec] = std::to_chars(digits, digits + sizeof digits, std::fabs(rounded),
                                       std::chars_format::fixed, 0);
        std::string whole(digits, ec == std::errc() ? end : digits);
        if (whole.size() < 2) whole.insert(0, 2 - whole.size(), '0');
        std::string text = (rounded < 0 ? "-" : "") + whole;
        text.insert(text.size() - 1, ".");
        return text;
    }
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 1);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text == "-0.0") text = "0.0";
    return text;
}

std::string OverflowMark(std::string_view pattern) {
    std::string mark(pattern);
    for (char& c : mark) {
        if (c != '.') c = '*';
    }
    return mark;
}

}  // namespace

std::string FormatReal(std::string_view pattern, double x) {
    const std::size_t width = pattern.size();
    if (!std::isfinite(x)) return width >= 5 ? OverflowMark(pattern) : std::string("*");
    std::string text = OneDecimal(x);
    if (width < 5) return text;
    if (text.size() > width) return OverflowMark(pattern);
    return PadLeft(std::move(text), width);
}

std::string FormatInt(int w, std::uint32_t n) {
    std::string text = std::to_string(n);
    if (w <= 0) return text;
    const auto width = static_cast<std::size_t>(w);
    if (text.size() > width) return std::string(width, '*');
    return PadLeft(std::move(text), width);
}

std::string FormatTwoDigits(std::uint8_t value, std::uint8_t min, std::uint8_t max, char pad) {
    if (value > max || (value < min && min != 0)) return "**";
    std::string text = std::to_string(value);
    if (text.size() == 1) text.insert(text.begin(), pad);
    return text;
}

std::string FormatDuration(int w, std::uint32_t seconds) {
    static const std::string kHour = "\xF7";    // ч
    static const std::string kMinute = "\xEC";  // м
    const std::uint32_t hours = seconds / 3600;
    const auto minutes = static_cast<std::uint8_t>((seconds % 3600) / 60);
    const auto secs = static_cast<std::uint8_t>(seconds % 60);

    std::string text;
    if (hours > 0) {
        text = std::to_string(hours) + kHour + FormatTwoDigits(minutes, 0, 59, '0') + kMinute;
    } else if (minutes > 0) {
        text = std::to_string(minutes) + kMinute;
    }
    // The seconds letter is a Latin "c", as the documents have always shown it.
    text += text.empty() ? std::to_string(secs) + "c" : FormatTwoDigits(secs, 0, 59, '0') + "c";

    if (w == 0) return text;
    if (w < 10) return std::string(kDurationOverflow);
    if (text.size() > static_cast<std::size_t>(w)) text = kDurationOverflow;
    return PadLeft(std::move(text), static_cast<std::size_t>(w));
}

std::string FormatDateTime(int w, std::uint32_t packed) {
    const auto year = static_cast<std::uint8_t>(TakeBits(packed, 6));
    const auto month = static_cast<std::uint8_t>(TakeBits(packed, 4));
    const auto day = static_cast<std::uint8_t>(TakeBits(packed, 5));
    const auto hour = static_cast<std::uint8_t>(TakeBits(packed, 5));
    const auto minute = static_cast<std::uint8_t>(TakeBits(packed, 6));
    const auto second = static_cast<std::uint8_t>(TakeBits(packed, 6));

    std::string text = (day >= 1 && day <= 31) ? std::to_string(day) : "**";
    text += "." + FormatTwoDigits(month, 1, 12, '0');
    text += "." + FormatTwoDigits(year, 5, 31, '0');
    text += " " + FormatTwoDigits(hour, 0, 23, ' ');
    text += ":" + FormatTwoDigits(minute, 0, 59, '0');
    text += ":" + FormatTwoDigits(second, 0, 59, '0');

    if (w <= 0) return text;
    const auto width = static_cast<std::size_t>(w);
    if (text.find("**") != std::string::npos || text.size() > width) text = kDateTimeOverflow;
    return PadLeft(std::move(text), width);
}

std::string FormatBar(char c, double value, double reference, int steps) {
    std::string text = "|";
    if (reference == 0) return text;
    const double share = value / reference * steps;
    // NaN and shares above the scale draw no bar.
    if (!(share <= steps) || share < 1) return text;
    text.append(static_cast<std::size_t>(std::trunc(share)), c);
    return text;
}

std::uint32_t PackDateTime(const LocalDateTime& t) {
    const auto field = [](int value, int bits) {
        return static_cast<std::uint32_t>(value) & ((1u << bits) - 1);
    };
    return field(t.year - 2000, 6) << 26 | field(t.month, 4) << 22 | field(t.day, 5) << 17 |
           field(t.hour, 5) << 12 | field(t.minute, 6) << 6 | field(t.second, 6);
}

std::uint32_t PackNow(const Clock& clock) { return PackDateTime(clock.Now()); }

}  // namespace zorvek
