#include "archive/readout_archive.h"

namespace zorvek::archive {

std::string PasswordFileName() { return "%APPDATA%\\postgresql\\pgpass.conf"; }

}  // namespace zorvek::archive
