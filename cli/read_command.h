#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zorvek::cli {

// zorvek-cli read recorder|lpt|usb --out FILE [--wait SECONDS] [--no-archive]: reads the whole
// image from a device as the window's load commands do and writes it to FILE through a
// temporary name and a rename, then stores the read-out in the archive (a
// failure there is a warning and changes no exit code). Exit codes: 0 read and written; 1 wrong
// usage; 2 FILE could not be written; 3 another data format or an
// incomplete reader copy; 5 no device answered; 6 a read failed (nothing
// written, an existing FILE untouched). A failure is printed on stderr as
// LoadFailureMessage words it.
int RunRead(const std::vector<std::string>& args, std::ostream& out);

}  // namespace zorvek::cli
