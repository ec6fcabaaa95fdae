#pragma once

#include <string>

namespace zorvek {

// One file of a ZIP archive, uncompressed.
struct ZipEntry {
    std::string name;
    std::string data;
};

}  // namespace zorvek
