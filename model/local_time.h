#pragma once

#include <ctime>

namespace zorvek {

// The machine's local time of `time`, by the system's thread-safe call.
std::tm LocalTime(std::time_t time);

}  // namespace zorvek
