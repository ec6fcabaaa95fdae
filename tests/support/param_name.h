#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace zorvek::test {

// A parameterised case's name from its own text ("lose-byte:2,lose-byte:5"
// becomes "lose_byte_2_lose_byte_5"): a test name takes letters, digits
// and '_' only.
inline std::string ParamName(std::string_view text) {
    std::string name(text);
    for (char& c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
    }
    return name;
}

}  // namespace zorvek::test
