#include "reports/word/recording_word_layer.h"

#include <gtest/gtest.h>

#include "model/cp1251.h"

namespace zorvek {
namespace {

std::string C(std::string_view utf8) { return Cp1251FromUtf8(utf8); }

TEST(RecordingWordLayerTest, WritesEveryOperationAsAReadableLine) {
    RecordingWordLayer layer;
    EXPECT_TRUE(layer.WordOpenTemplate(C("Форма 2.rtf")));
    layer.WordFillBookmark("info02", C("КС-45717 \"Ивановец\""));
    layer.WordFillBookmark("peregryz", std::int64_t{-3});
    layer.WordNewDocument(1);
    layer.WordWriteText(C("Приложение 4\r\r"), 12, false, ParagraphAlign::Right);
    layer.WordWriteLine("a\\b\tc\x01", 16, true, ParagraphAlign::Centred);
    layer.WordAddTable(2, 1, 10);
    layer.WordWriteCell("cell", 9, false, ParagraphAlign::Left);
    layer.WordDeleteRow();
    layer.WordMoveDown();
    layer.WordNewParagraph();
    layer.WordPasteCentered(std::vector<std::uint8_t>(1532));
    EXPECT_TRUE(layer.WordShow());
    const std::vector<std::string> expected = {
        "WordOpenTemplate(\"Форма 2.rtf\")",
        "WordFillBookmark(\"info02\",\"КС-45717 \\\"Ивановец\\\"\")",
        "WordFillBookmark(\"peregryz\",-3)",
        "WordNewDocument(1)",
        "WordWriteText(\"Приложение 4\\r\\r\",12,0,3)",
        "WordWriteLine(\"a\\\\b\\tc\\x01\",16,1,2)",
        "WordAddTable(2,1,10)",
        "WordWriteCell(\"cell\",9,0,1)",
        "WordDeleteRow()",
        "WordMoveDown()",
        "WordNewParagraph()",
        "WordPasteCentered(1532 bytes)",
        "WordShow()",
    };
    EXPECT_EQ(layer.Log(), expected);
    EXPECT_FALSE(layer.MustTerminate());
}

TEST(RecordingWordLayerTest, FailsWhereItIsToldTo) {
    RecordingWordLayer layer;
    layer.SetTemplateMissing(C("Форма 1.rtf"));
    layer.SetBookmarkMissing("Tbeg");
    EXPECT_FALSE(layer.WordOpenTemplate(C("Форма 1.rtf")));
    EXPECT_TRUE(layer.WordOpenTemplate(C("Форма 3.rtf")));
    layer.WordFillBookmark("Tbeg", "x");
    layer.WordFillBookmark("Tend", "y");
    const std::vector<std::string> expected = {
        "WordOpenTemplate(\"Форма 1.rtf\")",
        "Notify(\"Файл Форма 1.rtf не найден.\")",
        "WordOpenTemplate(\"Форма 3.rtf\")",
        "WordFillBookmark(\"Tbeg\",\"x\")",
        "Notify(\"Исходные файлы программы повреждены.\\rНеобходимо переустановить программу.\")",
        "WordFillBookmark(\"Tend\",\"y\")",
    };
    EXPECT_EQ(layer.Log(), expected);
    EXPECT_TRUE(layer.MustTerminate());
}

}  // namespace
}  // namespace zorvek
