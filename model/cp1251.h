#pragma once

#include <string>
#include <string_view>

// The recorder and every document speak the Windows Cyrillic code page; the
// core keeps texts as cp1251 bytes in std::string and converts at the edges.
namespace zorvek {

// Bytes without a character in cp1251 (0x98) become U+FFFD.
std::u16string Utf16FromCp1251(std::string_view text);
std::string Utf8FromCp1251(std::string_view text);

// Characters that cp1251 cannot hold become '?'. Malformed UTF-8 (a cut or
// overlong sequence, a surrogate, past U+10FFFF) gives one '?' per byte.
std::string Cp1251FromUtf16(std::u16string_view text);
std::string Cp1251FromUtf8(std::string_view text);

// The Unicode code point of one cp1251 byte (U+FFFD for 0x98).
char16_t UnicodeOfCp1251(unsigned char byte);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace zorvek
