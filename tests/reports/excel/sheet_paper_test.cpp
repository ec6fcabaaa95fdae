#include "reports/excel/sheet_paper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "model/cp1251.h"
#include "model/passport.h"
#include "reports/excel/appendix3/appendix3.h"
#include "reports/excel/xlsx_excel_layer.h"
#include "sim/image_generator.h"
#include "tests/reports/excel/appendix3/appendix3_support.h"
#include "tests/reports/excel/folder_sink.h"
#include "tests/support/image_reader.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

using Texts = std::vector<std::string>;

std::string TextOf(const PaperCell& cell) {
    std::string text;
    for (const PaperParagraph& paragraph : cell.paragraphs) {
        for (const PaperRun& run : paragraph.runs) text += run.text;
    }
    return text;
}

Texts TextsOf(const PaperRow& row) {
    Texts texts;
    for (const PaperCell& cell : row.cells) texts.push_back(TextOf(cell));
    return texts;
}

std::vector<const PaperTable*> Tables(const PaperDocument& document) {
    std::vector<const PaperTable*> tables;
    for (const PaperBlock& block : document.blocks) {
        if (const auto* table = std::get_if<PaperTable>(&block)) tables.push_back(table);
    }
    return tables;
}

// A header row below a heading repeats on every page: on paper it opens a
// table of its own, after the rows above it.
TEST(SheetPaper, RepeatedRowsBelowTheTopOpenATableOfTheirOwn) {
    Sheet sheet;
    for (int row = 0; row < 6; ++row) sheet.SetFormula({row, 0}, "r" + std::to_string(row));
    SheetPrintSetup print;
    print.titleFirstRow = 2;
    print.titleRows = 1;
    sheet.SetPrintSetup(print);
    const PaperDocument paper = PaperFromSheet(sheet);
    const std::vector<const PaperTable*> tables = Tables(paper);
    ASSERT_EQ(tables.size(), 2U);
    ASSERT_EQ(tables[0]->rows.size(), 2U);
    EXPECT_FALSE(tables[0]->rows[0].header);
    EXPECT_FALSE(tables[0]->rows[1].header);
    ASSERT_EQ(tables[1]->rows.size(), 4U);
    EXPECT_EQ(TextsOf(tables[1]->rows[0]), Texts{"r2"});
    EXPECT_TRUE(tables[1]->rows[0].header);
    EXPECT_FALSE(tables[1]->rows[1].header);
}

class SheetPaperAppendix3Test : public test::TempDirTest {
  protected:
    // Appendix 3 of a generated image with every column, as shown.
    const Sheet& Build() {
        const sim::Image image = sim::GenerateImage({}, &summary);
        std::copy(image.begin(), image.end(), source.image.begin());
        busy.Begin();
        EXPECT_TRUE(RunAppendix3({source, passport, notifier, nullptr, {}}, excel,
                                 ColumnSwitches::All(), FilterMask(), window, busy,
                                 test::FixedClock(sim::kDefaultNow)));
        return excel.CurrentSheet();
    }

    sim::ImageSummary summary;
    test::ImageReader source;
    const PassportSheet passport;
    test::NoMessages notifier;
    test::FolderSink sink{m_dir};
    XlsxExcelLayer excel{sink, "appendix3"};
    test::RecordingTitle window;
    BuildBusy busy;
};

TEST_F(SheetPaperAppendix3Test, PrintsInBandsWithRepeatedRowsAndColumns) {
    const Sheet& sheet = Build();
    const PaperDocument paper = PaperFromSheet(sheet);

    // A4 landscape; 0.7 inch at the sides, 0.75 at the head and foot.
    const PaperPage& page = paper.page;
    EXPECT_EQ((std::array{page.width, page.height, page.marginLeft, page.marginRight,
                          page.marginTop, page.marginBottom}),
              (std::array{16838, 11906, 1008, 1008, 1080, 1080}));
    EXPECT_TRUE(paper.pageNumbers);

    // Column widths in twips: A of 5 characters (40 px), B..K and R of 16
    // (117 px), L..N of 23 (166 px), O..Q of 18 (131 px), S of 38 (271 px).
    // A text width of 988 px takes A, B and as many more as fit.
    const std::vector<std::vector<int>> bands = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8}, {0, 1, 9, 10, 11, 12, 13}, {0, 1, 14, 15, 16, 17, 18}};
    const std::vector<int> widths = {600,  1755, 1755, 1755, 1755, 1755, 1755, 1755, 1755, 1755,
                                     1755, 2490, 2490, 2490, 1965, 1965, 1965, 1755, 4065};
    // Over, then down: a page's rows in every band, each on a page of its
    // own under rows 1..4, before the next rows begin.
    const std::vector<const PaperTable*> tables = Tables(paper);
    ASSERT_GT(tables.size(), bands.size());
    ASSERT_EQ(tables.size() % bands.size(), 0u);
    const int lastRow = 4 + summary.hours.valid;  // 1-based, as on the sheet
    bool sawRed = false;
    bool sawBlack = false;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        SCOPED_TRACE("band " + std::to_string(b));
        // The band's pages joined again, its head once.
        PaperTable table;
        for (std::size_t t = b; t < tables.size(); t += bands.size()) {
            EXPECT_EQ(tables[t]->pageBreakBefore, t > 0);
            for (std::size_t r = 0; r < tables[t]->rows.size(); ++r) {
                EXPECT_EQ(tables[t]->rows[r].header, r < 4);
                if (t == b || r >= 4) table.rows.push_back(tables[t]->rows[r]);
            }
        }
        ASSERT_EQ(table.rows.size(), static_cast<std::size_t>(lastRow));

        // "Приложение 3" runs over the whole band; the title from D on.
        EXPECT_EQ(TextsOf(table.rows[0]), Texts{"Приложение 3"});
        EXPECT_EQ(table.rows[0].cells[0].paragraphs[0].align, PaperAlign::Left);
        if (b == 0) {
            EXPECT_EQ(TextsOf(table.rows[1]),
                      (Texts{"", "", "", "Информация о работе крана за последние часы."}));
        }

        // From the header on every cell is its column: text, width, look.
        int right = 0;
        for (const int col : bands[b]) right += widths[static_cast<std::size_t>(col)];
        EXPECT_LE(right, paper.page.TextWidth());
        for (std::size_t r = 3; r < table.rows.size(); ++r) {
            const PaperRow& row = table.rows[r];
            ASSERT_EQ(row.cells.size(), bands[b].size()) << r;
            EXPECT_EQ(row.cells.back().right, right);
            const SheetRow& sheetRow = sheet.Rows().at(static_cast<int>(r));
            const bool red = sheetRow.format && sheetRow.format->fontColorIndex == kXlColourRed;
            for (std::size_t k = 0; k < row.cells.size(); ++k) {
                const int col = bands[b][k];
                const int left = k == 0 ? 0 : row.cells[k - 1].right;
                EXPECT_EQ(row.cells[k].right - left, widths[static_cast<std::size_t>(col)]);
                const SheetCell& cell = sheetRow.cells.at(static_cast<std::size_t>(col)).second;
                const std::string text = TextOf(row.cells[k]);
                if (cell.number) {
                    double shown = 0;
                    std::from_chars(text.data(), text.data() + text.size(), shown);
                    EXPECT_EQ(shown, *cell.number) << r << "," << col << ": " << text;
                } else {
                    EXPECT_EQ(text, Utf8FromCp1251(cell.text)) << r << "," << col;
                }
                for (const PaperParagraph& paragraph : row.cells[k].paragraphs) {
                    EXPECT_EQ(paragraph.align, PaperAlign::Centre);
                    EXPECT_EQ(paragraph.runs.at(0).colour, red ? 0xFF0000u : 0x000000u);
                }
            }
            if (r > 3) (red ? sawRed : sawBlack) = true;
        }
    }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlack);
}

// A print area prints as it is set: the cells beyond it, with text or only
// a fill, make no page, and empty rows and columns inside it still print.
TEST(SheetPaperPrintAreaTest, PrintsTheAreaAndNothingElse) {
    Sheet sheet;
    sheet.SelectAll();
    sheet.SetInteriorColorIndex(48);
    sheet.SetFormula({0, 0}, "a1");
    sheet.SetFormula({1, 1}, "b2");
    sheet.SetFormula({19, 9}, "j20");
    SheetPrintSetup print;
    print.printArea = {CellRef{0, 0}, CellRef{2, 2}};
    sheet.SetPrintSetup(print);
    const PaperDocument paper = PaperFromSheet(sheet);
    const std::vector<const PaperTable*> tables = Tables(paper);
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0]->rows.size(), 3u);
    // A text runs on over its empty neighbours, as far as the area.
    EXPECT_EQ(TextsOf(tables[0]->rows[0]), (Texts{"a1"}));
    EXPECT_EQ(TextsOf(tables[0]->rows[1]), (Texts{"", "b2"}));
    EXPECT_EQ(TextsOf(tables[0]->rows[2]), (Texts{"", "", ""}));
}

// How far a text runs over its empty neighbours on a row of A..D, and what
// the cells show. "|" is an empty cell framed at its left.
struct OverflowCase {
    const char* name;
    std::array<const char*, 4> cells;
    int col;  // of the aligned cell
    int alignment;
    std::vector<int> spans;  // in columns
    Texts shown;
    PaperAlign align;
};

class SheetPaperOverflowTest : public ::testing::TestWithParam<OverflowCase> {};

TEST_P(SheetPaperOverflowTest, SpansAndAlignment) {
    const OverflowCase& c = GetParam();
    Sheet sheet;
    sheet.SelectCells({0, 0}, {0, 3});
    sheet.SetBold(false);  // every cell of the row exists, as in a filled table
    for (int col = 0; col < 4; ++col) {
        const std::string text = c.cells[static_cast<std::size_t>(col)];
        sheet.SelectCells({0, col}, {0, col});
        if (text == "|") {
            sheet.SetBorderWeight(kXlEdgeLeft, kXlThin);
        } else {
            sheet.SetFormula({0, col}, Cp1251FromUtf8(text));
        }
    }
    sheet.SelectCells({0, c.col}, {0, c.col});
    sheet.SetHorizontalAlignment(c.alignment);
    const PaperDocument paper = PaperFromSheet(sheet);
    const PaperRow& row = Tables(paper).at(0)->rows.at(0);
    std::vector<int> spans;
    int left = 0;
    for (const PaperCell& cell : row.cells) {
        spans.push_back((cell.right - left) / (64 * 15));  // 64 px columns
        if (left <= c.col * 64 * 15 && c.col * 64 * 15 < cell.right) {
            EXPECT_EQ(cell.paragraphs.at(0).align, c.align);
        }
        left = cell.right;
    }
    EXPECT_EQ(spans, c.spans);
    EXPECT_EQ(TextsOf(row), c.shown);
}

constexpr int kGeneral = kXlAlignGeneral;

const OverflowCase kOverflowCases[] = {
    // clang-format off
    {"TextRunsRight", {"Приложение 3", "", "", ""}, 0, kGeneral, {4}, {"Приложение 3"},
     PaperAlign::Left},
    {"NumberStays", {"", " 012.50", "", ""}, 1, kGeneral, {1, 1, 1, 1}, {"", "12.5", "", ""},
     PaperAlign::Right},
    {"TextStopsAtNumber", {"текст", "", "-0", ""}, 0, kGeneral, {2, 1, 1}, {"текст", "0", ""},
     PaperAlign::Left},
    {"TextStopsAtLine", {"текст", "|", "", ""}, 0, kGeneral, {1, 1, 1, 1}, {"текст", "", "", ""},
     PaperAlign::Left},
    {"RightRunsLeft", {"", "", "текст", ""}, 2, kXlAlignRight, {3, 1}, {"текст", ""},
     PaperAlign::Right},
    {"CentreRunsEvenly", {"", "текст", "", ""}, 1, kXlAlignCentre, {3, 1}, {"текст", ""},
     PaperAlign::Centre},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Cells, SheetPaperOverflowTest, ::testing::ValuesIn(kOverflowCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Bands of a portrait page (659 px of text) from A.
struct BandCase {
    const char* name;
    std::vector<double> widths;  // characters, by column
    int titleColumns;
    std::vector<Texts> bands;
};

class SheetPaperBandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(SheetPaperBandTest, ColumnsSplitIntoBands) {
    const BandCase& c = GetParam();
    Sheet sheet;
    for (int col = 0; col < static_cast<int>(c.widths.size()); ++col) {
        sheet.SetColumnWidth(col, c.widths[static_cast<std::size_t>(col)]);
        sheet.SetFormula({0, col}, "c" + std::to_string(col));
    }
    SheetPrintSetup print;
    print.titleColumns = c.titleColumns;
    sheet.SetPrintSetup(print);
    const PaperDocument paper = PaperFromSheet(sheet);
    std::vector<Texts> bands;
    for (const PaperTable* table : Tables(paper)) bands.push_back(TextsOf(table->rows.at(0)));
    EXPECT_EQ(bands, c.bands);
    // Nothing to print still gives a page.
    EXPECT_EQ(paper.blocks.size(), std::max<std::size_t>(c.bands.size(), 1));
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, SheetPaperBandTest,
    ::testing::Values(
        // 40 characters are 285 px.
        BandCase{"NoTitleColumns", {40, 40, 40, 40, 40}, 0, {{"c0", "c1"}, {"c2", "c3"}, {"c4"}}},
        // 10 characters are 75 px: 75 + 2 * 285 fit.
        BandCase{"TitleColumnRepeats",
                 {10, 40, 40, 40, 40},
                 1,
                 {{"c0", "c1", "c2"}, {"c0", "c3", "c4"}}},
        BandCase{"ColumnWiderThanThePage", {8, 255, 8}, 0, {{"c0"}, {"c1"}, {"c2"}}},
        BandCase{"WideColumnAfterTitle", {8, 255, 8}, 1, {{"c0", "c1"}, {"c0", "c2"}}},
        BandCase{"AllFit", {8, 8}, 1, {{"c0", "c1"}}}, BandCase{"NoCells", {}, 0, {}}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace zorvek
