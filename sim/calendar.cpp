#include "sim/calendar.h"

namespace zorvek::sim {
namespace {

// Days from 0000-03-01, where the era-based conversion counts from, to 2000-01-01.
constexpr std::int64_t kEpochShift = 730425;

// Days between 2000-01-01 and a civil date of the proleptic Gregorian
// calendar (the usual era-based conversion, shifted to our epoch).
std::int64_t DaysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - kEpochShift;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += kEpochShift;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Exactly `width` decimal digits at text[at].
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t width) {
    int value = 0;
    for (char c : text.substr(at, width)) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

SimSeconds SecondsFromLocal(const LocalDateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * kHour + t.minute * kMinute +
           t.second;
}

LocalDateTime LocalFromSeconds(SimSeconds seconds) {
    const std::int64_t days = FloorDiv(seconds, kDay);
    const auto inDay = static_cast<int>(seconds - days * kDay);
    LocalDateTime t;
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = inDay / 3600;
    t.minute = inDay / 60 % 60;
    t.second = inDay % 60;
    return t;
}

std::uint32_t PackSeconds(SimSeconds seconds) { return PackDateTime(LocalFromSeconds(seconds)); }

int Weekday(SimSeconds seconds) {
    // 2000-01-01 was a Saturday.
    return static_cast<int>((FloorDiv(seconds, kDay) % 7 + 7 + 5) % 7);
}

SimSeconds StartOfDay(SimSeconds seconds) { return FloorDiv(seconds, kDay) * kDay; }

std::optional<LocalDateTime> ParseLocalDateTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    const auto second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    if (*year < kFirstYear || *year > kLastYear || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month) || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return LocalDateTime{*year, *month, *day, *hour, *minute, *second};
}

}  // namespace zorvek::sim
