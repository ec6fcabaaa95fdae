#pragma once

#include <string>

namespace zorvek::archive {

// The name the system knows the program's user by (UTF-8), for the log of
// the archive's changes; "?" where the system will not say.
std::string OsUserName();

}  // namespace zorvek::archive
