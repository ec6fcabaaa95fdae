#include "reports/word/tables/mechanism_statistics.h"

#include <gtest/gtest.h>

#include "model/bits.h"
#include "model/records.h"
#include "tests/reports/word/tables/table_test_support.h"

namespace zorvek {
namespace {

namespace map = memory_map;

// Operations in the log: three before the first section, 61 per section.
constexpr std::size_t kHead = 3;
constexpr std::size_t kSection = 61;
constexpr std::size_t SectionStart(int mechanism) {
    return kHead + kSection * static_cast<std::size_t>(mechanism);
}
constexpr std::size_t kTail = SectionStart(5);

std::string Cell(std::string_view utf8, bool bold, int align) {
    return "WordWriteCell(\"" + std::string(utf8) + "\",8," + (bold ? "1," : "0,") +
           std::to_string(align) + ")";
}

// The three log lines of one table row.
void AddRow(std::vector<std::string>& log, std::string_view label, std::string_view value,
            std::string_view bar) {
    log.push_back(Cell(label, true, 2));
    log.push_back(Cell(value, true, 2));
    log.push_back(Cell(bar, false, 1));
}

class MechanismStatisticsTest : public test::TableReportTest {
  protected:
    // Counters with their checksum, at one of the two block addresses.
    void StoreCounters(std::uint32_t address, MechanismCounters counters, bool sealed = true) {
        counters.bytes[208] = Crc8(std::span(counters.bytes).first(208));
        if (!sealed) ++counters.bytes[208];
        std::copy(counters.bytes.begin(), counters.bytes.end(), m_image.At(address));
    }
    static void SetTime(MechanismCounters& counters, int range, int mechanism,
                        std::uint32_t seconds) {
        StoreLe(counters.bytes, MechanismCounters::TimeOffset(range, mechanism), 3, seconds);
    }
    static void SetSwitchOns(MechanismCounters& counters, int range, int mechanism,
                             std::uint32_t count) {
        StoreLe(counters.bytes, MechanismCounters::SwitchOnOffset(range, mechanism), 2, count);
    }
    // Both blocks sealed and empty: the recorder's state before any work.
    void SetUp() override {
        StoreCounters(map::kCountersTotalAddress, {});
        StoreCounters(map::kCountersSinceAddress, {});
    }
};

TEST_F(MechanismStatisticsTest, TypesEveryMechanismAsTwoTablesOfRanges) {
    MechanismCounters counters;
    SetTime(counters, 0, 0, 3723);  // two halves of the total
    SetTime(counters, 3, 0, 3723);
    SetSwitchOns(counters, 7, 0, 40);  // the whole total
    StoreCounters(map::kCountersTotalAddress, counters);

    ASSERT_TRUE(N17Click(Inputs(), m_word));
    ASSERT_EQ(Log().size(), kTail + 5);

    const std::vector<std::string> head = {
        "WordNewDocument(0)",
        "WordWriteText(\"Приложение 2\\r\\r\",12,0,3)",
        "WordWriteLine(\"Информация о работе механизмов за весь период\",16,1,2)",
    };
    EXPECT_EQ(Slice(0, kHead), head);

    const char* labels[] = {"      10-25% ", "      26-50% ", "      51-75% ", "     76-100% ",
                            "    101-110% ", "    111-120% ", "    121-130% ", "131 и более% "};
    std::vector<std::string> first = {
        "WordNewParagraph()",
        "WordWriteLine(\"Грузовая лебедка\",12,1,2)",
        "WordWriteText(\"Наработка при загрузке:\",12,0,1)",
        "WordAddTable(1,3,10)",
    };
    for (int range = 0; range < 8; ++range) {
        const bool half = range == 0 || range == 3;
        AddRow(first, labels[range], half ? "      1ч02м03c" : "            0c",
               half ? "|XXXXXXXXXXXX" : "|");
    }
    first.insert(first.end(), {
                                  "WordDeleteRow()",
                                  "WordMoveDown()",
                                  "WordWriteLine(\"Суммарная наработка:     2ч04м06c\",12,0,3)",
                                  "WordWriteLine(\"Количество включений:\",12,0,1)",
                                  "WordAddTable(1,3,10)",
                              });
    for (int range = 0; range < 8; ++range) {
        const bool all = range == 7;
        AddRow(first, labels[range], all ? "            40" : "             0",
               all ? "|XXXXXXXXXXXXXXXXXXXXXXXXX" : "|");
    }
    first.insert(first.end(), {
                                  "WordDeleteRow()",
                                  "WordMoveDown()",
                                  "WordWriteLine(\"Общее количество включений:       40\",12,0,3)",
                                  "WordNewParagraph()",
                              });
    EXPECT_EQ(Slice(SectionStart(0), kSection), first);

    // A mechanism that never ran: bars without marks, a zero total.
    const std::size_t idle = SectionStart(1);
    EXPECT_EQ(Log()[idle + 1], "WordWriteLine(\"Механизм подъема/опускания стрелы\",12,1,2)");
    for (int range = 0; range < 8; ++range)
        EXPECT_EQ(Log()[idle + 6 + 3 * range], Cell("|", false, 1));
    EXPECT_EQ(Log()[idle + 30], "WordWriteLine(\"Суммарная наработка:           0c\",12,0,3)");

    // The fifth mechanism has no name in this image; its section is still there.
    EXPECT_EQ(Log()[SectionStart(4) + 1], "WordWriteLine(\"\",12,1,2)");
    EXPECT_EQ(Log()[SectionStart(4) + 3], "WordAddTable(1,3,10)");

    const std::vector<std::string> tail = {
        "WordMoveDown()",
        "WordWriteLine(\"Тип крана:  КС-55713-1\",12,0,1)",
        "WordWriteLine(\"Регистрационный номер крана:  12345\",12,0,1)",
        "WordWriteLine(\"Заводской номер регистратора:  0815\",12,0,1)",
        "WordShow()",
    };
    EXPECT_EQ(Slice(kTail, 5), tail);
}

TEST_F(MechanismStatisticsTest, EachPeriodPrintsItsOwnBlock) {
    MechanismCounters since;
    SetSwitchOns(since, 1, 2, 7);
    StoreCounters(map::kCountersSinceAddress, since);
    // The count of range 1 in the switch-on table of mechanism 2.
    const std::size_t countCell = SectionStart(2) + 33 + 3 * 1 + 1;

    ASSERT_TRUE(N18Click(Inputs(), m_word));
    EXPECT_EQ(
        Log()[2],
        "WordWriteLine(\"Информация о работе механизмов в период между считываниями\",16,1,2)");
    EXPECT_EQ(Log()[countCell], Cell("             7", true, 2));
    EXPECT_EQ(Log()[countCell + 1], Cell("|XXXXXXXXXXXXXXXXXXXXXXXXX", false, 1));

    m_word = RecordingWordLayer{};
    ASSERT_TRUE(N17Click(Inputs(), m_word));
    EXPECT_EQ(Log()[countCell], Cell("             0", true, 2));
}

// Zeros from a failed read, or figures under a broken checksum, would be
// taken for the crane's record: no document then.
TEST_F(MechanismStatisticsTest, CountersThatCannotBeTrustedGiveNoDocument) {
    MechanismCounters since;
    SetTime(since, 5, 3, 59);
    StoreCounters(map::kCountersSinceAddress, since, false);
    EXPECT_FALSE(N18Click(Inputs(), m_word));
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(m_progress.steps, (std::vector<test::ProgressLog::Step>{{"0", 0}}));

    ASSERT_TRUE(N17Click(Inputs(), m_word));
    m_word = RecordingWordLayer{};
    m_image.failAll = true;
    EXPECT_FALSE(N17Click(Inputs(), m_word));
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(m_notifier.messages.empty());
}

TEST_F(MechanismStatisticsTest, ProgressFollowsTheSections) {
    using Step = test::ProgressLog::Step;
    ASSERT_TRUE(N17Click(Inputs(), m_word));
    // The whole-life command shows 20 once each section's first table is
    // started (four operations into the section) and 40 at its end.
    std::vector<Step> expected = {{"pause", 0}};
    for (int m = 0; m < 5; ++m) {
        expected.push_back({"20", SectionStart(m) + 4});
        expected.push_back({"40", SectionStart(m + 1)});
    }
    expected.push_back({"pause", kTail + 4});
    EXPECT_EQ(m_progress.steps, expected);

    m_word = RecordingWordLayer{};
    m_progress.steps.clear();
    ASSERT_TRUE(N18Click(Inputs(), m_word));
    expected = {{"0", 0}};
    for (int m = 0; m < 5; ++m)
        expected.push_back({std::to_string(20 * (m + 1)), SectionStart(m + 1)});
    expected.push_back({"pause", kTail + 4});
    EXPECT_EQ(m_progress.steps, expected);
}

}  // namespace
}  // namespace zorvek
