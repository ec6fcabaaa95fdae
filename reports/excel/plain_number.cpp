#include "reports/excel/plain_number.h"

#include <charconv>
#include <cstddef>

namespace zorvek {
namespace {

constexpr std::size_t kMaxSignificantDigits = 15;

std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Digits between the first and the last non-zero digit, the point skipped.
std::size_t SignificantDigits(std::string_view digitsAndPoint) {
    const std::size_t first = digitsAndPoint.find_first_of("123456789");
    if (first == std::string_view::npos) return 0;
    const std::size_t last = digitsAndPoint.find_last_of("123456789");
    const std::string_view span = digitsAndPoint.substr(first, last - first + 1);
    return span.size() - (span.find('.') == std::string_view::npos ? 0 : 1);
}

}  // namespace

std::optional<double> PlainNumber(std::string_view text) {
    text = TrimSpaces(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t digits = 0;
    std::size_t points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1 || SignificantDigits(text) > kMaxSignificantDigits) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (value == 0) return 0.0;  // "-0" is plain 0, never a negative zero
    return negative ? -value : value;
}

}  // namespace zorvek
