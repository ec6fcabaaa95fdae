#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decimal numbers as people type and read them, never through the C
// library's locale: Qt sets that from the desktop, and a Russian one would
// read "16.5" as 16 and print "38,2".
namespace zorvek {

// Digits with at most one decimal separator, "." or ",", neither first nor
// last; no sign, no exponent, no spaces. Nothing for anything else or for a
// value beyond a double's range.
std::optional<double> ParseDecimal(std::string_view text);

// `value` with exactly `decimals` digits after a "." (rounded to nearest),
// no grouping; "inf" or "nan" for those.
std::string FormatFixed(double value, int decimals);

}  // namespace zorvek
