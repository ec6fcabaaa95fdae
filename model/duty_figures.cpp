#include "model/duty_figures.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zorvek {
namespace {

constexpr char kNoBreakSpace = '\xA0';
constexpr std::size_t kFirstGroupedDigits = 5;
// Half the last digit of "0,1 %".
constexpr double kSmallestShare = 0.0005;

}  // namespace

std::string DecimalComma(double value, int decimals) {
    if (!std::isfinite(value)) return "****";
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "****";
    std::string text(buffer, end);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    for (char& c : text) {
        if (c == '.') c = ',';
    }
    return text;
}

std::string GroupedDigits(std::uint64_t value) { return GroupedNumber(std::to_string(value)); }

std::string GroupedNumber(std::string text) {
    const std::size_t start = text.starts_with('-') ? 1 : 0;
    const std::size_t end = std::min(text.find(','), text.size());
    if (end - start < kFirstGroupedDigits || text.find_first_not_of("0123456789", start) < end) {
        return text;
    }
    for (std::size_t at = end; at > start + 3; at -= 3) text.insert(at - 3, 1, kNoBreakSpace);
    return text;
}

std::string_view PluralForm(std::uint64_t count, std::string_view one, std::string_view few,
                            std::string_view many) {
    const std::uint64_t tens = count % 100;
    const std::uint64_t units = count % 10;
    if (tens >= 11 && tens <= 14) return many;
    if (units == 1) return one;
    if (units >= 2 && units <= 4) return few;
    return many;
}

std::string CountOf(std::uint64_t count, std::string_view one, std::string_view few,
                    std::string_view many) {
    return GroupedDigits(count) + ' ' + std::string(PluralForm(count, one, few, many));
}

std::string PercentText(double share) {
    if (share > 0 && share < kSmallestShare) return "< 0,1 %";
    return DecimalComma(100 * share, 1) + " %";
}

std::string DayText(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    const auto two = [](unsigned value) {
        return std::string(value < 10 ? "0" : "") + std::to_string(value);
    };
    return two(static_cast<unsigned>(date.day())) + "." + two(static_cast<unsigned>(date.month())) +
           "." + std::to_string(static_cast<int>(date.year()));
}

}  // namespace zorvek
