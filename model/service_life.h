#pragma once

#include <chrono>
#include <optional>
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

// "15.04.2014", "15.04.2014 г.", "15.04.14" (cp1251); nothing for anything
// else or an impossible day.
std::optional<std::chrono::sys_days> ParseServiceDate(std::string_view cp1251);
// "20 лет", "20", "25 years", "10 лет." (cp1251): a whole number of years
// from 1 to 100; nothing otherwise.
std::optional<int> ParseServiceYears(std::string_view cp1251);

// Both passport texts usable, or nothing.
std::optional<ServiceLife> ServiceLifeOf(std::string_view dateCp1251, std::string_view termCp1251);

}  // namespace zorvek
