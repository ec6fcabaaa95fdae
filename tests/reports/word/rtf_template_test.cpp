#include "reports/word/rtf_template.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "reports/common/utf8_path.h"

namespace zorvek {
namespace {

TEST(RtfTemplateTest, FollowsBoldAndTablesUpToEachBookmark) {
    struct Case {
        std::string_view body;
        bool bold;
        bool inTable;
    };
    const Case cases[] = {
        {"\\pard Plain {\\*\\bkmkstart m}{\\*\\bkmkend m}\\par", false, false},
        {"\\pard {\\b Bold {\\*\\bkmkstart m}{\\*\\bkmkend m}}\\par", true, false},
        {"\\pard\\b {\\b0 off} on {\\*\\bkmkstart m}{\\*\\bkmkend m}\\par", true, false},
        {"\\pard\\b1\\plain {\\*\\bkmkstart m}{\\*\\bkmkend m}\\par", false, false},
        {"\\pard {\\b x}{\\*\\bkmkstart m}{\\*\\bkmkend m}\\par", false, false},
        {"\\trowd\\cellx900\\pard\\intbl\\b {\\*\\bkmkstart m}{\\*\\bkmkend "
         "m}\\cell\\row\\pard\\par",
         true, true},
        {"\\trowd\\cellx900\\pard\\intbl x\\cell\\row\\pard {\\*\\bkmkstart m}{\\*\\bkmkend "
         "m}\\par",
         false, false},
        // Binary picture data may hold braces; they are not groups.
        {"{\\*\\shppict{\\pict\\bin4 }{}x}}\\pard {\\*\\bkmkstart m}{\\*\\bkmkend m}\\par", false,
         false},
        {"{\\pict\\wmetafile8 \\bin3 {{{}\\pard {\\*\\bkmkstart m}{\\*\\bkmkend m}\\par", false,
         false},
    };
    for (const Case& c : cases) {
        const auto parsed = RtfTemplate::Parse("{\\rtf1\\ansi " + std::string(c.body) + "}");
        ASSERT_TRUE(parsed.has_value()) << c.body;
        const TemplateSpot* spot = parsed->FindBookmark("m");
        ASSERT_NE(spot, nullptr) << c.body;
        EXPECT_EQ(spot->bold, c.bold) << c.body;
        EXPECT_EQ(spot->inTable, c.inTable) << c.body;
        EXPECT_EQ(parsed->Text().compare(spot->offset, 13, "{\\*\\bkmkend m"), 0) << c.body;
    }
}

TEST(RtfTemplateTest, RejectsWhatIsNotWholeRtf) {
    for (const std::string_view text : {"", "{\\rtf1 open", "rtf1 text}", "{\\rtf1 {\\bin9 }x}"}) {
        EXPECT_FALSE(RtfTemplate::Parse(std::string(text)).has_value()) << text;
    }
}

TEST(RtfTemplateTest, BookmarksOutsideTheTextAreNotFound) {
    const auto parsed = RtfTemplate::Parse(
        "{\\rtf1{\\header {\\*\\bkmkstart h}{\\*\\bkmkend h}}{\\*\\generator {\\*\\bkmkend "
        "g}}\\pard x\\par}");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->FindBookmark("h"), nullptr);
    EXPECT_EQ(parsed->FindBookmark("g"), nullptr);
}

TEST(RtfTemplateTest, TextWidthComesFromThePage) {
    const auto sized = RtfTemplate::Parse("{\\rtf1\\paperw11906\\margl1418\\margr850 x}");
    const auto bare = RtfTemplate::Parse("{\\rtf1 x}");
    ASSERT_TRUE(sized && bare);
    EXPECT_EQ(sized->TextWidth(), 9638);
    EXPECT_EQ(bare->TextWidth(), 12240 - 2 * 1800);
}

// The templates the program ships hold every bookmark their documents fill.
TEST(ShippedTemplatesTest, HoldEveryBookmarkTheirDocumentsFill) {
    const std::vector<std::string> passportForm1 = {
        "info02", "info03", "info04", "info05", "info06", "info07", "info08", "info09",
        "info10", "info11", "info14", "info15", "info16", "info17", "info18", "info19"};
    const std::vector<std::string> passportForm2 = {
        "info02", "info03", "info04", "info05", "info06", "info07", "info08",
        "info09", "info10", "info11", "info15", "info16", "info19"};
    const std::vector<std::string> passportForms34 = {
        "info01", "info02", "info05", "info06", "info07", "info08", "info09", "info10",
        "info11", "info14", "info15", "info16", "info17", "info18", "info19"};
    std::vector<std::string> appendix = {"Begining",  "type",    "begin",     "read",
                                         "Hchislo",   "Prostoi", "harchislo", "working",
                                         "fullcercl", "fullmass"};
    for (int kind = 1; kind <= 3; ++kind) {
        for (int range = 1; range <= 8; ++range) {
            const std::string name = "T" + std::to_string(kind) + std::to_string(range);
            appendix.push_back(name);
            appendix.push_back(name + "x");
        }
    }
    auto with = [](std::vector<std::string> names, std::initializer_list<std::string> more) {
        names.insert(names.end(), more);
        return names;
    };
    const std::pair<std::string, std::vector<std::string>> templates[] = {
        {"Форма 1.rtf", with(passportForm1, {"Tbeg", "Tend", "Chislocerle", "Massar"})},
        {"Форма 2.rtf",
         with(passportForm2, {"chciklov", "smass", "peregryz", "massaperegryza", "vremyaschit"})},
        {"Форма 3.rtf",
         with(passportForms34, {"Uf", "smass", "Tbeg", "Tend", "overcycle", "massaOGP"})},
        {"Форма 4.rtf", with(passportForms34, {"scycle", "smass", "readtime", "time"})},
        {"Приложение.rtf", appendix},
    };
    for (const auto& [name, bookmarks] : templates) {
        std::ifstream in(std::filesystem::path(ZORVEK_TEMPLATE_DIR) / PathOfUtf8(name),
                         std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("\\ansicpg1251"), std::string::npos) << name;
        const auto parsed = RtfTemplate::Parse(std::move(text));
        ASSERT_TRUE(parsed.has_value()) << name;
        for (const std::string& bookmark : bookmarks) {
            const TemplateSpot* spot = parsed->FindBookmark(bookmark);
            ASSERT_NE(spot, nullptr) << name << ": " << bookmark;
            // Values are regular in the templates: the fills make them bold.
            EXPECT_FALSE(spot->bold) << name << ": " << bookmark;
        }
    }
}

}  // namespace
}  // namespace zorvek
