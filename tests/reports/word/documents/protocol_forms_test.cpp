#include "reports/word/documents/protocol_forms.h"

#include <gtest/gtest.h>

#include "tests/reports/word/documents/documents_test_support.h"

namespace zorvek::test {
namespace {

namespace map = memory_map;

using Builder = bool (*)(const ReportInputs&, WordLayer&);

// A mass on range 6 with two half-steps of single precision on ranges 7
// and 8: added one by one in single precision the half-steps vanish
// (65536.0), added exactly they make a whole step (65536.1).
constexpr std::array<float, 8> kMasses = {0, 0, 0, 0, 0, 65536.046875f, 1.0f / 256, 1.0f / 256};

std::vector<std::string> Lines(std::initializer_list<int> numbers) {
    std::vector<std::string> lines;
    for (const int n : numbers) lines.push_back(Line(n));
    return lines;
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class ProtocolFormTest : public DocumentTest {
  protected:
    ProtocolFormTest() {
        Statistics since;
        since.start = {2009, 7, 4, 3, 56, 33};
        since.end = {2009, 13, 4, 3, 56, 33};  // month 13
        since.counts.fill(65535);
        since.masses = kMasses;
        PutStatistics(image, map::kStatisticsSinceAddress, since);

        wholeLife.counts = {10, 20, 30, 40, 50, 6, 7, 8};
        wholeLife.masses = kMasses;
        PutStatistics(image, map::kStatisticsTotalAddress, wholeLife);
    }

    Statistics wholeLife;
};

TEST_F(ProtocolFormTest, Form1FillsItsBookmarksInOrder) {
    EXPECT_TRUE(N11Click(inputs, word));
    const std::vector<std::string> expected = Joined({
        {"WordOpenTemplate(\"Форма 1.rtf\")"},
        Lines({15, 16, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 17, 18}),
        {Fill("Tbeg", " 4.07.09  3:56:33"), Fill("Tend", "??.??.?? ??:??:??"),
         Fill("Chislocerle", "524280"), Fill("Massar", "        65536.0 т"), Line(19),
         "WordShow()"},
    });
    EXPECT_EQ(word.Log(), expected);
    EXPECT_EQ(progress.marks,
              (std::vector<std::string>{"pause@0", "30@1", "50@15", "99@21", "pause@21"}));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(ProtocolFormTest, FormsTwoToFourFillTheirBookmarksInOrder) {
    const std::string start = " 1.05.09 14:05:33";
    const std::string end = "12.06.09  8:00:00";
    const std::vector<std::string> craneAndRecorder =
        Lines({2, 5, 6, 1, 7, 8, 9, 10, 11, 14, 15, 16, 17, 18});
    struct Case {
        Builder build;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {N21Click,
         Joined({{"WordOpenTemplate(\"Форма 2.rtf\")"},
                 Lines({15, 16, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}),
                 {Fill("chciklov", "171"), Fill("smass", " 65536.0 т"),
                  "WordFillBookmark(\"peregryz\",21)", Fill("massaperegryza", " 65536.1 т"),
                  Fill("vremyaschit", end), Line(19), "WordShow()"}})},
        {N31Click, Joined({{"WordOpenTemplate(\"Форма 3.rtf\")"},
                           craneAndRecorder,
                           {Fill("Uf", "171"), Fill("smass", " 65536.0 т"), Fill("Tbeg", start),
                            Fill("Tend", end), "WordFillBookmark(\"overcycle\",21)",
                            Fill("massaOGP", " 65536.1 т"), Line(19), "WordShow()"}})},
        {N41Click,
         Joined({{"WordOpenTemplate(\"Форма 4.rtf\")"},
                 craneAndRecorder,
                 {Fill("scycle", "171"), Fill("smass", " 65536.0 т"), Fill("readtime", end),
                  Fill("time", start + " --- " + end), Line(19), "WordShow()"}})},
    };
    for (const Case& c : cases) {
        word = RecordingWordLayer();
        progress.marks.clear();
        EXPECT_TRUE(c.build(inputs, word));
        EXPECT_EQ(word.Log(), c.log);
        const std::string shown = "@" + std::to_string(c.log.size() - 1);
        EXPECT_EQ(progress.marks, (std::vector<std::string>{"0@0", "30@1", "50@12", "99" + shown,
                                                            "pause" + shown}));
    }
}

TEST_F(ProtocolFormTest, FiguresTooWideForTheirFieldsShowOverflowMarks) {
    sheet.SetValue(1, C(std::string(60, 'A') + "Кран567890"));  // 70 characters
    wholeLife.masses[0] = 1234567.8f;
    wholeLife.end.month = 0;
    PutStatistics(image, map::kStatisticsTotalAddress, wholeLife);
    ASSERT_TRUE(N21Click(inputs, word));
    EXPECT_EQ(word.Log()[3], Fill("info02", std::string(60, 'A') + "Кра"));
    EXPECT_EQ(word.Log()[14], Fill("smass", "******.* т"));
    EXPECT_EQ(word.Log()[17], Fill("vremyaschit", "??.??.?? ??:??:??"));
}

// Each form stops at its own block, before the template is opened, and
// minds no other block.
TEST_F(ProtocolFormTest, AnUnusableBlockGivesTheMessageAndNoDocument) {
    const std::pair<Builder, std::uint32_t> cases[] = {
        {N11Click, map::kStatisticsSinceAddress},
        {N21Click, map::kStatisticsTotalAddress},
        {N31Click, map::kStatisticsTotalAddress},
        {N41Click, map::kStatisticsTotalAddress},
    };
    const auto pristine = image.image;
    for (const auto& [build, ownBlock] : cases) {
        const std::uint32_t otherBlock = ownBlock == map::kStatisticsSinceAddress
                                             ? map::kStatisticsTotalAddress
                                             : map::kStatisticsSinceAddress;
        image.At(otherBlock)[map::kStatisticsBlockSize - 1] ^= 1;
        EXPECT_TRUE(build(inputs, word));

        image.At(ownBlock)[map::kStatisticsBlockSize - 1] ^= 1;
        word = RecordingWordLayer();
        EXPECT_FALSE(build(inputs, word));
        image.image = pristine;
        image.failAll = true;
        EXPECT_FALSE(build(inputs, word));
        image.failAll = false;
        EXPECT_TRUE(word.Log().empty());
        EXPECT_EQ(notifier.messages, (std::vector<std::string>(2, "Данные не загружены.")));
        notifier.messages.clear();
    }
}

// A damaged template still gives its document; ending the program is the
// caller's part.
TEST_F(ProtocolFormTest, AMissingBookmarkDoesNotStopTheForm) {
    word.SetBookmarkMissing("Tbeg");
    EXPECT_TRUE(N11Click(inputs, word));
    EXPECT_TRUE(word.MustTerminate());
    EXPECT_EQ(word.Log().size(), 23u);  // open, 20 fills, the message, show
    EXPECT_EQ(word.Log().back(), "WordShow()");
}

}  // namespace
}  // namespace zorvek::test
