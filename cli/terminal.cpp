#include "cli/terminal.h"

#include <iostream>

#include "model/cp1251.h"

namespace zorvek::cli {

std::string ForTerminal(std::string_view cp1251) {
    std::string safe(cp1251);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 32 && c != '\t') || byte == 127) c = '?';
    }
    return Utf8FromCp1251(safe);
}

void PrintError(std::string_view cp1251) {
    std::string text;
    for (std::size_t i = 0; i < cp1251.size(); ++i) {
        if (cp1251[i] == '\r') {
            if (i + 1 < cp1251.size() && cp1251[i + 1] == '\n') ++i;
            text += '\n';
        } else {
            text += cp1251[i];
        }
    }
    PrintErrorUtf8(Utf8FromCp1251(text));
}

void PrintErrorUtf8(std::string_view utf8) { std::cerr << utf8 << '\n'; }

}  // namespace zorvek::cli
