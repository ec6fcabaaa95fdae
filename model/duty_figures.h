#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// Numbers as the crane's duty appendix writes them for a Russian reader:
// decimal comma, digits grouped by thousands, nouns agreeing with their
// number. Results are cp1251.
namespace zorvek {

// "0,350", "25,0", "-1,5": `decimals` digits after a comma, rounded to
// nearest; never "-0,0". Not-finite values give "****".
std::string DecimalComma(double value, int decimals);

// "9999", "12 112", "1 250 000": from five digits on, groups of three
// separated by a no-break space.
std::string GroupedDigits(std::uint64_t value);
// The same grouping of the whole part of a number's text: "45569,9" gives
// "45 569,9", "-12345" "-12 345"; other texts ("****") stay as they are.
std::string GroupedNumber(std::string text);

// The noun form for `count`: "1 год", "3 года", "5 лет", "11 лет", "21 год".
std::string_view PluralForm(std::uint64_t count, std::string_view one, std::string_view few,
                            std::string_view many);

// GroupedDigits(count), a space and the agreeing noun.
std::string CountOf(std::uint64_t count, std::string_view one, std::string_view few,
                    std::string_view many);

// A share 0..1 as "12,3 %"; a non-zero share that would read "0,0 %" reads
// "< 0,1 %".
std::string PercentText(double share);

// "05.06.2029".
std::string DayText(std::chrono::sys_days day);

}  // namespace zorvek
