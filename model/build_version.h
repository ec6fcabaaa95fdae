#pragma once

#include <string_view>

namespace zorvek {

// The program's own version as its builds are numbered ("0.1"), which every
// document names in its footer so that a page can be tied to the program
// that made it.
std::string_view BuildVersion();

}  // namespace zorvek
