#include "model/cp1251.h"

#include <gtest/gtest.h>

namespace zorvek {
namespace {

TEST(Cp1251, RussianTextRoundTrips) {
    const std::string utf8 = "Грузовая лебедка ЁЖЯ ёжя №5 «А» — т";
    const std::string cp1251 = Cp1251FromUtf8(utf8);
    EXPECT_EQ(cp1251.size(), 35u);  // one byte per character
    EXPECT_EQ(Utf8FromCp1251(cp1251), utf8);
    EXPECT_EQ(Utf16FromCp1251(cp1251), u"Грузовая лебедка ЁЖЯ ёжя №5 «А» — т");
    EXPECT_EQ(Cp1251FromUtf16(u"Ёё№"), "\xA8\xB8\xB9");
}

TEST(Cp1251, EveryByteMapsToACharacterAndBack) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        if (byte == 0x98) {
            EXPECT_EQ(Utf16FromCp1251(one), u"\uFFFD");  // no character at 0x98
            continue;
        }
        EXPECT_EQ(Cp1251FromUtf8(Utf8FromCp1251(one)), one) << byte;
    }
}

TEST(Cp1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    const struct {
        std::string_view utf8;
        std::string_view cp1251;
    } cases[] = {
        {"漢字", "??"},
        {"a\xFF"
         "b",
         "a?b"},
        {"\xD0", "?"},  // cut sequence at the end
        {"\xE2\x82", "??"},
        // Overlong forms never decode to what they spell: not a NUL, not a
        // slash, not a Cyrillic letter.
        {"a\xC0\x80z", "a??z"},
        {"\xC1\xBF", "??"},
        {"\xE0\x80\xAF", "???"},
        {"\xE0\x90\x90", "???"},  // U+0410 in three bytes
        {"\xF0\x80\x80\xAF", "????"},
        // The shortest forms at the same boundaries are characters.
        {"\xC2\x80", "?"},
        {"\xE0\xA0\x80", "?"},
        {"\xF0\x90\x80\x80", "?"},
        {"\xD0\x90", "\xC0"},
        // Surrogates and code points past U+10FFFF are no characters.
        {"\xED\xA0\x80", "???"},
        {"\xED\x9F\xBF", "?"},  // U+D7FF, just below them
        {"\xF4\x90\x80\x80", "????"},
        {"\xF4\x8F\xBF\xBF", "?"},  // U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1251FromUtf8(c.utf8), c.cp1251) << testing::PrintToString(c.utf8);
    }
    EXPECT_EQ(Cp1251FromUtf16(u"😀"), "?");  // surrogate pair
}

}  // namespace
}  // namespace zorvek
