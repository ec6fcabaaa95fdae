#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zorvek {

// Appends cp1251 `text` to an RTF document so that none of it can act as
// markup: backslashes and braces are escaped, a tab becomes \tab, CR, LF and
// VT become \line (a CR LF pair one \line) and the other control characters
// are left out. Bytes from 0x80 become \uN followed by their \'xx: readers
// take the Unicode character whatever charset the surrounding font declares
// (a template saved by an office suite may give its fonts a Western one), and
// older readers the cp1251 byte; 0x98, which has no character in cp1251, is
// the replacement character U+FFFD with a "?" for older readers. The text
// must stand where \uc1 holds.
void AppendRtfText(std::string& out, std::string_view text);

// Appends bytes as the lower-case hexadecimal text of an RTF picture, broken
// into lines so that the document stays readable in a text editor.
void AppendRtfHex(std::string& out, std::span<const std::uint8_t> bytes);

}  // namespace zorvek
