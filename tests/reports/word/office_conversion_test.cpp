// Documents the layer writes, opened by an office suite and turned into PDF:
// what a person would see must be there, in order, with the pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/reports/word/word_test_support.h"
#include "tests/support/host_tools.h"

namespace zorvek::test {
namespace {

// Positions of `parts` in `text`, which must all be there and in this order.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts) {
    std::size_t from = 0;
    for (const std::string& part : parts) {
        const std::size_t at = text.find(part, from);
        ASSERT_NE(at, std::string::npos) << "\"" << part << "\" missing or out of order in:\n"
                                         << text;
        from = at + part.size();
    }
}

class OfficeConversionTest : public WordLayerTest {
  protected:
    void SetUp() override {
        if (!OnPath("soffice") || !OnPath("pdftotext") || !OnPath("pdfimages")) {
            GTEST_SKIP() << "soffice, pdftotext or pdfimages is not installed";
        }
        WordLayerTest::SetUp();
        m_shipped = std::make_unique<RtfWordLayer>(ZORVEK_TEMPLATE_DIR, m_notifier, m_sink);
    }

    void Show(RtfWordLayer& layer, const std::string& name) {
        m_sink.target = m_dir / (name + ".rtf");
        ASSERT_TRUE(layer.WordShow());
        m_shown.push_back(name);
    }

    // One run of the office suite for all files, with a profile of our own so
    // that it does not meet another instance.
    void Convert(const std::vector<std::filesystem::path>& files, std::string_view format,
                 const std::filesystem::path& folder) {
        std::string command = "timeout 300 soffice -env:UserInstallation=file://" +
                              (m_dir / "profile").string() + " --headless --convert-to '" +
                              std::string(format) + "' --outdir " + Quoted(folder);
        for (const auto& file : files) command += " " + Quoted(file);
        ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
    }

    void ConvertShown() {
        std::vector<std::filesystem::path> files;
        for (const std::string& name : m_shown) files.push_back(m_dir / (name + ".rtf"));
        Convert(files, "pdf", m_dir);
    }

    void FillForm1(RtfWordLayer& layer) {
        ASSERT_TRUE(layer.WordOpenTemplate(C("Форма 1.rtf")));
        for (const std::string_view name :
             {"info15", "info16", "info02", "info03", "info04", "info05", "info06", "info07",
              "info08", "info09", "info10", "info11", "info14", "info17", "info18"}) {
            layer.WordFillBookmark(name, C("Строка ") + std::string(name.substr(4)));
        }
        layer.WordFillBookmark("Tbeg", " 01.05.09 14:05:33");
        layer.WordFillBookmark("Tend", "12.06.09  8:00:00");
        layer.WordFillBookmark("Chislocerle", "524280");
        layer.WordFillBookmark("Massar", C("        12345.6 т"));
        layer.WordFillBookmark("info19", C("Петров П. П."));
    }

    static void ExpectForm1(const std::string& text) {
        ExpectInOrder(text, {"Форма 1", "Строка 15", "Строка 18", "Строка 02", "Строка 14",
                             "01.05.09 14:05:33", "524280", "12345.6 т", "Петров П. П."});
    }

    std::string Text(const std::string& name) {
        const auto text = m_dir / (name + ".txt");
        std::system(
            ("pdftotext -layout " + Quoted(m_dir / (name + ".pdf")) + " " + Quoted(text)).c_str());
        const auto bytes = ReadFile(text);
        return {bytes.begin(), bytes.end()};
    }

    // Pictures in the PDF, with their pixel sizes.
    std::vector<std::string> Images(const std::string& name) {
        const auto list = m_dir / (name + ".images");
        std::system(
            ("pdfimages -list " + Quoted(m_dir / (name + ".pdf")) + " > " + Quoted(list)).c_str());
        std::ifstream in(list);
        std::vector<std::string> images;
        std::string line;
        for (int header = 0; header < 2 && std::getline(in, line); ++header) {
        }
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string page, number, type, width, height;
            fields >> page >> number >> type >> width >> height;
            images.push_back(width + "x" + height);
        }
        return images;
    }

    std::unique_ptr<RtfWordLayer> m_shipped;
    std::vector<std::string> m_shown;
};

TEST_F(OfficeConversionTest, DocumentsFromTemplatesAndFromNothingReadBack) {
    RtfWordLayer& shipped = *m_shipped;
    const std::string fullBar = "|" + std::string(36, 'X');

    ASSERT_TRUE(shipped.WordOpenTemplate(C("Приложение.rtf")));
    shipped.WordFillBookmark("Begining", " ");
    shipped.WordNewParagraph();
    shipped.WordNewParagraph();
    shipped.WordWriteLine(C("Тип крана:  КС-45717"), 12, true, ParagraphAlign::Left);
    shipped.WordWriteLine(C("Заводской номер крана:  1234"), 12, true, ParagraphAlign::Left);
    shipped.WordWriteLine(C("Заводской номер регистратора:  5678"), 12, true, ParagraphAlign::Left);
    shipped.WordFillBookmark("type", C("за весь срок службы"));
    shipped.WordFillBookmark("begin", " 01.05.09 14:05:33");
    shipped.WordFillBookmark("read", "12.06.09  8:00:00");
    shipped.WordFillBookmark("Hchislo", C("         1234ч05м06с"));
    shipped.WordFillBookmark("Prostoi", C("          234ч05м06с"));
    shipped.WordFillBookmark("harchislo", "        0.5");
    shipped.WordFillBookmark("working", C("      999ч00м00с"));
    for (int kind = 1; kind <= 3; ++kind) {
        if (kind == 2) shipped.WordFillBookmark("fullcercl", "        524280");
        if (kind == 3) shipped.WordFillBookmark("fullmass", C("        12345.6 т"));
        for (int range = 1; range <= 8; ++range) {
            const std::string name = "T" + std::to_string(kind) + std::to_string(range);
            shipped.WordFillBookmark(name, "v" + std::to_string(kind) + std::to_string(range));
            shipped.WordFillBookmark(name + "x",
                                     range == 4 ? fullBar : "|" + std::string(range, 'X'));
        }
    }
    shipped.WordMoveDown();
    shipped.WordMoveDown();
    for (int chart = 0; chart < 3; ++chart) {
        shipped.WordNewParagraph();
        shipped.WordPasteCentered(SmallPng(575, 248));
        shipped.WordNewParagraph();
    }
    shipped.WordNewParagraph();
    Show(shipped, "appendix");

    FillForm1(shipped);
    Show(shipped, "form1");

    RtfWordLayer& typed = Layer();
    typed.WordNewDocument(1);
    typed.WordWriteText(C("Приложение 4\r\r"), 12, false, ParagraphAlign::Right);
    typed.WordWriteText(C("Информация о последних циклах"), 16, true, ParagraphAlign::Centred);
    typed.WordAddTable(2, 1, 10);
    typed.WordWriteCell(C("Дата и время\t\tЗагрузка"), 8, true, ParagraphAlign::Left);
    for (const std::string_view line : {"cycle one", "cycle two }{\\par \\object", "cycle three"}) {
        typed.WordWriteCell(line, 9, false, ParagraphAlign::Left);
    }
    typed.WordDeleteRow();
    typed.WordMoveDown();
    typed.WordNewParagraph();
    typed.WordWriteLine(C("Тип крана:  КС-45717"), 10, false, ParagraphAlign::Left);
    typed.WordPasteCentered(SmallPng(300, 100));
    typed.WordNewParagraph();
    typed.WordWriteText(C("Сокращения:"), 10, true, ParagraphAlign::Left);
    Show(typed, "appendix4");

    ConvertShown();

    const std::string appendix = Text("appendix");
    ExpectInOrder(appendix,
                  {"СТАТИСТИКА НАГРУЖЕНИЯ КРАНА", "за весь срок службы", "Тип крана:", "КС-45717",
                   "Заводской номер регистратора:", "5678", "Начало периода", "01.05.09 14:05:33",
                   "1234ч05м06с", "v11", "|X", "v14", fullBar, "v18", "524280", "v21", "v38"});
    EXPECT_EQ(Images("appendix"), std::vector<std::string>(3, "575x248"));

    ExpectForm1(Text("form1"));
    EXPECT_TRUE(Images("form1").empty());

    const std::string cycles = Text("appendix4");
    ExpectInOrder(cycles,
                  {"Приложение 4", "Информация о последних циклах", "Дата и время", "cycle one",
                   "cycle two }{\\par \\object", "cycle three", "Тип крана:", "Сокращения:"});
    EXPECT_EQ(Images("appendix4"), std::vector<std::string>{"300x100"});
}

// An office suite writes bookmark names plainly but text as \\uN and gives its
// fonts a Western charset; the values must still come out Cyrillic.
TEST_F(OfficeConversionTest, TemplatesSavedByAnOfficeSuiteStillFill) {
    const auto original =
        std::filesystem::path(ZORVEK_TEMPLATE_DIR) / std::filesystem::path(u8"Форма 1.rtf");
    std::filesystem::copy_file(original, m_dir / "form.rtf");
    Convert({m_dir / "form.rtf"}, "rtf:Rich Text Format", m_dir / "saved");
    std::filesystem::rename(m_dir / "saved" / "form.rtf",
                            m_dir / std::filesystem::path(u8"Форма 1.rtf"));

    FillForm1(Layer());
    EXPECT_FALSE(Layer().MustTerminate());
    EXPECT_TRUE(m_notifier.messages.empty());
    Show(Layer(), "resaved");
    ConvertShown();
    ExpectForm1(Text("resaved"));
}

}  // namespace
}  // namespace zorvek::test
