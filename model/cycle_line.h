#pragma once

#include <string>

#include "model/records.h"

namespace zorvek {

// One line of the cycle tables: end time, load, duration, radius, weight and
// the notes of every warning and protection that was active, tab-separated
// as the documents print it (cp1251).
std::string CycleLine(const CycleRecord& record);

// Just the notes: each set flag's abbreviation in double quotes, warnings
// first.
std::string CycleNotes(const CycleRecord& record);

}  // namespace zorvek
