#include "reports/excel/appendix3/cell_texts.h"

#include <gtest/gtest.h>

#include "tests/reports/excel/appendix3/appendix3_support.h"

namespace zorvek {
namespace {

using namespace test;

TEST(ModeTextTest, NumberAuxiliaryModeAndSuffixes) {
    const std::pair<int, const char*> cases[] = {
        {0x00, "0"},         {0x0F, "15"},        {0x43, " Вспом. -7"},
        {0x4A, " Вспом. 0"}, {0x4F, " Вспом. 5"}, {0x35, "5 Юст. Блок."},
        {0x20, "0 Блок."},   {0x80, "0"},         {0x79, " Вспом. -1 Юст. Блок."},
    };
    for (auto [flags, text] : cases) {
        EXPECT_EQ(Utf8FromCp1251(ModeText(static_cast<std::uint8_t>(flags))), text) << flags;
    }
}

// 0x10 overrides the range; 0x20 alone adds 888, so only range 0 shows "On".
TEST(PowerLineTest, CodesAndTheirCellTexts) {
    const struct {
        int state, code;
        const char* text;
    } cases[] = {
        {0x00, 0, ""},         {0x01, 1, "0.22-1"},      {0x02, 2, "6-10"},
        {0x03, 3, "20-35"},    {0x04, 4, "110-450"},     {0x05, 5, "500>"},
        {0x06, 6, ""},         {0x0F, 15, ""},           {0x10, 1000, "  OFF"},
        {0x1F, 1000, "  OFF"}, {0x30, 111, "  net err"}, {0x3F, 111, "  net err"},
        {0x20, 888, "  On"},   {0x23, 891, ""},          {0x2F, 903, ""},
        {0xC2, 2, "6-10"},
    };
    for (const auto& c : cases) {
        const int code = PowerLineCode(static_cast<std::uint8_t>(c.state));
        EXPECT_EQ(code, c.code) << c.state;
        EXPECT_EQ(PowerLineText(code), c.text) << c.state;
    }
}

TEST(CellTextTest, BoundaryValues) {
    const auto text = [](ColumnKind kind, const HourRecord& record) {
        return Utf8FromCp1251(CellText(kind, record, 0));
    };
    EXPECT_EQ(text(ColumnKind::LoadWeight, Hour(0, {}, {{kWeight, -0.5f}})), "      0.0 т");
    EXPECT_EQ(text(ColumnKind::LoadWeight, Hour(0)), "      0.0 т");
    EXPECT_EQ(text(ColumnKind::LoadPercent, Hour(0, {{kLoadPercent, 255}})), "   255.0  %");
    for (auto [wind, shown] : {std::pair{0, "0.0"}, {9, "0.9"}, {10, "1.0"}, {255, "25.5"}}) {
        EXPECT_EQ(text(ColumnKind::Wind, Hour(0, {{kWind, wind}})), shown);
    }
    EXPECT_EQ(text(ColumnKind::RollTransverse, Hour(0, {{kRollTrans, 0xFD}})), "-3°");
    EXPECT_EQ(text(ColumnKind::RollLongitudinal, Hour(0, {{kRollLong, 0x80}})), "-128°");
    EXPECT_EQ(text(ColumnKind::RollLongitudinal, Hour(0, {{kRollLong, 0x7F}})), "127°");
    for (auto [event, note] :
         {std::pair{4, "Начало цикла"}, {5, "Конец цикла"}, {0, ""}, {6, ""}}) {
        EXPECT_EQ(text(ColumnKind::Note, Hour(0, {{kEvent, event}})), note);
    }
    EXPECT_EQ(CellText(ColumnKind::Number, Hour(0), 1899), "1900");
    EXPECT_EQ(ColumnHeader(static_cast<ColumnKind>(18)), "");
}

}  // namespace
}  // namespace zorvek
