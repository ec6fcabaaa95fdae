#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace zorvek {

// One file of a ZIP archive, uncompressed.
struct ZipEntry {
    std::string name;
    std::string data;
};

// The entry called `name`; nullptr when there is none.
inline ZipEntry* FindEntry(std::vector<ZipEntry>& entries, std::string_view name) {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [name](const ZipEntry& entry) { return entry.name == name; });
    return found == entries.end() ? nullptr : &*found;
}

}  // namespace zorvek
