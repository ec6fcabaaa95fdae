#include "model/decimal_number.h"

#include <algorithm>
#include <charconv>

namespace zorvek {

std::optional<double> ParseDecimal(std::string_view text) {
    if (text.empty() || text.front() == '.' || text.front() == ',' || text.back() == '.' ||
        text.back() == ',') {
        return std::nullopt;
    }
    std::string digits(text);
    std::replace(digits.begin(), digits.end(), ',', '.');
    if (digits.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(digits.begin(), digits.end(), '.') > 1) {
        return std::nullopt;
    }
    double value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::string FormatFixed(double value, int decimals) {
    // Room for the largest double in fixed notation and its decimals.
    char text[400];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value,
                                            std::chars_format::fixed, std::clamp(decimals, 0, 60));
    return error == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace zorvek
