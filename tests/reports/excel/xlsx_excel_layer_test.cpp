#include "reports/excel/xlsx_excel_layer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "model/cp1251.h"
#include "tests/reports/excel/folder_sink.h"
#include "tests/reports/excel/xlsx_package.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

using test::CellLook;
using test::XlsxPackage;
using test::XmlNumber;

constexpr int kGrey = 48;
const std::string kGreyRgb = "FF969696";
const std::string kRedRgb = "FFFF0000";
// A width of 16 characters as the file stores it for the 11-point font.
constexpr double kWidth16 = 16.7109375;

std::string Cp(const char* utf8) { return Cp1251FromUtf8(utf8); }

// The drawn sides of a cell as letters: "LTBR" for a full frame.
std::string Sides(const CellLook& look) {
    std::string sides;
    if (look.left == "thin") sides += 'L';
    if (look.top == "thin") sides += 'T';
    if (look.bottom == "thin") sides += 'B';
    if (look.right == "thin") sides += 'R';
    return sides;
}

struct CommentBox {
    double widthPt = 0;
    double heightPt = 0;
};

// Comment boxes of the drawing part by "row,col" (0-based).
std::map<std::string, CommentBox> CommentBoxes(const XlsxPackage& book) {
    static const std::regex shape(
        R"(width:([0-9.,]+)pt;height:([0-9.,]+)pt[\s\S]*?<x:Row>(\d+)</x:Row><x:Column>(\d+)</x:Column>)");
    const std::string& vml = book.Entry("xl/drawings/vmlDrawing1.vml");
    std::map<std::string, CommentBox> boxes;
    for (auto it = std::sregex_iterator(vml.begin(), vml.end(), shape);
         it != std::sregex_iterator(); ++it) {
        boxes[(*it)[3].str() + "," + (*it)[4].str()] = {XmlNumber((*it)[1].str()),
                                                        XmlNumber((*it)[2].str())};
    }
    return boxes;
}

class XlsxExcelLayerTest : public test::TempDirTest {
  protected:
    XlsxPackage Show(ExcelLayer& shown) {
        EXPECT_TRUE(shown.ExcelShow());
        return XlsxPackage(sink.finished.back().first);
    }
    XlsxPackage Show() { return Show(layer); }

    test::FolderSink sink{m_dir};
    XlsxExcelLayer layer{sink, "Приложение 3"};
};

TEST_F(XlsxExcelLayerTest, StartGridlinesAndFreezeSetUpThePageAndWindow) {
    layer.ExcelStart();
    layer.ExcelShowGridlines(false);
    layer.ExcelFreezeHeader();
    const XlsxPackage book = Show();

    ASSERT_EQ(sink.finished.size(), 1u);
    EXPECT_EQ(sink.finished[0], std::make_pair(m_dir / "Приложение 3.xlsx", true));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);  // no leftovers
    EXPECT_EQ(book.Sheet().One("//m:pageSetup/@orientation"), "landscape");
    EXPECT_EQ(book.Sheet().One("//m:pageSetup/@paperSize"), "9");
    EXPECT_EQ(book.ColumnWidth(1), kWidth16);
    EXPECT_EQ(book.ColumnWidth(16384), kWidth16);
    EXPECT_EQ(book.Sheet().One("//m:sheetView/@view"), "");
    EXPECT_EQ(book.Sheet().One("//m:sheetView/@showGridLines"), "0");
    // Rows 1..4 and columns A, B stay in view.
    EXPECT_EQ(book.Sheet().One("//m:pane/@xSplit"), "2");
    EXPECT_EQ(book.Sheet().One("//m:pane/@ySplit"), "4");
    EXPECT_EQ(book.Sheet().One("//m:pane/@topLeftCell"), "C5");
    EXPECT_EQ(book.Sheet().One("//m:pane/@state"), "frozen");
    EXPECT_EQ(book.Sheet().One("//m:selection[@pane='bottomRight']/@activeCell"), "C5");
}

TEST_F(XlsxExcelLayerTest, PlainNumbersBecomeNumbersAndEverythingElseStaysText) {
    struct Case {
        const char* typed;
        std::string type;
        const char* stored;
    };
    const std::vector<Case> cases = {
        {"12", "n", "12"},
        {"    -123.4", "n", "-123.4"},
        {" 4.07.09  3:56:33", "s", " 4.07.09  3:56:33"},
        {"=A1+1", "s", "=A1+1"},
        {"\"П\"\"Л\"", "s", "\"П\"\"Л\""},
        {"", "", ""},
    };
    layer.ExcelStart();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        layer.ExcelWriteCell(0, static_cast<int>(i), false, 10, Cp(cases[i].typed));
    }
    const XlsxPackage book = Show();

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].typed);
        const std::string ref = "A" + std::to_string(i + 1);
        EXPECT_TRUE(book.HasCell(ref));
        EXPECT_EQ(book.ValueType(ref), cases[i].type);
        EXPECT_EQ(book.Value(ref), cases[i].stored);
    }
    EXPECT_EQ(book.Sheet().Count("//m:f"), 0);
}

TEST_F(XlsxExcelLayerTest, CellRowsCountFromZeroAndLargeFontsRaiseTheirRow) {
    layer.ExcelStart();
    layer.ExcelWriteCell(0, 0, false, 10, Cp("Приложение 3"));
    layer.ExcelWriteCell(3, 1, true, 14, Cp("Информация о работе крана за последние часы."));
    layer.ExcelWriteCell(3, 10, true, 26, Cp("    Не зарегистрировано!"));
    layer.ExcelWriteCell(21, 0, true, 10, "past the last letter");
    const XlsxPackage book = Show();

    EXPECT_EQ(book.Value("A1"), "Приложение 3");
    EXPECT_FALSE(book.LookAt("A1").bold);
    EXPECT_EQ(book.LookAt("A1").size, "10");
    EXPECT_EQ(book.Value("D2"), "Информация о работе крана за последние часы.");
    EXPECT_TRUE(book.LookAt("D2").bold);
    EXPECT_EQ(book.LookAt("D2").size, "14");
    EXPECT_EQ(book.Value("D11"), "    Не зарегистрировано!");
    EXPECT_EQ(book.LookAt("D11").size, "26");
    EXPECT_EQ(book.Sheet().One("//m:row[@r='1']/@ht"), "");
    EXPECT_EQ(book.Sheet().One("//m:row[@r='2']/@ht"), "18.75");
    EXPECT_EQ(book.Sheet().One("//m:row[@r='11']/@ht"), "33.75");
    EXPECT_FALSE(book.HasCell("V1"));
}

// The sheet is grey first, then each case sets the fill once more. D2 is
// written after the grey fill and takes it.
TEST_F(XlsxExcelLayerTest, FillBackgroundCoversABlockFromA1OrTheWholeSheet) {
    struct Case {
        int lastCol;
        int lastRow;
        int colour;
        std::map<std::string, std::string> fills;  // cell -> fill colour, "" for none
    };
    const std::vector<Case> cases = {
        {0, 0, kGrey, {{"A1", kGreyRgb}, {"D2", kGreyRgb}, {"Z1000", kGreyRgb}}},
        {2, 5, 0, {{"A1", ""}, {"C5", ""}, {"D2", kGreyRgb}, {"D5", kGreyRgb}, {"A6", kGreyRgb}}},
        {2, 5, 3, {{"A1", kRedRgb}, {"C5", kRedRgb}, {"D5", kGreyRgb}}},
        {3, 0, 0, {{"A1", ""}, {"D2", ""}, {"Z1000", ""}}},
        // A zero column, like a zero row, means the whole sheet.
        {0, 6, 0, {{"A1", ""}, {"A6", ""}, {"B1", ""}, {"A7", ""}}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "FillBackground(" << c.lastCol << ", " << c.lastRow
                                        << ", " << c.colour << ")");
        XlsxExcelLayer fill(sink, "fill" + std::to_string(i));
        fill.ExcelStart();
        fill.ExcelFillBackground(0, 0, kGrey);
        fill.ExcelWriteCell(3, 1, true, 14, "title");
        fill.ExcelFillBackground(c.lastCol, c.lastRow, c.colour);
        const XlsxPackage book = Show(fill);
        for (const auto& [ref, rgb] : c.fills) EXPECT_EQ(book.LookAt(ref).fillRgb, rgb) << ref;
        // Readers differ on a cell that names no format (its column's, or the
        // default); every cell names one, so the white block shows white.
        EXPECT_EQ(book.Sheet().Count("//m:c[not(@s)]"), 0);
    }
}

TEST_F(XlsxExcelLayerTest, DrawGridFramesAndCentresTheTable) {
    struct Case {
        int lastCol;
        int lastRow;
        std::map<std::string, std::string> sides;
        std::string view;
        std::string selected;
    };
    const std::vector<Case> cases = {
        {2,
         6,
         {{"A4", "LTBR"}, {"B5", "LTBR"}, {"C6", "LTBR"}, {"D4", ""}, {"A7", ""}},
         "pageBreakPreview",
         "A5"},
        // Header only: no lines between rows, the view and selection stay.
        {2,
         4,
         {{"A4", "LTBR"}, {"B4", "LTBR"}, {"C4", "LTBR"}, {"A5", ""}, {"D4", ""}},
         "",
         "A4:C4"},
        // One column: nothing between columns, so column B stays untouched.
        {0,
         6,
         {{"A4", "LTBR"}, {"A5", "LTBR"}, {"A6", "LTBR"}, {"B5", ""}},
         "pageBreakPreview",
         "A5"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "DrawGrid(" << c.lastCol << ", " << c.lastRow << ")");
        XlsxExcelLayer grid(sink, "grid" + std::to_string(i));
        grid.ExcelStart();
        for (int row = 3; row < c.lastRow; ++row) {
            for (int col = 0; col <= c.lastCol; ++col)
                grid.ExcelWriteCell(col, row, false, 10, "x");
        }
        grid.ExcelDrawGrid(c.lastCol, c.lastRow);
        const XlsxPackage book = Show(grid);
        for (const auto& [ref, sides] : c.sides) {
            EXPECT_EQ(Sides(book.LookAt(ref)), sides) << ref;
            EXPECT_EQ(book.LookAt(ref).alignment, sides.empty() ? "" : "center") << ref;
        }
        if (c.lastCol == 0) {
            EXPECT_FALSE(book.HasCell("B5"));
        }
        EXPECT_EQ(book.Sheet().One("//m:sheetView/@view"), c.view);
        EXPECT_EQ(book.Sheet().One("//m:selection/@sqref"), c.selected);
    }
}

// On paper: the rows down to the header on every page, the first two
// columns too when the table is wider than a landscape page, page numbers in
// the footer, filter buttons over a table with data rows.
TEST_F(XlsxExcelLayerTest, TheTablePrintsWithItsHeaderOnEveryPage) {
    struct Case {
        int lastCol;
        int lastRow;
        std::string titles;
        std::string filter;
    };
    // Eight 16-character columns take 936 of the page's 987 pixels; nine do not fit.
    const Case cases[] = {
        {7, 6, "'Лист1'!$1:$4", "A4:H6"},
        {8, 9, "'Лист1'!$A:$B,'Лист1'!$1:$4", "A4:I9"},
        {18, 4, "'Лист1'!$A:$B,'Лист1'!$1:$4", ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "DrawGrid(" << c.lastCol << ", " << c.lastRow << ")");
        XlsxExcelLayer grid(sink, "print" + std::to_string(i));
        grid.ExcelStart();
        grid.ExcelDrawGrid(c.lastCol, c.lastRow);
        const XlsxPackage book = Show(grid);
        const test::XmlPart workbook(book.Entry("xl/workbook.xml"));
        const std::string titles = workbook.One("//m:definedName[@name='_xlnm.Print_Titles']");
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(book.Sheet().One("//m:headerFooter/m:oddFooter"), "&CСтр. &P из &N");
        EXPECT_EQ(book.Sheet().One("//m:autoFilter/@ref"), c.filter);
        EXPECT_EQ(book.Sheet().One("//m:pageSetup/@orientation"), "landscape");
    }
}

TEST_F(XlsxExcelLayerTest, RedRowReddensTheWholeRowAndCellsWrittenLater) {
    layer.ExcelStart();
    layer.ExcelFillBackground(0, 0, kGrey);
    layer.ExcelWriteCell(0, 4, false, 10, "1");
    layer.ExcelRedRow(5);
    layer.ExcelWriteCell(1, 4, false, 10, Cp("\"MaxV\""));
    layer.ExcelWriteCell(0, 5, false, 10, "2");
    layer.ExcelRedRow(1);
    const XlsxPackage book = Show();

    for (const char* ref : {"A5", "B5", "Z5", "A1", "Z1"}) {
        EXPECT_EQ(book.LookAt(ref).fontRgb, kRedRgb) << ref;
        EXPECT_EQ(book.LookAt(ref).fillRgb, kGreyRgb) << ref;
    }
    EXPECT_EQ(book.LookAt("A5").size, "10");
    EXPECT_EQ(book.LookAt("A6").fontRgb, "");
    EXPECT_EQ(book.LookAt("A4").fontRgb, "");
}

TEST_F(XlsxExcelLayerTest, ColumnWidthsAreSetColumnByColumnWithoutOverlaps) {
    layer.ExcelStart();
    layer.ExcelSetColumnWidth(10, 23);
    layer.ExcelSetColumnWidth(0, 5);
    layer.ExcelSetColumnWidth(2, 38);
    layer.ExcelSetColumnWidth(10, 18);
    layer.ExcelSetColumnWidth(21, 50);
    const XlsxPackage book = Show();

    std::map<int, double> expected = {{1, 5.7109375}, {3, 38.7109375}, {11, 18.7109375}};
    for (const int col : {1, 2, 3, 4, 10, 11, 12, 21, 22, 16384}) {
        const double width = expected.count(col) ? expected[col] : kWidth16;
        EXPECT_EQ(book.ColumnWidth(col), width) << "column " << col;
    }
}

TEST_F(XlsxExcelLayerTest, LegendsCarryTheirTextsAndBoxSizes) {
    struct Case {
        const char* key;
        int col;
        const char* ref;
        double widthPt;
        double heightPt;
        const char* firstLine;
        int lines;
    };
    const std::vector<Case> cases = {
        {"yustkoord", 8, "I5", 300, 60, "Установка координатной защиты:", 5},
        {"koord", 9, "J5", 400, 60, "Состояние координатной защиты:", 5},
        {"warnings", 10, "K5", 350, 108, "Предупреждения:", 10},
        {"protect", 11, "L5", 350, 108, "Срабатывание защиты:", 10},
        {"discret", 12, "M5", 300, 48, "Механизм:", 3},
        {"lep", 13, "N5", 400, 96, "ЛЭП:", 9},
    };
    layer.ExcelStart();
    for (const Case& c : cases) layer.ExcelAddLegend(c.key, c.col, 4);
    const XlsxPackage book = Show();
    const auto boxes = CommentBoxes(book);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string text =
            book.Comments().One(std::string("//m:comment[@ref='") + c.ref + "']/m:text");
        EXPECT_EQ(text.substr(0, text.find('\n')), c.firstLine);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n') + 1, c.lines);
        EXPECT_NE(text.back(), '\n');
        const CommentBox box = boxes.at("4," + std::to_string(c.col));
        // The box is whole pixels: within a pixel of the size in points.
        EXPECT_NEAR(box.widthPt, c.widthPt, 0.75);
        EXPECT_NEAR(box.heightPt, c.heightPt, 0.75);
    }
    EXPECT_EQ(
        book.Comments().One("//m:comment[@ref='N5']/m:text"),
        "ЛЭП:\n"
        "«0.22-1» - установлен диапазон защиты от напряжения в пределах  220В  -  1кВ.\n"
        "«6-10»    - установлен диапазон защиты от напряжения в пределах  6кВ – 10кВ.\n"
        "«20-35»  - установлен диапазон защиты от напряжения в пределах  20кВ- 35кВ.\n"
        "«110-450» - установлен диапазон защиты от напряжения в пределах  110кВ  -  450кВ.\n"
        "«500>»   - установлен диапазон защиты от напряжения 500кВ и выше.\n"
        "\n"
        "«net err»  - нет связи с антенной, либо сработал концевик верхнего положения крюка.\n"
        "«Off» -  защита от высокого напряжения выключена.");
}

TEST_F(XlsxExcelLayerTest, SecondLegendKeepsTheFirstAndUnknownKeyOnlySelects) {
    layer.ExcelStart();
    layer.ExcelAddLegend("koord", 1, 4);
    layer.ExcelAddLegend("lep", 1, 4);
    layer.ExcelWriteCell(1, 4, false, 10, Cp("Сраб.\"П\""));
    layer.ExcelAddLegend("Koord", 5, 9);
    const XlsxPackage book = Show();

    EXPECT_EQ(book.Comments().Count("//m:comment"), 1);
    const std::string text = book.Comments().One("//m:comment[@ref='B5']/m:text");
    EXPECT_EQ(text.substr(0, text.find('\n')), "Состояние координатной защиты:");
    EXPECT_NEAR(CommentBoxes(book).at("4,1").heightPt, 60, 0.75);
    EXPECT_EQ(book.Value("B5"), "Сраб.\"П\"");
    EXPECT_EQ(book.Sheet().One("//m:selection/@sqref"), "F10");
    EXPECT_FALSE(book.HasCell("F10"));
}

// A part the package points to but lacks, or a part without a content type,
// makes the spreadsheet offer to repair the file.
TEST_F(XlsxExcelLayerTest, ThePackageHoldsTogetherWithAndWithoutLegends) {
    for (const bool legends : {true, false}) {
        SCOPED_TRACE(legends ? "legends" : "none");
        XlsxExcelLayer written(sink, legends ? "legends" : "none");
        written.ExcelStart();
        for (int row = 3; row < 8; ++row) {
            for (int col = 0; col < 3; ++col) written.ExcelWriteCell(col, row, false, 10, "x");
        }
        if (legends) {
            written.ExcelAddLegend("lep", 1, 4);
            written.ExcelAddLegend("warnings", 2, 6);
        }
        written.ExcelDrawGrid(2, 8);
        const XlsxPackage book = Show(written);

        const test::XmlPart types(book.Entry("[Content_Types].xml"));
        int relationships = 0;
        for (const auto& [name, data] : book.Entries()) {
            if (name == "[Content_Types].xml") continue;
            const std::string extension = name.substr(name.rfind('.') + 1);
            EXPECT_TRUE(types.Count("//*[@PartName='/" + name + "']") == 1 ||
                        types.Count("//*[@Extension='" + extension + "']") == 1)
                << name;
            if (extension != "rels") continue;
            // "xl/worksheets/_rels/sheet1.xml.rels" speaks for "xl/worksheets/sheet1.xml".
            const std::filesystem::path from =
                std::filesystem::path(name).parent_path().parent_path();
            for (const std::string& target :
                 test::XmlPart(data).All("//*[local-name()='Relationship']/@Target")) {
                ++relationships;
                const std::string part = (from / target).lexically_normal().generic_string();
                EXPECT_EQ(book.Entries().count(part), 1u) << name << " -> " << target;
            }
        }
        EXPECT_EQ(relationships, legends ? 9 : 7);

        EXPECT_EQ(book.Sheet().One("//m:sheetView/@view"), "pageBreakPreview");
        const auto drawing = book.Sheet().All("//m:legacyDrawing/@*[local-name()='id']");
        EXPECT_EQ(book.Entries().count("xl/comments1.xml"), legends ? 1u : 0u);
        if (!legends) {
            EXPECT_TRUE(drawing.empty());
            continue;
        }
        ASSERT_EQ(drawing.size(), 1u);
        EXPECT_EQ(book.Sheet().Names("/m:worksheet/*").back(), "legacyDrawing");
        const test::XmlPart sheetRels(book.Entry("xl/worksheets/_rels/sheet1.xml.rels"));
        EXPECT_EQ(sheetRels.One("//*[@Id='" + drawing[0] + "']/@Target"),
                  "../drawings/vmlDrawing1.vml");
        const test::XmlPart vml(book.Entry("xl/drawings/vmlDrawing1.vml"));
        EXPECT_EQ(vml.Count("//*[local-name()='shape']"), 2);
        EXPECT_EQ(book.Comments().All("//m:comment/@ref"), (std::vector<std::string>{"B5", "C7"}));
    }
}

TEST_F(XlsxExcelLayerTest, EqualLooksShareOneFormat) {
    layer.ExcelStart();
    layer.ExcelFillBackground(0, 0, kGrey);
    for (int row = 4; row < 400; ++row) {
        if (row % 7 == 0) layer.ExcelRedRow(row + 1);
        for (int col = 0; col < 19; ++col) layer.ExcelWriteCell(col, row, false, 10, "1.5");
    }
    layer.ExcelDrawGrid(18, 400);
    layer.ExcelFillBackground(18, 400, 0);
    const XlsxPackage book = Show();

    // A few dozen looks (frame by place in the table, font colour by row,
    // the grey around), not one per cell.
    EXPECT_LT(std::stoi(book.Styles().One("//m:cellXfs/@count")), 40);
}

// Limits on the size of files stand for a full disk, met at the writer's own
// scratch files, at the workbook it writes or at the document itself. A
// write either fails, saying why where the system said it, with the earlier
// file intact, or gives a sound workbook; never a part cut short. Nothing is
// left behind, and the library's English lines stay off stderr.
TEST_F(XlsxExcelLayerTest, FailedWritesLeaveTheEarlierFileAndSayWhy) {
    if (!test::FileSizeLimit::Supported()) GTEST_SKIP() << "no file size limit on this system";
    const auto target = m_dir / "Приложение 3.xlsx";
    layer.ExcelStart();
    layer.ExcelWriteCell(0, 0, false, 10, "1");
    layer.ExcelAddLegend("koord", 1, 4);
    int refusedWithReason = 0;
    testing::internal::CaptureStderr();
    for (std::size_t limit = 0; limit < 10000; limit += limit < 3000 ? 1000 : 100) {
        SCOPED_TRACE(limit);
        std::ofstream(target) << "earlier";
        bool shown = false;
        {
            const test::FileSizeLimit full(limit);
            shown = layer.ExcelShow();
        }
        ASSERT_FALSE(sink.results.empty());
        EXPECT_EQ(sink.results.back().Error(), layer.LastWrite().Error());
        if (shown) {
            EXPECT_NO_THROW(XlsxPackage{target});
        } else {
            EXPECT_FALSE(sink.finished.back().second);
            EXPECT_EQ(layer.LastWrite().Error(), TransferError::IoError);
            if (layer.LastWrite().SystemError() == EFBIG) ++refusedWithReason;
            std::ifstream earlier(target);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "earlier");
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_GT(refusedWithReason, 0);
    EXPECT_TRUE(Show().HasCell("A1"));
    layer.ExcelStart();
    EXPECT_TRUE(layer.LastWrite());

    XlsxExcelLayer nowhere(sink, "missing/Приложение 3");
    EXPECT_FALSE(nowhere.ExcelShow());
    EXPECT_EQ(nowhere.LastWrite().SystemError(), ENOENT);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing"));
}

}  // namespace
}  // namespace zorvek
