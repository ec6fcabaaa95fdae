#include "model/build_version.h"

namespace zorvek {

// Set by the build from the project's version.
std::string_view BuildVersion() { return ZORVEK_BUILD_VERSION; }

}  // namespace zorvek
