#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The fixed-width texts of the documents. All results are cp1251; widths
// count bytes; a width of 0 means no width applies.
namespace zorvek {

// Overflow marks.
inline constexpr std::string_view kDateTimeOverflow = "??.??.?? ??:??:??";
// "**ч**м**с" in cp1251.
inline constexpr std::string_view kDurationOverflow = "**\xF7**\xEC**\xF1";

// x with exactly one decimal, rounded half away from zero, "." as decimal
// point, padded on the left to the pattern's length (patterns such as
// "#####0.0"). Too long: the pattern with every character but "." as "*".
// Patterns shorter than 5 give the bare text.
std::string FormatReal(std::string_view pattern, double x);

// Decimal digits of n right-aligned in w; too long: w times "*".
std::string FormatInt(int w, std::uint32_t n);

// Two characters: "**" above max or below a non-zero min; one digit gets
// `pad` in front.
std::string FormatTwoDigits(std::uint8_t value, std::uint8_t min, std::uint8_t max, char pad);

// "1ч02м03c", "2м05c", "0c" right-aligned in w; widths 1..9 and texts too long
// give the overflow mark.
std::string FormatDuration(int w, std::uint32_t seconds);

// " 4.07.09  3:56:33" right-aligned in w; invalid fields or years outside
// 2005..2031 give the overflow mark when a width is set.
std::string FormatDateTime(int w, std::uint32_t packed);

// "|" followed by trunc(value / reference * steps) times c; nothing after
// "|" when reference is 0 or the share exceeds steps.
std::string FormatBar(char c, double value, double reference, int steps);

// Local date and time as the recorder packs it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

std::uint32_t PackDateTime(const LocalDateTime& t);

// The clock PackNow reads; tests set their own.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The machine's local time.
const Clock& SystemClock();

std::uint32_t PackNow(const Clock& clock = SystemClock());

}  // namespace zorvek
