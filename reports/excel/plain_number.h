#pragma once

#include <optional>
#include <string_view>

namespace zorvek {

// The number a cell holds when `text` is typed into it, if the text is a
// plain decimal number: spaces, an optional sign, digits with at most one "."
// (at least one digit), spaces. "007" is 7, " 12.50 " is 12.5, "-0" is 0.
// Exponents, digit grouping, "," as decimal point, percent signs, units,
// dates and times are not numbers here and stay text, and so do numbers of
// more than 15 significant digits, which a cell could not hold exactly.
std::optional<double> PlainNumber(std::string_view text);

}  // namespace zorvek
