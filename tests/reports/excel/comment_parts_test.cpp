#include "reports/excel/comment_parts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/cp1251.h"
#include "tests/reports/excel/xlsx_package.h"

namespace zorvek {
namespace {

const std::string kShape = "//*[local-name()='shape']";

TEST(CommentPartsTest, TextsAreListedRowByRowAsWritten) {
    Sheet sheet;
    sheet.AddComment({4, 702}, Cp1251FromUtf8("«95%>» - загрузка & <b>"), 300, 60);
    sheet.AddComment({4, 25}, "Z", 300, 60);
    sheet.AddComment({0, 26}, "AA", 300, 60);
    sheet.AddComment({1048575, 16383}, " padded ", 300, 60);
    sheet.AddComment({9, 701}, "line 1\nline 2", 300, 60);
    const test::XmlPart xml(CommentsXml(sheet));

    EXPECT_EQ(xml.All("//m:comment/@ref"),
              (std::vector<std::string>{"AA1", "Z5", "AAA5", "ZZ10", "XFD1048576"}));
    EXPECT_EQ(xml.All("//m:comment/m:text/m:r/m:t"),
              (std::vector<std::string>{"AA", "Z", "«95%>» - загрузка & <b>", "line 1\nline 2",
                                        " padded "}));
    // Readers drop blanks at either end unless told to keep them.
    EXPECT_EQ(xml.Count("//m:t[@xml:space='preserve']"), 1);
    EXPECT_EQ(xml.All("//m:comment[@ref='Z5']//m:rFont/@val"), std::vector<std::string>{"Tahoma"});
    EXPECT_EQ(xml.All("//m:comment[@ref='Z5']//m:sz/@val"), std::vector<std::string>{"8"});
    EXPECT_EQ(xml.All("//m:authors/m:author").size(), 1u);
    EXPECT_EQ(xml.Count("//m:comment[@authorId='0']"), 5);
}

// The markup is what libxlsxwriter wrote for the same comment, which both
// office suites show as the familiar yellow box.
TEST(CommentPartsTest, ABoxIsTheLegacyNoteShape) {
    Sheet sheet;
    sheet.SetAllColumnsWidth(16);
    sheet.SetColumnWidth(0, 5);
    sheet.AddComment({4, 9}, "legend", 300, 60);
    const std::string vml = CommentsVml(sheet);

    EXPECT_NE(vml.find("<v:shape id=\"_x0000_s1025\" type=\"#_x0000_t202\" "
                       "style=\"position:absolute;margin-left:831pt;margin-top:52.5pt;width:300pt;"
                       "height:60pt;z-index:1;visibility:hidden\" fillcolor=\"#ffffe1\" "
                       "o:insetmode=\"auto\"><v:fill color2=\"#ffffe1\"/>"
                       "<v:shadow on=\"t\" color=\"black\" obscured=\"t\"/>"
                       "<v:path o:connecttype=\"none\"/><v:textbox "
                       "style=\"mso-direction-alt:auto\"><div style=\"text-align:left\"></div>"
                       "</v:textbox><x:ClientData ObjectType=\"Note\"><x:MoveWithCells/>"
                       "<x:SizeWithCells/><x:Anchor>10, 15, 3, 10, 13, 64, 7, 10</x:Anchor>"
                       "<x:AutoFill>False</x:AutoFill><x:Row>4</x:Row><x:Column>9</x:Column>"
                       "</x:ClientData></v:shape>"),
              std::string::npos);
    const test::XmlPart drawing(vml);
    EXPECT_EQ(drawing.Count("//*[local-name()='shapetype'][@id='_x0000_t202']"), 1);
}

// Shape ids run on from 1025 and every block of 1024 ids in use is declared.
TEST(CommentPartsTest, ShapeIdBlocksAreDeclaredUpToTheLastShape) {
    struct Case {
        int comments;
        std::string blocks;
        std::string lastId;
    };
    for (const Case& c : {Case{1, "1", "_x0000_s1025"}, Case{1023, "1", "_x0000_s2047"},
                          Case{1024, "1,2", "_x0000_s2048"}, Case{2048, "1,2,3", "_x0000_s3072"}}) {
        SCOPED_TRACE(c.comments);
        Sheet sheet;
        for (int i = 0; i < c.comments; ++i) sheet.AddComment({i / 20, i % 20}, "c", 100, 50);
        const test::XmlPart drawing(CommentsVml(sheet));
        EXPECT_EQ(drawing.One("//*[local-name()='idmap']/@data"), c.blocks);
        const auto ids = drawing.All(kShape + "/@id");
        ASSERT_EQ(static_cast<int>(ids.size()), c.comments);
        EXPECT_EQ(ids.back(), c.lastId);
        EXPECT_EQ(drawing.One(kShape + "[last()]//*[local-name()='Row']"),
                  std::to_string((c.comments - 1) / 20));
    }
}

}  // namespace
}  // namespace zorvek
