#include "reports/word/documents/appendix_one.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

#include "tests/reports/word/documents/documents_test_support.h"

namespace zorvek::test {
namespace {

namespace map = memory_map;

using Builder = bool (*)(const ReportInputs&, WordLayer&, bool, HistogramPictures&);

// Open, 58 fills, 2 paragraphs and 3 lines of heading, 2 moves, 1 paragraph.
constexpr std::size_t kCallsBeforeShow = 67;

class AppendixOneTest : public DocumentTest {
  protected:
    AppendixOneTest() {
        wholeLife.seconds = {3600, 1800, 0, 7200, 100, 0, 0, 1};
        wholeLife.counts = {20, 10, 0, 40, 5, 0, 0, 1};
        // A damaged (NaN) mass must not scale the other bars.
        wholeLife.masses = {2.25f, 0,    12.5f, -1.0f, 0, std::numeric_limits<float>::quiet_NaN(),
                            0,     25.0f};
        wholeLife.characteristic = 0.25f;
        PutStatistics(image, map::kStatisticsTotalAddress, wholeLife);
        PutOnTime(image, map::kOnTimeTotalAddress, 20000);

        Statistics since;
        since.start = {2026, 1, 9, 7, 0, 0};
        since.counts = {7};
        since.seconds = {600};
        PutStatistics(image, map::kStatisticsSinceAddress, since);
        PutOnTime(image, map::kOnTimeSinceAddress, 900);
    }

    // Bookmark -> value, from the log lines WordFillBookmark("name","value").
    std::map<std::string, std::string> Fills() const {
        std::map<std::string, std::string> fills;
        const std::string head = "WordFillBookmark(\"";
        for (const std::string& line : word.Log()) {
            if (!line.starts_with(head)) continue;
            const std::size_t nameEnd = line.find('"', head.size());
            fills[line.substr(head.size(), nameEnd - head.size())] =
                line.substr(nameEnd + 3, line.size() - nameEnd - 5);
        }
        return fills;
    }

    Statistics wholeLife;
    FakePictures pictures;
};

TEST_F(AppendixOneTest, HeadingLinesFollowTheFirstFillInFull) {
    const std::string longType = std::string(60, 'A') + "Кран567890";  // 70 characters
    sheet.SetValue(1, C(longType));
    ASSERT_TRUE(N7Click(inputs, word, false, pictures));
    const std::vector<std::string> expected = {
        "WordOpenTemplate(\"Приложение.rtf\")",
        Fill("Begining", " "),
        "WordNewParagraph()",
        "WordNewParagraph()",
        "WordWriteLine(\"Тип крана:  " + longType + "\",12,1,1)",
        "WordWriteLine(\"Заводской номер крана:  Строка 6\",12,1,1)",
        "WordWriteLine(\"Заводской номер регистратора:  Строка 16\",12,1,1)",
        Fill("type", "за весь срок службы"),
        Fill("begin", " 1.05.09 14:05:33"),
        Fill("read", "12.06.09  8:00:00"),
        Fill("Hchislo", "            5ч33м20c"),
        Fill("Prostoi", "            2ч01м39c"),
        Fill("harchislo", "        0.3"),
        Fill("working", "         3ч31м41c"),
    };
    EXPECT_EQ(std::vector<std::string>(word.Log().begin(), word.Log().begin() + 14), expected);
}

TEST_F(AppendixOneTest, RangesFillInOrderWithBarsAgainstTheLargest) {
    ASSERT_TRUE(N7Click(inputs, word, false, pictures));
    std::string order;
    for (std::size_t i = 14; i < kCallsBeforeShow - 3; ++i) order += word.Log()[i].substr(18, 4);
    std::string expectedOrder;
    for (const char kind : {'1', '2', '3'}) {
        if (kind == '2') expectedOrder += "full";
        if (kind == '3') expectedOrder += "full";
        for (char n = '1'; n <= '8'; ++n)
            expectedOrder += std::string{'T', kind, n, '"', 'T', kind, n, 'x'};
    }
    EXPECT_EQ(order, expectedOrder);

    const std::string x36(36, 'X');
    const std::map<std::string, std::string> expected = {
        // Operating time: the longest is 7200 s.
        {"T11", "  1ч00м00c"},
        {"T11x", "|" + std::string(18, 'X')},
        {"T12", "    30м00c"},
        {"T12x", "|" + std::string(9, 'X')},
        {"T13", "        0c"},
        {"T13x", "|"},
        {"T14", "  2ч00м00c"},
        {"T14x", "|" + x36},
        {"T15", "     1м40c"},
        {"T15x", "|"},
        // Cycles: the most are 40.
        {"fullcercl", "            76"},
        {"T21", "          20"},
        {"T21x", "|" + std::string(18, 'X')},
        {"T24", "          40"},
        {"T24x", "|" + x36},
        {"T25", "           5"},
        {"T25x", "|XXXX"},
        {"T28", "           1"},
        {"T28x", "|"},
        // Mass: the largest is 25 t; negative and damaged masses draw no bar.
        {"T31", "            2.3"},
        {"T31x", "|XXX"},
        {"T33", "           12.5"},
        {"T33x", "|" + std::string(18, 'X')},
        {"T34", "           -1.0"},
        {"T34x", "|"},
        {"T36", std::string(13, '*') + ".*"},
        {"T36x", "|"},
        {"T38", "           25.0"},
        {"T38x", "|" + x36},
    };
    const auto fills = Fills();
    for (const auto& [bookmark, value] : expected) EXPECT_EQ(fills.at(bookmark), value) << bookmark;
}

// The powered and the working time come from different counters; the
// working time may be the larger, and the idle time must then not wrap
// round to some 1,193,046 hours.
TEST_F(AppendixOneTest, IdleTimeIsPoweredLessWorkingAndNeverNegative) {
    struct Case {
        std::uint32_t powered;
        std::string poweredText;
        std::string idle;
    };
    const Case cases[] = {
        {7200, "            2ч00м00c", "            1ч00м00c"},
        {3601, "            1ч00м01c", "                  1c"},
        {3600, "            1ч00м00c", "                  0c"},
        {3599, "              59м59c", "                  0c"},
        {0, "                  0c", "                  0c"},
    };
    Statistics working;
    working.seconds = {3600};
    PutStatistics(image, map::kStatisticsTotalAddress, working);
    for (const Case& c : cases) {
        PutOnTime(image, map::kOnTimeTotalAddress, c.powered);
        word = RecordingWordLayer();
        ASSERT_TRUE(N7Click(inputs, word, false, pictures));
        EXPECT_EQ(Fills().at("Hchislo"), c.poweredText);
        EXPECT_EQ(Fills().at("Prostoi"), c.idle) << c.powered;
    }
}

TEST_F(AppendixOneTest, PicturesFollowTheLastFillOnlyWhenAsked) {
    const std::string paragraph = "WordNewParagraph()";
    struct Case {
        bool withPictures;
        std::size_t cycleBytes;  // 0: that picture could not be drawn
        std::vector<std::string> tail;
    };
    const Case cases[] = {
        {false, 22, {paragraph}},
        {true,
         22,
         {paragraph, "WordPasteCentered(11 bytes)", paragraph, paragraph,
          "WordPasteCentered(22 bytes)", paragraph, paragraph, "WordPasteCentered(33 bytes)",
          paragraph, paragraph}},
        {true,
         0,
         {paragraph, "WordPasteCentered(11 bytes)", paragraph, paragraph, paragraph, paragraph,
          "WordPasteCentered(33 bytes)", paragraph, paragraph}},
    };
    for (const Case& c : cases) {
        for (const Builder build : {N7Click, N8Click}) {
            word = RecordingWordLayer();
            pictures = FakePictures();
            pictures.cycleBytes = c.cycleBytes;
            ASSERT_TRUE(build(inputs, word, c.withPictures, pictures));
            std::vector<std::string> expected = {"WordMoveDown()", "WordMoveDown()"};
            expected.insert(expected.end(), c.tail.begin(), c.tail.end());
            expected.push_back("WordShow()");
            EXPECT_EQ(std::vector<std::string>(word.Log().begin() + kCallsBeforeShow - 3,
                                               word.Log().end()),
                      expected);
            // Each from the period's own block: range 1 has 20 cycles over
            // the whole life, 7 since the last reading.
            const std::size_t drawn = c.withPictures ? 3 : 0;
            EXPECT_EQ(pictures.drawnFromCycleCounts,
                      std::vector<std::uint32_t>(drawn, build == N7Click ? 20 : 7));
        }
    }
}

TEST_F(AppendixOneTest, SinceTheLastReadingUsesItsOwnCounters) {
    ASSERT_TRUE(N8Click(inputs, word, false, pictures));
    const auto fills = Fills();
    EXPECT_EQ(fills.at("type"), "в период между считываниями");
    EXPECT_EQ(fills.at("begin"), " 9.01.26  7:00:00");
    EXPECT_EQ(fills.at("Hchislo"), "              15м00c");
    EXPECT_EQ(fills.at("Prostoi"), "               5м00c");
}

// The whole-life appendix resets the bar before showing; the other one
// resets it before building and leaves it at the last step.
TEST_F(AppendixOneTest, ProgressMovesBetweenTheBatchesOfFills) {
    const std::string shown = "@" + std::to_string(kCallsBeforeShow);
    ASSERT_TRUE(N7Click(inputs, word, false, pictures));
    EXPECT_EQ(progress.marks, (std::vector<std::string>{"0@0", "20@14", "50@30", "75@47",
                                                        "99" + shown, "pause" + shown}));

    word = RecordingWordLayer();
    progress.marks.clear();
    ASSERT_TRUE(N8Click(inputs, word, false, pictures));
    EXPECT_EQ(progress.marks,
              (std::vector<std::string>{"0@0", "99@0", "pause@0", "20@14", "50@30", "75@47"}));
}

TEST_F(AppendixOneTest, AnUnusableBlockGivesTheMessageAndNoDocument) {
    struct Case {
        Builder build;
        std::uint32_t block;
        std::vector<std::string> progress;
    };
    const Case cases[] = {
        {N7Click, map::kStatisticsTotalAddress, {"0@0", "0@0"}},
        {N8Click, map::kStatisticsSinceAddress, {"0@0"}},
    };
    for (const Case& c : cases) {
        image.At(c.block)[40] ^= 0x10;
        progress.marks.clear();
        EXPECT_FALSE(c.build(inputs, word, true, pictures));
        EXPECT_TRUE(word.Log().empty());
        EXPECT_EQ(notifier.messages,
                  (std::vector<std::string>{"Гистограмма не загружена\rили содержит ошибки."}));
        EXPECT_EQ(progress.marks, c.progress);
        EXPECT_TRUE(pictures.drawnFromCycleCounts.empty());
        notifier.messages.clear();
    }
}

}  // namespace
}  // namespace zorvek::test
