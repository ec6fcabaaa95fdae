#include "reports/word/rtf_word_layer.h"

#include <gtest/gtest.h>

#include "tests/reports/word/word_test_support.h"

namespace zorvek::test {
namespace {

// A value in a sentence, one in bold text, one in a table's last row.
constexpr std::string_view kForm =
    "\\pard\\plain\\fs24 Owner: {\\*\\bkmkstart info01}{\\*\\bkmkend info01} end.\\par\n"
    "\\pard\\plain {\\b Bold: {\\*\\bkmkstart bold}{\\*\\bkmkend bold}!}\\par\n"
    "\\trowd\\cellx3000\\cellx6000\n"
    "\\pard\\plain\\intbl Cell A\\cell\\pard\\plain\\intbl {\\*\\bkmkstart cell}{\\*\\bkmkend "
    "cell}\\cell\\row\n"
    "\\pard\\plain After table\\par\n"
    "\\pard\\plain Last\\par\n";
constexpr std::string_view kEmptyForm = "Owner:  end.\nBold: !\nCell A||\nAfter table\nLast\n";

class RtfWordLayerTest : public WordLayerTest {
  protected:
    void OpenForm() {
        WriteTemplate("form.rtf", kForm);
        ASSERT_TRUE(Layer().WordOpenTemplate("form.rtf"));
    }
};

TEST_F(RtfWordLayerTest, FillsLandAtTheirBookmarksAndLeaveTheRestAlone) {
    OpenForm();
    Layer().WordFillBookmark("cell", C("Кран №7"));
    Layer().WordFillBookmark("INFO01", std::int64_t{524280});  // names compare without case
    Layer().WordFillBookmark("bold", "B");
    EXPECT_EQ(Current().flat, "Owner: 524280 end.\nBold: B!\nCell A|Кран №7|\nAfter table\nLast\n");
    EXPECT_TRUE(m_notifier.messages.empty());
    EXPECT_FALSE(Layer().MustTerminate());
}

// Each fill inverts the bold state of the previous fill's text; a missing
// bookmark leaves that text selected, so the next fill inverts it back.
TEST_F(RtfWordLayerTest, EachFillInvertsTheBoldOfThePreviousOne) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> fills;
        std::vector<std::pair<std::string, bool>> bold;  // value, bold as read
        std::size_t messages;
    };
    const Case cases[] = {
        {{{"info01", "v1"}, {"bold", "v2"}, {"cell", "v3"}},
         {{"v1", true}, {"v2", false}, {"v3", false}},
         0},
        {{{"bold", "v1"}, {"info01", "v2"}}, {{"v1", false}, {"v2", false}}, 0},
        {{{"info01", "v1"}, {"nowhere", "v2"}, {"cell", "v3"}}, {{"v1", false}, {"v3", false}}, 1},
        {{{"info01", "v1"}, {"nowhere", "x"}, {"gone", "y"}, {"cell", "v3"}},
         {{"v1", true}, {"v3", false}},
         2},
    };
    for (const Case& c : cases) {
        Fresh();
        OpenForm();
        for (const auto& [name, value] : c.fills) Layer().WordFillBookmark(name, value);
        const ReadDocument document = Current();
        for (const auto& [value, bold] : c.bold) {
            const ReadRun* run = document.RunWith(value);
            ASSERT_NE(run, nullptr) << value;
            EXPECT_EQ(run->bold, bold) << value << " after " << c.fills.size() << " fills";
        }
        EXPECT_EQ(m_notifier.messages.size(), c.messages);
        EXPECT_EQ(Layer().MustTerminate(), c.messages > 0);
    }
}

TEST_F(RtfWordLayerTest, MissingBookmarkIsReportedEachTimeAndTheRestIsFilled) {
    OpenForm();
    Layer().WordFillBookmark("info01", "A");
    Layer().WordFillBookmark("Tbeg", "lost");
    Layer().WordFillBookmark("Tend", "lost");
    Layer().WordFillBookmark("cell", "C");
    const std::string damaged =
        "Исходные файлы программы повреждены.\rНеобходимо переустановить программу.";
    EXPECT_EQ(m_notifier.messages, (std::vector<std::string>{damaged, damaged}));
    EXPECT_TRUE(Layer().MustTerminate());
    EXPECT_EQ(Current().flat, "Owner: A end.\nBold: !\nCell A|C|\nAfter table\nLast\n");
    EXPECT_TRUE(Layer().WordShow());
}

TEST_F(RtfWordLayerTest, MissingTemplateGivesItsMessageAndNoDocument) {
    EXPECT_FALSE(Layer().WordOpenTemplate(C("Форма 1.rtf")));
    EXPECT_EQ(m_notifier.messages, std::vector<std::string>{"Файл Форма 1.rtf не найден."});
    EXPECT_FALSE(Layer().MustTerminate());
    Layer().WordFillBookmark("info01", "x");
    EXPECT_FALSE(Layer().WordShow());
    EXPECT_TRUE(m_sink.titles.empty());
    EXPECT_EQ(m_notifier.messages.size(), 1u);
}

TEST_F(RtfWordLayerTest, UnreadableTemplateCountsAsDamaged) {
    for (const std::string_view text : {"plain text, not RTF", "{\\rtf1 {\\b never closed}"}) {
        Fresh();
        std::ofstream(m_dir / "bad.rtf") << text;
        EXPECT_FALSE(Layer().WordOpenTemplate("bad.rtf")) << text;
        EXPECT_EQ(m_notifier.messages.size(), 1u);
        EXPECT_TRUE(Layer().MustTerminate());
    }
}

TEST_F(RtfWordLayerTest, TemplateBookmarkNamesMayBeEscaped) {
    const std::string_view names[] = {
        "{\\*\\bkmkstart \\u1044?\\u1072?\\u1090?\\u1072?}{\\*\\bkmkend "
        "\\u1044?\\u1072?\\u1090?\\u1072?}",
        "{\\*\\bkmkstart \\uc0\\u1044\\u1072\\u1090\\u1072}{\\*\\bkmkend "
        "\\uc0\\u1044\\u1072\\u1090\\u1072}",
        "{\\*\\bkmkstart \\uc2\\u1044\\'c4?\\u1072\\'e0?\\u1090\\'f2?\\u1072\\'e0?}"
        "{\\*\\bkmkend \\uc2\\u1044\\'c4?\\u1072\\'e0?\\u1090\\'f2?\\u1072\\'e0?}",
        "{\\*\\bkmkstart \\'c4\\'e0\\'f2\\'e0}{\\*\\bkmkend \\'c4\\'e0\\'f2\\'e0}",
        "{\\*\\bkmkstart \\'c4\\'c0\\'d2\\'c0}{\\*\\bkmkend \\'c4\\'c0\\'d2\\'c0}",
    };
    for (const std::string_view name : names) {
        Fresh();
        WriteTemplate("dated.rtf", "\\pard Date: " + std::string(name) + ".\\par\n");
        ASSERT_TRUE(Layer().WordOpenTemplate("dated.rtf"));
        Layer().WordFillBookmark(C("Дата"), "07.12.26");
        EXPECT_EQ(Current().flat, "Date: 07.12.26.\n") << name;
        EXPECT_TRUE(m_notifier.messages.empty()) << name;
    }
}

TEST_F(RtfWordLayerTest, HostileTextsStayText) {
    struct Case {
        std::string text;      // UTF-8
        std::string expected;  // as a reader shows it
    };
    const Case cases[] = {
        {"}{\\par", "}{\\par"},
        {"\\object", "\\object"},
        {"{\\rtf1 {\\*\\bkmkend cell}}", "{\\rtf1 {\\*\\bkmkend cell}}"},
        {"a\\'e0b", "a\\'e0b"},
        {"bell\x07 nul-free\x01\x1f!", "bell nul-free!"},
        {"tab\there", "tab\there"},
        {"Ёлка «т» №5", "Ёлка «т» №5"},
    };
    for (const Case& c : cases) {
        Fresh();
        OpenForm();
        Layer().WordFillBookmark("info01", C(c.text));
        ReadDocument filled = Current();
        EXPECT_TRUE(filled.ok);
        EXPECT_EQ(filled.flat,
                  "Owner: " + c.expected + " end.\nBold: !\nCell A||\nAfter table\nLast\n")
            << c.text;

        Layer().WordNewDocument(0);
        Layer().WordWriteLine(C(c.text), 12, false, ParagraphAlign::Left);
        Layer().WordAddTable(1, 1, 10);
        Layer().WordWriteCell(C(c.text), 10, false, ParagraphAlign::Left);
        const ReadDocument typed = Current();
        EXPECT_TRUE(typed.ok);
        EXPECT_TRUE(typed.tablesSound);
        ASSERT_EQ(typed.tables.size(), 1u) << c.text;
        EXPECT_EQ(typed.paragraphs.front().Text(), c.expected);
        EXPECT_EQ(typed.tables[0].rows.size(), 2u);
        EXPECT_EQ(typed.tables[0].rows[0][0], c.expected);
    }
}

// cp1251 leaves 0x98 without a character: readers get the replacement
// character, never the bare byte, in a fill and in typed text alike.
TEST_F(RtfWordLayerTest, TheUndefinedByteBecomesTheReplacementCharacter) {
    const std::string text = C("Кран") + "\x98" + C("№");
    OpenForm();
    Layer().WordFillBookmark("info01", text);
    EXPECT_EQ(Current().flat, "Owner: Кран\uFFFD№ end.\nBold: !\nCell A||\nAfter table\nLast\n");
    const std::string filled = Layer().Rtf();
    Layer().WordNewDocument(0);
    Layer().WordWriteLine(text, 12, false, ParagraphAlign::Left);
    EXPECT_EQ(Current().paragraphs.front().Text(), "Кран\uFFFD№");
    for (const std::string& rtf : {filled, Layer().Rtf()}) {
        EXPECT_EQ(rtf.find("\\'98"), std::string::npos);
        EXPECT_NE(rtf.find("\\u-3?"), std::string::npos);
    }
}

TEST_F(RtfWordLayerTest, LineBreaksInAFillStayInsideItsParagraph) {
    OpenForm();
    Layer().WordFillBookmark("info01", "one\r\ntwo\rthree\nfour");
    EXPECT_EQ(Current().flat,
              "Owner: one\ntwo\nthree\nfour end.\nBold: !\nCell A||\nAfter table\nLast\n");
    EXPECT_EQ(Current().paragraphs.size(),
              ReadRtf("{\\rtf1 " + std::string(kForm) + "}").paragraphs.size());
}

// The appendix's protocol: a fill of one space, then typing, which replaces
// the selected space; the next fill finds nothing selected to invert.
TEST_F(RtfWordLayerTest, TypingReplacesTheSelectedFill) {
    OpenForm();
    Layer().WordFillBookmark("info01", " ");
    Layer().WordNewParagraph();
    Layer().WordNewParagraph();
    Layer().WordWriteLine(C("Тип крана:  КС-45717"), 12, true, ParagraphAlign::Left);
    Layer().WordFillBookmark("bold", "VB");
    Layer().WordFillBookmark("cell", "C");
    const ReadDocument document = Current();
    EXPECT_EQ(document.flat,
              "Owner: \n\nТип крана:  КС-45717\n end.\nBold: VB!\nCell A|C|\nAfter table\nLast\n");
    EXPECT_TRUE(document.RunWith("Тип крана")->bold);
    EXPECT_FALSE(document.RunWith("VB")->bold);  // inverted by the fill of "cell"
}

TEST_F(RtfWordLayerTest, MovingDownInATemplateGoesLineByLine) {
    struct Case {
        std::string_view body;
        std::string_view bookmark;
        int moves;
        std::string_view expected;
    };
    const Case cases[] = {
        {kForm, "cell", 1, "Owner:  end.\nBold: !\nCell A|v|\n\nTYPEDAfter table\nLast\n"},
        {kForm, "cell", 2, "Owner:  end.\nBold: !\nCell A|v|\nAfter table\n\nTYPEDLast\n"},
        {kForm, "cell", 5, "Owner:  end.\nBold: !\nCell A|v|\nAfter table\n\nTYPEDLast\n"},
        {kForm, "info01", 1, "Owner: v end.\n\nTYPEDBold: !\nCell A||\nAfter table\nLast\n"},
        // A row is entered at the end of its first cell.
        {kForm, "info01", 2, "Owner: v end.\nBold: !\nCell A\nTYPED||\nAfter table\nLast\n"},
        // From a row to the row below: at the end of its first cell.
        {"\\trowd\\cellx3000\\cellx6000\n\\pard\\intbl {\\*\\bkmkstart b}{\\*\\bkmkend "
         "b}\\cell\\pard\\intbl x\\cell\\row\n"
         "\\trowd\\cellx3000\\cellx6000\n\\pard\\intbl first\\cell\\pard\\intbl "
         "y\\cell\\row\n\\pard After\\par\n",
         "b", 1, "v|x|\nfirst\nTYPED|y|\nAfter\n"},
        // Word writes the row's end inside a group of its own.
        {"\\pard\\intbl {\\*\\bkmkstart b}{\\*\\bkmkend "
         "b}\\cell\\pard\\intbl{\\trowd\\cellx3000\\row}\n"
         "\\pard\\plain Below\\par\n",
         "b", 1, "v|\n\nTYPEDBelow\n"},
    };
    for (const Case& c : cases) {
        Fresh();
        WriteTemplate("moves.rtf", c.body);
        ASSERT_TRUE(Layer().WordOpenTemplate("moves.rtf"));
        Layer().WordFillBookmark(c.bookmark, "v");
        for (int i = 0; i < c.moves; ++i) Layer().WordMoveDown();
        Layer().WordNewParagraph();
        Layer().WordWriteText("TYPED", 12, false, ParagraphAlign::Left);
        const ReadDocument document = Current();
        EXPECT_EQ(document.flat, c.expected) << c.bookmark << " moved " << c.moves;
        EXPECT_TRUE(document.tablesSound) << c.bookmark << " moved " << c.moves;
    }
}

TEST_F(RtfWordLayerTest, PicturesBelowATemplatesLastTableAreCentredOutsideIt) {
    OpenForm();
    Layer().WordFillBookmark("cell", "v");
    Layer().WordMoveDown();
    Layer().WordMoveDown();
    Layer().WordNewParagraph();
    Layer().WordPasteCentered(SmallPng(4, 3));
    Layer().WordNewParagraph();
    const ReadDocument document = Current();
    EXPECT_EQ(document.flat, "Owner:  end.\nBold: !\nCell A|v|\nAfter table\n\n{pict}\nLast\n");
    int pictures = 0;
    for (const ReadParagraph& paragraph : document.paragraphs) {
        if (paragraph.pictures.empty()) continue;
        ++pictures;
        EXPECT_EQ(paragraph.align, 'c');
        EXPECT_FALSE(paragraph.inTable);
    }
    EXPECT_EQ(pictures, 1);
}

// A table written row by row grows a row past its last cell; the builders
// delete that empty row and leave the table.
TEST_F(RtfWordLayerTest, TablesGrowWhileWrittenAndLoseTheEmptyRowAfterwards) {
    struct Case {
        int rows;
        int columns;
        int cells;
        std::size_t rowsBeforeDelete;
    };
    const Case cases[] = {{2, 1, 1, 2}, {2, 1, 2, 3}, {2, 1, 21, 22}, {1, 3, 24, 9}};
    for (const Case& c : cases) {
        Fresh();
        Layer().WordNewDocument(0);
        Layer().WordWriteText("Above", 12, false, ParagraphAlign::Left);
        Layer().WordAddTable(c.rows, c.columns, 10);
        std::vector<std::vector<std::string>> expected;
        for (int i = 0; i < c.cells; ++i) {
            if (i % c.columns == 0) expected.emplace_back();
            expected.back().push_back("r" + std::to_string(i / c.columns) + "c" +
                                      std::to_string(i % c.columns));
            Layer().WordWriteCell(expected.back().back(), 8, false, ParagraphAlign::Centred);
        }
        ASSERT_EQ(Current().tables.size(), 1u);
        EXPECT_EQ(Current().tables[0].rows.size(), c.rowsBeforeDelete) << c.cells << " cells";
        Layer().WordDeleteRow();
        Layer().WordMoveDown();
        Layer().WordNewParagraph();
        Layer().WordWriteLine("Below", 12, false, ParagraphAlign::Left);
        const ReadDocument document = Current();
        ASSERT_EQ(document.tables.size(), 1u);
        EXPECT_TRUE(document.tablesSound);
        EXPECT_EQ(document.tables[0].rows, expected) << c.cells << " cells";
        EXPECT_EQ(document.paragraphs.front().Text(), "Above");
        EXPECT_FALSE(document.paragraphs.front().inTable);
        const auto below = std::find_if(document.paragraphs.begin(), document.paragraphs.end(),
                                        [](const ReadParagraph& p) { return p.Text() == "Below"; });
        ASSERT_NE(below, document.paragraphs.end());
        EXPECT_FALSE(below->inTable);
        EXPECT_TRUE(document.flat.ends_with("|\n\nBelow\n\n")) << document.flat;
    }
}

// On paper no table leaves its heading behind: a table that fits a page
// keeps its rows together with the text above and below it; a longer one
// breaks, repeating a header row (a first row all in bold) on every page.
TEST_F(RtfWordLayerTest, TablesKeepTogetherOrRepeatTheirHeaderRow) {
    struct Case {
        const char* what;
        int rows;
        bool boldHeader;
        bool repeated;
        bool kept;
        bool letBreak = false;
    };
    const Case cases[] = {
        {"a short table with a header", 10, true, true, true},
        {"a short table without one", 8, false, false, true},
        {"a table longer than a page", 60, true, true, false},
        {"a short table let break, its rows many lines high", 10, true, true, false, true},
    };
    for (const Case& c : cases) {
        Fresh();
        Layer().WordNewDocument(0);
        Layer().WordWriteText("Heading:", 12, false, ParagraphAlign::Left);
        Layer().WordAddTable(1, 2, 10);
        if (c.letBreak) Layer().WordLetTableBreak();
        for (int row = 0; row < c.rows; ++row) {
            const bool bold = c.boldHeader && row == 0;
            Layer().WordWriteCell("a" + std::to_string(row), 9, bold, ParagraphAlign::Left);
            Layer().WordWriteCell("b" + std::to_string(row), 9, bold, ParagraphAlign::Left);
        }
        Layer().WordDeleteRow();
        Layer().WordMoveDown();
        Layer().WordWriteLine("Total", 12, false, ParagraphAlign::Left);
        const ReadDocument document = Current();
        ASSERT_EQ(document.tables.size(), 1u) << c.what;
        const ReadTable& table = document.tables[0];
        ASSERT_EQ(table.rows.size(), static_cast<std::size_t>(c.rows)) << c.what;
        EXPECT_TRUE(document.paragraphs.front().keepWithNext) << c.what;
        EXPECT_EQ(table.header[0], c.repeated) << c.what;
        for (std::size_t row = 1; row < table.rows.size(); ++row) {
            EXPECT_FALSE(table.header[row]) << c.what << ", row " << row;
            EXPECT_EQ(table.kept[row], c.kept) << c.what << ", row " << row;
        }
        // The header stays with the first row even where the table breaks.
        EXPECT_TRUE(table.kept[0] || !c.repeated) << c.what;
    }
}

// Columns share the text's width by their weights; weights that do not
// fit the table leave its columns equal.
TEST_F(RtfWordLayerTest, ColumnsTakeTheirShareOfTheWidth) {
    struct Case {
        const char* what;
        std::vector<int> weights;
        std::vector<int> rightEdges;  // in quarters of the text's width
    };
    const Case cases[] = {
        {"weighted", {1, 2, 1}, {1, 3, 4}},
        {"a weight of 0", {1, 0, 1}, {}},
        {"another count", {1, 3}, {}},
    };
    for (const Case& c : cases) {
        Fresh();
        Layer().WordNewDocument(1);
        Layer().WordAddTable(1, 3, 10);
        Layer().WordSetColumnWidths(c.weights);
        for (const char* text : {"a", "b", "c"})
            Layer().WordWriteCell(text, 10, false, ParagraphAlign::Left);
        const auto paper = Layer().Paper();
        ASSERT_TRUE(paper) << c.what;
        const auto* table = std::get_if<PaperTable>(&paper->blocks.front());
        ASSERT_NE(table, nullptr) << c.what;
        const int width = paper->page.TextWidth();
        for (int column = 0; column < 3; ++column) {
            const int right = table->rows.front().cells[column].right;
            const int expected =
                c.rightEdges.empty() ? width * (column + 1) / 3 : width * c.rightEdges[column] / 4;
            EXPECT_NEAR(right, expected, 1) << c.what << ", column " << column;
        }
    }
}

TEST_F(RtfWordLayerTest, TypedTextTakesItsFormatAndCarriageReturnsEndParagraphs) {
    Layer().WordNewDocument(0);
    Layer().WordWriteText(C("Приложение 2\r\r"), 12, false, ParagraphAlign::Right);
    Layer().WordWriteLine(C("Информация о работе механизмов"), 16, true, ParagraphAlign::Centred);
    Layer().WordWriteText("left", 8, false, ParagraphAlign::Left);
    const ReadDocument document = Current();
    ASSERT_EQ(document.paragraphs.size(), 4u);
    EXPECT_EQ(document.paragraphs[0].Text(), "Приложение 2");
    EXPECT_EQ(document.paragraphs[0].align, 'r');
    EXPECT_EQ(document.paragraphs[1].Text(), "");
    EXPECT_EQ(document.paragraphs[1].align, 'r');
    EXPECT_EQ(document.paragraphs[2].align, 'c');
    ASSERT_EQ(document.paragraphs[2].runs.size(), 1u);
    EXPECT_TRUE(document.paragraphs[2].runs[0].bold);
    EXPECT_EQ(document.paragraphs[2].runs[0].halfPoints, 32);
    EXPECT_EQ(document.paragraphs[3].runs[0].halfPoints, 16);
    EXPECT_EQ(document.paragraphs[3].align, 'l');
}

TEST_F(RtfWordLayerTest, NewDocumentsArePortraitOrLandscapeWithA20PointTopMargin) {
    for (const int orientation : {0, 1}) {
        Layer().WordNewDocument(orientation);
        const ReadDocument document = Current();
        EXPECT_EQ(document.landscape, orientation == 1);
        EXPECT_EQ(document.paperWidth > document.paperHeight, orientation == 1);
        EXPECT_EQ(document.marginTop, 400);
        EXPECT_NE(m_layer->Rtf().find("\\fcharset204"), std::string::npos);
    }
}

TEST_F(RtfWordLayerTest, PicturesKeepTheirSizeUnlessWiderThanTheText) {
    struct Case {
        std::uint32_t width, height;
        int goalWidth, goalHeight;
    };
    const int textWidth = 11906 - 1418 - 850;
    const Case cases[] = {{575, 248, 8625, 3720}, {1000, 500, textWidth, textWidth / 2}};
    for (const Case& c : cases) {
        Layer().WordNewDocument(0);
        Layer().WordWriteText("Chart:", 12, false, ParagraphAlign::Left);
        const std::vector<std::uint8_t> png = SmallPng(c.width, c.height);
        Layer().WordPasteCentered(png);
        const ReadDocument document = Current();
        ASSERT_EQ(document.paragraphs.size(), 2u);
        EXPECT_EQ(document.paragraphs[0].Text(), "Chart:");
        ASSERT_EQ(document.paragraphs[1].pictures.size(), 1u);
        const ReadPicture& picture = document.paragraphs[1].pictures[0];
        EXPECT_EQ(document.paragraphs[1].align, 'c');
        EXPECT_EQ(picture.width, static_cast<int>(c.width));
        EXPECT_EQ(picture.height, static_cast<int>(c.height));
        EXPECT_EQ(picture.goalWidth, c.goalWidth);
        EXPECT_EQ(picture.goalHeight, c.goalHeight);
        EXPECT_EQ(picture.bytes, png.size());
    }
}

TEST_F(RtfWordLayerTest, BytesThatAreNotAPngAreLeftOut) {
    Layer().WordNewDocument(0);
    Layer().WordWriteText("text", 12, false, ParagraphAlign::Left);
    std::vector<std::uint8_t> broken = PngHeader(10, 10);
    broken[1] = 'J';
    std::vector<std::uint8_t> cut = PngHeader(5, 5);
    cut.resize(23);  // one byte short of the height
    for (const auto& bytes : {broken, PngHeader(0, 10), cut}) Layer().WordPasteCentered(bytes);
    EXPECT_EQ(Current().flat, "text\n");
}

TEST_F(RtfWordLayerTest, ShowWritesTheDocumentWhereTheSinkSays) {
    WriteTemplate("Форма 1.rtf", kForm);
    ASSERT_TRUE(Layer().WordOpenTemplate(C("Форма 1.rtf")));
    Layer().WordFillBookmark("info01", "X");
    EXPECT_TRUE(Layer().WordShow());
    Layer().SetTitle("Приложение 4");
    Layer().WordNewDocument(1);
    EXPECT_TRUE(Layer().WordShow());
    Layer().SetTitle("");
    Layer().WordNewDocument(1);
    m_sink.target = m_dir / "no such folder" / "x.rtf";
    EXPECT_FALSE(Layer().WordShow());
    EXPECT_FALSE(Layer().LastWrite());
    EXPECT_EQ(Layer().LastWriteFile(), m_sink.target);
    // The next document, failing before it is shown, is not this write.
    Layer().SetTitle("Форма 2");
    EXPECT_TRUE(Layer().LastWrite());
    EXPECT_TRUE(Layer().LastWriteFile().empty());

    EXPECT_EQ(m_sink.titles, (std::vector<std::string>{"Форма 1", "Приложение 4", "Документ"}));
    EXPECT_EQ(m_sink.extensions, (std::vector<std::string>{"rtf", "rtf", "rtf"}));
    ASSERT_EQ(m_sink.finished.size(), 3u);
    EXPECT_TRUE(m_sink.finished[0].second);
    EXPECT_FALSE(m_sink.finished[2].second);
    const auto shown = ReadFile(m_dir / "shown.rtf");
    EXPECT_TRUE(ReadRtf(std::string(shown.begin(), shown.end())).landscape);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "shown.rtf.tmp"));
}

}  // namespace
}  // namespace zorvek::test
