#include <array>

#include "archive/readout_archive.h"

namespace zorvek::archive {
namespace {

// cp1251 bytes of the Cyrillic capitals that Latin capitals are mistaken
// for when a number is typed on the wrong keyboard layout.
constexpr std::array<std::pair<char, unsigned char>, 12> kLookAlikes = {{
    {'A', 0xC0},  // А
    {'B', 0xC2},  // В
    {'C', 0xD1},  // С
    {'E', 0xC5},  // Е
    {'H', 0xCD},  // Н
    {'K', 0xCA},  // К
    {'M', 0xCC},  // М
    {'O', 0xCE},  // О
    {'P', 0xD0},  // Р
    {'T', 0xD2},  // Т
    {'X', 0xD5},  // Х
    {'Y', 0xD3},  // У
}};

// Spaces (the no-break one too), hyphens and dashes, the soft hyphen.
bool Separator(unsigned char c) {
    return c == ' ' || c == '\t' || c == '-' || c == 0xA0 || c == 0x96 || c == 0x97 || c == 0xAD;
}

unsigned char Capital(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 0xE0) return static_cast<unsigned char>(c - 0x20);  // а..я
    if (c == 0xB8) return 0xA8;                                  // ё
    return c;
}

// The number as it is matched: capitals, Cyrillic for the Latin look-alikes,
// no separators. Texts end at their first NUL, as the recorder's do.
std::string Normalised(std::string_view cp1251) {
    std::string key;
    for (const char byte : cp1251) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0) break;
        if (Separator(c)) continue;
        unsigned char capital = Capital(c);
        for (const auto& [latin, cyrillic] : kLookAlikes) {
            if (capital == static_cast<unsigned char>(latin)) capital = cyrillic;
        }
        key += static_cast<char>(capital);
    }
    return key;
}

}  // namespace

std::string RegistrationKey(std::string_view registration) {
    const std::string number = Normalised(registration);
    return number.empty() ? std::string() : "reg:" + number;
}

bool RegistrationBlank(std::string_view registration) { return Normalised(registration).empty(); }

std::string CraneKeyOf(const CraneIdentity& crane, std::string_view imageSha256) {
    if (std::string key = RegistrationKey(crane.registration); !key.empty()) return key;
    if (const std::string factory = Normalised(crane.factoryNumber); !factory.empty())
        return "factory:" + factory;
    if (const std::string recorder = Normalised(crane.recorderNumber); !recorder.empty())
        return "recorder:" + recorder;
    return "image:" + std::string(imageSha256);
}

}  // namespace zorvek::archive
