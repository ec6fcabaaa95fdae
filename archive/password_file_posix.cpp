#include "archive/readout_archive.h"

namespace zorvek::archive {

std::string PasswordFileName() { return "~/.pgpass"; }

}  // namespace zorvek::archive
