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
    EXPECT_EQ(Cp1251FromUtf8("漢字"), "??");
    EXPECT_EQ(Cp1251FromUtf8("a\xFF"
                             "b"),
              "a?b");
    EXPECT_EQ(Cp1251FromUtf8("\xD0"), "?");  // cut sequence at the end
    EXPECT_EQ(Cp1251FromUtf8("\xE2\x82"), "??");
    EXPECT_EQ(Cp1251FromUtf16(u"😀"), "?");  // surrogate pair
}

}  // namespace
}  // namespace zorvek
