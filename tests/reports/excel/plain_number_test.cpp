#include "reports/excel/plain_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace zorvek {
namespace {

TEST(PlainNumberTest, TypedTextsThatAreNumbers) {
    const std::vector<std::pair<std::string_view, double>> cases = {
        {"0", 0},
        {"12", 12},
        {"-3.5", -3.5},
        {"+5", 5},
        {"0.0", 0},
        {"-0", 0},
        {"-0.0", 0},
        {"007", 7},
        {"1.", 1},
        {".5", 0.5},
        {"   123.4", 123.4},
        {"25.5  ", 25.5},
        {"  -7  ", -7},
        {"1900", 1900},
        {"0.000000000000000000001", 1e-21},
        {"123456789012345", 123456789012345},
        {"1234567890123450000", 1.23456789012345e18},
    };
    for (const auto& [text, value] : cases) {
        const std::optional<double> number = PlainNumber(text);
        ASSERT_TRUE(number.has_value()) << '"' << text << '"';
        EXPECT_EQ(*number, value) << '"' << text << '"';
        EXPECT_FALSE(std::signbit(*number) && value == 0) << "negative zero from " << text;
    }
}

TEST(PlainNumberTest, TypedTextsThatStayText) {
    const std::vector<std::string_view> cases = {
        "",
        " ",
        "-",
        ".",
        "+.",
        "- 5",
        "1 000",
        "1,5",
        "1.2.3",
        "1e5",
        "0x10",
        "12.5  %",
        "7.4 м",
        "-3°",
        " 4.07.09  3:56:33",
        "1ч02м03c",
        "=1+2",
        "\t12",
        "12\t",
        "1234567890123456",
        "Начало цикла",
        "--1",
        "+-1",
        "\xA0"
        "12",
    };
    for (const std::string_view text : cases) {
        EXPECT_FALSE(PlainNumber(text).has_value()) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace zorvek
