#include "reports/charts/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "model/decimal_number.h"

namespace zorvek {

namespace {

// Half the last digit of "0,1" per cent.
constexpr double kSmallestShare = 0.05;

// Beyond this magnitude plain digits would outgrow a bar's slot.
constexpr double kPlainLimit = 1e9;
// Four digits read at a glance; from five on they are grouped.
constexpr double kFirstGrouped = 1e4;
constexpr char16_t kThinSpace = u'\u2009';

std::u16string Widen(std::string_view text) {
    std::u16string out;
    for (const char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::u16string Fixed(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    // A value that rounds to zero must not read "-0.0".
    if (rounded == 0.0) rounded = 0.0;
    return Widen(FormatFixed(rounded, decimals));
}

std::u16string Scientific(double value, int digits) {
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return error == std::errc() ? Widen(std::string_view(buffer, end)) : u"?";
}

// "1500000" -> "1 500 000" with thin spaces; the sign and any decimals stay.
std::u16string Grouped(std::u16string text) {
    std::size_t end = text.find(u'.');
    if (end == std::u16string::npos) end = text.size();
    const std::size_t start = text.starts_with(u'-') ? 1 : 0;
    for (std::size_t at = end; at > start + 3; at -= 3) text.insert(at - 3, 1, kThinSpace);
    return text;
}

}  // namespace

std::u16string MarkText(double value, MarkStyle style) {
    if (!std::isfinite(value)) return u"?";
    // An empty range reads "0" on every chart; a mere trace of mass "0.0".
    if (value == 0.0) return u"0";
    if (std::fabs(value) >= kPlainLimit) return Scientific(value, 2);
    // A share that would round to nothing reads as the duty appendix's table
    // writes it.
    if (style == MarkStyle::Share && value > 0 && value < kSmallestShare) return u"< 0,1";
    std::u16string text = Fixed(value, style == MarkStyle::Whole ? 0 : 1);
    if (style == MarkStyle::Share) std::replace(text.begin(), text.end(), u'.', u',');
    return text;
}

std::u16string AxisLabel(double value, double step) {
    if (!std::isfinite(value)) return u"?";
    if (value == 0.0) return u"0";
    if (std::fabs(value) >= kPlainLimit || std::fabs(step) >= kPlainLimit)
        return Scientific(value, 3);
    int decimals = 0;
    if (step > 0.0 && step < 1.0) {
        // Steps are 1, 2 or 5 times a power of ten, so this is exact.
        decimals = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
        if (decimals > 6) decimals = 6;
    }
    std::u16string text = Fixed(value, decimals);
    return std::fabs(value) >= kFirstGrouped ? Grouped(std::move(text)) : text;
}

}  // namespace zorvek
