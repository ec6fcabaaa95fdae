#include "reports/word/tables/cycle_tables.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "model/bits.h"
#include "model/format.h"
#include "model/records.h"
#include "sim/packed_real.h"
#include "tests/reports/word/tables/table_test_support.h"

namespace zorvek {
namespace {

namespace map = memory_map;

struct Cycle {
    LocalDateTime end;
    std::uint8_t loadPercent = 50;
    std::uint16_t seconds = 60;
    float radius = 10.0f;
    float weight = 1.0f;
    std::uint8_t limit = 0;
    std::uint8_t tilt = 0;
    std::uint8_t zone = 0;
};

CycleRecord Record(const Cycle& cycle) {
    CycleRecord record;
    record.SetTime(PackDateTime(cycle.end));
    record.bytes[8] = cycle.limit;
    record.bytes[9] = cycle.tilt;
    record.bytes[10] = cycle.zone;
    record.bytes[14] = cycle.loadPercent;
    StoreLe(record.bytes, 18, 2, sim::PackFloat16(cycle.weight));
    StoreLe(record.bytes, 22, 2, sim::PackFloat16(cycle.radius));
    StoreLe(record.bytes, 28, 2, cycle.seconds);
    record.bytes[32] = Crc8(std::span(record.bytes).first(32));
    return record;
}

// Twenty cycles, oldest first: one from 2004, which has a date but a year the
// documents cannot show, then 2026-04-15 09:k:k for k = 1..19.
std::vector<Cycle> TwentyCycles() {
    std::vector<Cycle> cycles(20);
    cycles[0].end = {2004, 6, 1, 12, 0, 0};
    for (int k = 1; k < 20; ++k) cycles[k].end = {2026, 4, 15, 9, k, k};
    cycles[5] = {cycles[5].end,      87, 125, 12.5f, 3.25f, flags::kOverloadProtection, 0,
                 flags::kWindWarning};
    cycles[7].radius = 1234.5f;
    // Every bit of the three flag bytes, the ones without a note included.
    cycles[8].limit = 0xFF;
    cycles[8].tilt = 0xFF;
    cycles[8].zone = 0xFF;
    return cycles;
}

// The date-time a line of TwentyCycles starts with.
std::string DateOf(int k) {
    if (k == 0) return " ??.??.?? ??:??:??";
    char text[32];
    std::snprintf(text, sizeof text, " 15.04.26  9:%02d:%02d", k, k);
    return text;
}

class CycleTablesTest : public test::TableReportTest {
  protected:
    void SetUp() override {
        FillEmpty(map::kLastCyclesAddress);
        FillEmpty(map::kProtectionCyclesAddress);
    }

    void FillEmpty(std::uint32_t address) {
        std::fill_n(m_image.At(address), map::kCycleListSize, 0xFF);
    }

    // Stores cycles in a list the way a ring that has wrapped holds them: the
    // oldest `shift` slots in.
    void StoreList(std::uint32_t address, const std::vector<Cycle>& cycles, std::size_t shift) {
        for (std::size_t i = 0; i < cycles.size(); ++i) {
            const std::size_t slot = (i + shift) % map::kCycleRecordCount;
            const CycleRecord record = Record(cycles[i]);
            std::copy(record.bytes.begin(), record.bytes.end(),
                      m_image.At(address) + slot * map::kCycleRecordSize);
        }
    }
};

// What follows the table in both appendices, starting at the removal of the
// table's empty row.
const std::vector<std::string> kClosing = {
    "WordDeleteRow()",
    "WordMoveDown()",
    "WordSetHangingIndent(0)",
    "WordNewParagraph()",
    "WordWriteLine(\"Тип крана:  КС-55713-1\",10,0,1)",
    "WordWriteLine(\"Регистрационный номер крана:  12345\",10,0,1)",
    "WordWriteLine(\"Заводской номер регистратора:  0815\",10,0,1)",
    "WordNewParagraph()",
    "WordWriteText(\"Сокращения:\",10,1,1)",
    "WordNewParagraph()",
    R"~(WordWriteText("  !мВ - Предупреждение: минимальный вылет",8,0,1))~",
    R"~(WordWriteText("\t\t  !МВ - Предупреждение: максимальный вылет",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  !Ко - Предупреждение: координатная защита",8,0,1))~",
    R"~(WordWriteText("\t\t  !ЛЭП - Предупреждение: ЛЭП",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  !КХ - Предупреждение: наклон платформы",8,0,1))~",
    R"~(WordWriteText("\t\t  !КY - Предупреждение: наклон платформы",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  !95%> - Предупреждение: опасная загрузка",8,0,1))~",
    R"~(WordWriteText("\t\t  !Вр - Предупреждение: ветер",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  !З.з - Предупреждение: запретная зона",8,0,1))~",
    "WordNewParagraph()",
    "WordNewParagraph()",
    R"~(WordWriteText("  мВ - Защита: минимальный вылет",8,0,1))~",
    R"~(WordWriteText("\t\t\t  МВ - Защита: максимальный вылет",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  Ко - Защита: координатная защита",8,0,1))~",
    R"~(WordWriteText("\t\t\t  ЛЭП - Защита: ЛЭП",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  КХ - Защита: наклон платформы",8,0,1))~",
    R"~(WordWriteText("\t\t\t  КY - Защита: наклон платформы",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  110% - Защита: опасная загрузка",8,0,1))~",
    R"~(WordWriteText("\t\t\t  Вр - Защита: ветер",8,0,1))~",
    "WordNewParagraph()",
    R"~(WordWriteText("  БЛ - Защита: нажата кнопка блокировка",8,0,1))~",
    R"~(WordWriteText("\t\t\t  Кр - Защита: крюк в верхнем положении",8,0,1))~",
    "WordNewParagraph()",
    "WordShow()",
};

TEST_F(CycleTablesTest, WithoutValidCyclesTheTableKeepsItsHeaderOnly) {
    ASSERT_TRUE(N15Click(Inputs(), m_word));
    std::vector<std::string> expected = {
        "WordNewDocument(1)",
        R"~(WordWriteText("Приложение 4\r\r",12,0,3))~",
        R"~(WordWriteText("Информация о последних циклах",16,1,2))~",
        "WordSetHangingIndent(8508)",
        "WordAddTable(2,1,10)",
        R"~(WordWriteCell("Дата и время\t\tЗагрузка\t\tПродолжительность\t  Вылет\t\tВес груза\t\tПримечание",8,1,1))~",
    };
    expected.insert(expected.end(), kClosing.begin(), kClosing.end());
    EXPECT_EQ(Log(), expected);
}

TEST_F(CycleTablesTest, TwentyValidCyclesGiveALineEachOldestFirst) {
    StoreList(map::kLastCyclesAddress, TwentyCycles(), 7);
    ASSERT_TRUE(N15Click(Inputs(), m_word));
    ASSERT_EQ(Log().size(), 6 + 20 + kClosing.size());
    EXPECT_EQ(Slice(26, kClosing.size()), kClosing);

    const std::string cellStart = "WordWriteCell(\"";
    for (int k = 0; k < 20; ++k) {
        const std::string& line = Log()[6 + k];
        EXPECT_EQ(line.substr(0, cellStart.size() + 18), cellStart + DateOf(k)) << k;
        EXPECT_EQ(line.substr(line.size() - 8), "\",9,0,1)") << k;
    }
    // Load, duration, radius and weight in their widths, weight rounded half
    // up; the wind warning's note before the overload protection's.
    EXPECT_EQ(
        Log()[6 + 5],
        R"~(WordWriteCell(" 15.04.26  9:05:05\t\t    87.0\t\t          2м05c\t\t   12.5\t\t      3.3\t\t \"!Вр\"\"110%\"",9,0,1))~");
    // No flag: the line ends in the space before the notes.
    EXPECT_EQ(
        Log()[6 + 6],
        R"~(WordWriteCell(" 15.04.26  9:06:06\t\t    50.0\t\t          1м00c\t\t   10.0\t\t      1.0\t\t ",9,0,1))~");
    EXPECT_NE(Log()[6 + 7].find(R"(\t\t  ***.*\t\t)"), std::string::npos) << Log()[6 + 7];
    // Warnings first, the Latin M and Y where the recorder's notes have them,
    // nothing for the bits that carry no note.
    const std::string allNotes =
        R"~(\"!мВ\"\"!MВ\"\"!95%>\"\"!З.з\"\"!КХ\"\"!КY\"\"!Ко\"\"!ЛЭП\"\"!Вр\")~"
        R"~(\"мВ\"\"МВ\"\"110%\"\"Кр\"\"КХ\"\"КY\"\"Ко\"\"ЛЭП\"\"Вр\"",9,0,1))~";
    const std::string& all = Log()[6 + 8];
    ASSERT_GE(all.size(), allNotes.size());
    EXPECT_EQ(all.substr(all.size() - allNotes.size()), allNotes);
    EXPECT_EQ(all.substr(all.size() - allNotes.size() - 5, 5), R"(\t\t )");
}

TEST_F(CycleTablesTest, ProtectionTripsComeFromTheirOwnListWithTheirOwnTexts) {
    std::vector<Cycle> trips = TwentyCycles();
    trips.resize(4);
    trips.erase(trips.begin());
    StoreList(map::kProtectionCyclesAddress, trips, 18);

    ASSERT_TRUE(N16Click(Inputs(), m_word));
    const std::vector<std::string> head = {
        "WordNewDocument(1)",
        R"~(WordWriteText("Приложение 5\r\r",12,0,3))~",
        R"~(WordWriteText("Информация о циклах в которых зафиксированно срабатывание защиты.",16,1,2))~",
        "WordSetHangingIndent(8508)",
        "WordAddTable(2,1,10)",
        R"~(WordWriteCell("Дата и время\t\tЗагрузка\t\tПродлжительность\t\t  Вылет\t\tВес груза\t\tПримечание",8,1,1))~",
    };
    EXPECT_EQ(Slice(0, 6), head);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(Log()[5 + k].substr(15, 18), DateOf(k)) << k;
    EXPECT_EQ(Slice(9, kClosing.size()), kClosing);

    // The last-cycles list is empty in this image.
    m_word = RecordingWordLayer{};
    ASSERT_TRUE(N15Click(Inputs(), m_word));
    EXPECT_EQ(Log()[6], "WordDeleteRow()");
}

TEST_F(CycleTablesTest, ProgressStepsThroughTheRecordsAndEndsAtRest) {
    using Step = test::ProgressLog::Step;
    std::vector<Cycle> cycles = TwentyCycles();
    cycles.resize(10);
    StoreList(map::kLastCyclesAddress, cycles, 15);

    ASSERT_TRUE(N15Click(Inputs(), m_word));
    // Full bar and a pause before the document is started; then a position
    // before each record, valid or not, ahead of that record's line.
    std::vector<Step> expected = {{"100", 0}, {"pause", 0}};
    for (std::size_t i = 0; i < 20; ++i)
        expected.push_back({std::to_string(i % 19), 6 + std::min<std::size_t>(i, 10)});
    EXPECT_EQ(m_progress.steps, expected);
}

TEST_F(CycleTablesTest, AnUnreadableListEndsSilently) {
    m_image.failAll = true;
    EXPECT_FALSE(N15Click(Inputs(), m_word));
    EXPECT_FALSE(N16Click(Inputs(), m_word));
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(m_progress.steps.empty());
    EXPECT_TRUE(m_notifier.messages.empty());
}

}  // namespace
}  // namespace zorvek
