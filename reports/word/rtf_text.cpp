#include "reports/word/rtf_text.h"

#include <charconv>

#include "model/cp1251.h"

namespace zorvek {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::size_t kHexBytesPerLine = 64;
constexpr char16_t kNoCharacter = 0xFFFD;

// \uN takes a signed 16-bit number.
void AppendUnicode(std::string& out, char16_t unit) {
    char digits[8];
    const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : unit;
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out += "\\u";
    out.append(digits, result.ptr);
}

}  // namespace

void AppendRtfText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
            case '\\':
            case '{':
            case '}':
                out += '\\';
                out += static_cast<char>(byte);
                break;
            case '\t':
                out += "\\tab ";
                break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out += "\\line ";
                break;
            case '\n':
            case '\v':
                out += "\\line ";
                break;
            default:
                if (byte >= 0x80) {
                    const char16_t unit = UnicodeOfCp1251(byte);
                    AppendUnicode(out, unit);
                    // 0x98 has no character in cp1251; as a bare \'98 some
                    // readers show a private-use character instead.
                    if (unit == kNoCharacter) {
                        out += '?';
                    } else {
                        out += "\\'";
                        out += kHexDigits[byte >> 4];
                        out += kHexDigits[byte & 0x0F];
                    }
                } else if (byte >= 0x20 && byte != 0x7F) {
                    out += static_cast<char>(byte);
                }
                break;
        }
    }
}

void AppendRtfHex(std::string& out, std::span<const std::uint8_t> bytes) {
    out.reserve(out.size() + bytes.size() * 2 + bytes.size() / kHexBytesPerLine + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % kHexBytesPerLine == 0) out += '\n';
        out += kHexDigits[bytes[i] >> 4];
        out += kHexDigits[bytes[i] & 0x0F];
    }
}

}  // namespace zorvek
