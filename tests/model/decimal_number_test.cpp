#include "model/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/support/decimal_comma_locale.h"

namespace zorvek {
namespace {

void ExpectSameUnderEveryLocale(void (*check)()) {
    check();
    const test::DecimalCommaLocale russian;
    if (!russian.Active()) GTEST_SKIP() << "ru_RU.UTF-8 is not installed here";
    check();
}

TEST(DecimalNumber, ParsesPointAndCommaAlike) {
    ExpectSameUnderEveryLocale([] {
        const std::pair<std::string, std::optional<double>> cases[] = {
            {"16.5", 16.5},
            {"16,5", 16.5},
            {"25", 25},
            {"0,125", 0.125},
            {"007", 7},
            {"", std::nullopt},
            {".5", std::nullopt},
            {"5,", std::nullopt},
            {"1.2.3", std::nullopt},
            {"1,2.3", std::nullopt},
            {"-3", std::nullopt},
            {"1e3", std::nullopt},
            {"16 5", std::nullopt},
            {"0x10", std::nullopt},
            {std::string(400, '9'), std::nullopt},  // past a double's range
            {std::string(300, '0') + "12,5", 12.5},
        };
        for (const auto& [text, value] : cases) {
            EXPECT_EQ(ParseDecimal(text), value) << text.substr(0, 20);
        }
    });
}

TEST(DecimalNumber, PrintsWithAPoint) {
    ExpectSameUnderEveryLocale([] {
        EXPECT_EQ(FormatFixed(38.25, 1), "38.2");  // exactly a half: to nearest even
        EXPECT_EQ(FormatFixed(0.80068, 3), "0.801");
        EXPECT_EQ(FormatFixed(1234567.0, 0), "1234567");
        EXPECT_EQ(FormatFixed(1e300, 1).size(), 303u);
        EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 2), "inf");
    });
}

}  // namespace
}  // namespace zorvek
