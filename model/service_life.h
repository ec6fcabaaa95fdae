#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// The crane's normative service life from its passport: the day it was put
// into service and the normative term in years.
namespace zorvek {

struct ServiceLife {
    std::chrono::sys_days commissioned;
    int years = 0;

    // Commissioning day plus the term; a 29 February start ends on the last
    // day of February.
    std::chrono::sys_days End() const;
};

// Why a passport date gave no day.
enum class DateProblem { None, Missing, Unreadable, AfterReading };

struct PassportDay {
    std::optional<std::chrono::sys_days> day;
    DateProblem problem = DateProblem::Missing;
};

// "15.04.2014", "15.04.2014 г.", "15.04.14" (cp1251) as of the day the
// recorder was read: a two-digit year is the latest year ending in those
// digits that is not after the reading's year ("98" is 1998 and "05" 2005 on
// a reading in 2026); without a reading day a two-digit year is Unreadable.
// A day after the reading is refused as AfterReading, an impossible day or
// any other text as Unreadable, blanks as Missing.
PassportDay ReadPassportDay(std::string_view cp1251, std::optional<std::chrono::sys_days> reading);
// What a problem means for the commissioning day, for "нет данных (...)"
// (cp1251); empty for None.
std::string CommissioningProblemText(DateProblem problem);
// "20 лет", "20", "25 years", "10 лет." (cp1251): a whole number of years
// from 1 to 100; nothing otherwise.
std::optional<int> ParseServiceYears(std::string_view cp1251);

struct PassportServiceLife {
    std::optional<ServiceLife> life;
    // Why there is none, for "нет данных (...)" (cp1251); empty with a life.
    std::string whyNot;
    DateProblem dateProblem = DateProblem::None;
};

// Both passport texts usable, the commissioning day read as ReadPassportDay
// reads it.
PassportServiceLife ServiceLifeOf(std::string_view dateCp1251, std::string_view termCp1251,
                                  std::optional<std::chrono::sys_days> reading);

}  // namespace zorvek
