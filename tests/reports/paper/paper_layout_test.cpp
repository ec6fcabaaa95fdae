// Documents laid out on pages and written as PDF, read back with the
// machine's PDF tools as a reader would see them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "reports/paper/paper_writer.h"
#include "tests/support/host_tools.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

PaperParagraph Line(std::string text, double sizePt = 12, bool keepWithNext = false) {
    PaperParagraph paragraph;
    paragraph.runs.push_back(PaperRun{std::move(text), sizePt});
    paragraph.keepWithNext = keepWithNext;
    return paragraph;
}

PaperRow Row(const std::vector<std::string>& texts, bool header = false) {
    PaperRow row;
    row.gap = 108;
    row.header = header;
    int right = 0;
    for (const std::string& text : texts) {
        PaperCell cell;
        right += 3000;
        cell.right = right;
        cell.borderLeft = cell.borderTop = cell.borderRight = cell.borderBottom = 10;
        cell.paragraphs.push_back(Line(text, 11));
        row.cells.push_back(std::move(cell));
    }
    return row;
}

// A table of `rows` numbered rows under a two-line head.
PaperTable NumberedTable(int rows) {
    PaperTable table;
    table.rows.push_back(Row({"Шапка", "таблицы"}, true));
    table.rows.push_back(Row({"№", "Значение"}, true));
    for (int i = 1; i <= rows; ++i) {
        table.rows.push_back(Row({"строка " + std::to_string(i), std::to_string(i * 1.5)}));
    }
    return table;
}

class PaperPdf : public test::TempDirTest {
  protected:
    void SetUp() override {
        if (!test::OnPath("pdftotext") || !test::OnPath("pdfinfo") || !test::OnPath("pdffonts")) {
            GTEST_SKIP() << "poppler's pdftotext, pdfinfo or pdffonts is not installed";
        }
        TempDirTest::SetUp();
    }

    std::filesystem::path Write(const PaperDocument& document) {
        const auto path = m_dir / "document.pdf";
        EXPECT_TRUE(WritePdf(document, path));
        return path;
    }
    std::string Run(const std::string& command) {
        return test::Output(command, m_dir / "output.txt").value_or("");
    }
    // Each page's text, in reading order.
    std::vector<std::string> Pages(const std::filesystem::path& pdf) {
        std::vector<std::string> pages;
        std::string text = Run("pdftotext -layout " + test::Quoted(pdf) + " -");
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t feed = std::min(text.find('\f', start), text.size());
            pages.push_back(text.substr(start, feed - start));
            start = feed + 1;
        }
        return pages;
    }
};

TEST_F(PaperPdf, PagesCarryTheirSizeNumbersAndEmbeddedFonts) {
    for (const bool landscape : {false, true}) {
        PaperDocument document;
        if (landscape) std::swap(document.page.width, document.page.height);
        document.blocks.push_back(Line("Протокол № 17: 12345.6 т, ёЁ «кавычки»", 14));
        document.blocks.push_back(NumberedTable(120));
        const auto pdf = Write(document);
        const std::string info = Run("pdfinfo " + test::Quoted(pdf));
        EXPECT_TRUE(test::A4(info, landscape)) << info;
        const auto pages = Pages(pdf);
        ASSERT_GE(pages.size(), 3u);
        EXPECT_NE(pages[0].find("Протокол № 17: 12345.6 т, ёЁ «кавычки»"), std::string::npos);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_NE(pages[i].find("Стр. " + std::to_string(i + 1) + " из " +
                                    std::to_string(pages.size())),
                      std::string::npos)
                << "page " << i + 1;
        }
        // Every font of the file travels inside it.
        const std::string fonts = Run("pdffonts " + test::Quoted(pdf));
        EXPECT_NE(fonts.find("Liberation"), std::string::npos) << fonts;
        for (std::size_t line = fonts.find('\n', fonts.find("----")); line != std::string::npos;
             line = fonts.find('\n', line + 1)) {
            const std::string row = fonts.substr(line + 1, fonts.find('\n', line + 1) - line - 1);
            if (!row.empty()) {
                EXPECT_NE(row.find(" yes "), std::string::npos) << row;
            }
        }
    }
}

TEST_F(PaperPdf, TableHeadRepeatsAndRowsStayWhole) {
    PaperDocument document;
    for (int i = 0; i < 30; ++i)
        document.blocks.push_back(Line("Вводный текст " + std::to_string(i)));
    // A heading kept with the table that follows it.
    document.blocks.push_back(Line("Таблица циклов", 14, true));
    PaperTable table = NumberedTable(150);
    // A tall row: its three lines must share a page.
    table.rows[60].cells[1].paragraphs = {Line("первая"), Line("вторая"), Line("третья")};
    document.blocks.push_back(table);
    const auto pages = Pages(Write(document));
    ASSERT_GE(pages.size(), 3u);
    bool headingSeen = false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string& page = pages[i];
        const bool tableHere = page.find("строка") != std::string::npos;
        if (page.find("Таблица циклов") != std::string::npos) {
            headingSeen = true;
            // Neither the heading nor the head is left at a page's foot.
            EXPECT_TRUE(tableHere) << "page " << i + 1;
        }
        if (tableHere) {
            EXPECT_NE(page.find("Шапка"), std::string::npos) << "page " << i + 1;
            EXPECT_LT(page.find("№"), page.find("строка")) << "page " << i + 1;
        }
        const bool first = page.find("первая") != std::string::npos;
        EXPECT_EQ(first, page.find("третья") != std::string::npos) << "page " << i + 1;
    }
    EXPECT_TRUE(headingSeen);
    // All 150 rows, each once.
    std::string all;
    for (const std::string& page : pages) all += page;
    for (int i = 1; i <= 150; ++i) {
        const std::string row = "строка " + std::to_string(i) + " ";
        const std::size_t at = all.find(row);
        EXPECT_NE(at, std::string::npos) << row;
        EXPECT_EQ(all.find(row, at + 1), std::string::npos) << row;
    }
}

// A short table kept whole goes to the next page whole, its heading with it.
TEST_F(PaperPdf, KeptTableMovesWhole) {
    PaperDocument document;
    for (int i = 0; i < 40; ++i)
        document.blocks.push_back(Line("Вводный текст " + std::to_string(i)));
    document.blocks.push_back(Line("Сводка", 14, true));
    PaperTable table = NumberedTable(12);
    for (std::size_t i = 0; i + 1 < table.rows.size(); ++i) table.rows[i].keepWithNext = true;
    document.blocks.push_back(table);
    const auto pages = Pages(Write(document));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].find("строка"), std::string::npos);
    for (const std::string text : {"Сводка", "строка 1 ", "строка 12"}) {
        EXPECT_NE(pages[1].find(text), std::string::npos) << text;
    }
}

TEST(PaperLayout, OddDocumentsLayOutWithoutFault) {
    PaperDocument empty;
    EXPECT_EQ(PaperLayout(empty).PageCount(), 1);

    PaperDocument odd;
    PaperParagraph broken;
    broken.picture = PaperPicture{{0x89, 'P', 'N', 'G'}, 2000, 1000};  // not a picture
    odd.blocks.push_back(broken);
    // A row taller than a page, an empty table, a cell narrower than its gap,
    // one word wider than the page.
    PaperTable tall = NumberedTable(1);
    for (int i = 0; i < 80; ++i) tall.rows[2].cells[0].paragraphs.push_back(Line("x"));
    tall.rows[2].cells[1].right = tall.rows[2].cells[0].right + 10;
    odd.blocks.push_back(tall);
    odd.blocks.push_back(PaperTable{});
    odd.blocks.push_back(Line(std::string(400, 'W') + "\t\n\t" + std::string(3, '\0')));
    const PaperLayout layout(odd);
    EXPECT_GE(layout.PageCount(), 2);
    QImage image(600, 850, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(0.05, 0.05);
    for (int i = -1; i <= layout.PageCount(); ++i) layout.PaintPage(painter, i);
}

}  // namespace
}  // namespace zorvek
