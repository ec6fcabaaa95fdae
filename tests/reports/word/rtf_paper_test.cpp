#include "reports/word/rtf_paper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "model/memory_map.h"
#include "model/passport.h"
#include "model/text_field.h"
#include "reports/common/utf8_path.h"
#include "reports/word/documents/actual_duty.h"
#include "reports/word/documents/appendix_one.h"
#include "reports/word/documents/protocol_forms.h"
#include "reports/word/rtf_text.h"
#include "reports/word/tables/cycle_tables.h"
#include "reports/word/tables/mechanism_statistics.h"
#include "sim/image_generator.h"
#include "tests/reports/word/word_test_support.h"
#include "tests/support/image_reader.h"

namespace zorvek::test {
namespace {

std::string TextOf(const PaperParagraph& paragraph) {
    std::string text;
    for (const PaperRun& run : paragraph.runs) text += run.text;
    return text;
}

// Paragraphs in reading order, those of table cells included.
std::vector<const PaperParagraph*> AllParagraphs(const PaperDocument& document) {
    std::vector<const PaperParagraph*> all;
    for (const PaperBlock& block : document.blocks) {
        if (const auto* paragraph = std::get_if<PaperParagraph>(&block)) {
            all.push_back(paragraph);
            continue;
        }
        for (const PaperRow& row : std::get<PaperTable>(block).rows) {
            for (const PaperCell& cell : row.cells) {
                for (const PaperParagraph& paragraph : cell.paragraphs) all.push_back(&paragraph);
            }
        }
    }
    return all;
}

template <typename Block>
std::vector<const Block*> BlocksOf(const PaperDocument& document) {
    std::vector<const Block*> found;
    for (const PaperBlock& block : document.blocks) {
        if (const auto* wanted = std::get_if<Block>(&block)) found.push_back(wanted);
    }
    return found;
}

std::string CellText(const PaperCell& cell) {
    return cell.paragraphs.empty() ? std::string() : TextOf(cell.paragraphs.front());
}

std::string ReadTemplate(const std::string& name) {
    std::ifstream in(std::filesystem::path(ZORVEK_TEMPLATE_DIR) / PathOfUtf8(name),
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RtfPaperTest, TemplatesReadWithTheirPageHeadingsAndTables) {
    struct Case {
        std::string file;
        std::string corner;
        std::string title;
        std::vector<std::size_t> rows;  // per table
        std::size_t paragraphs;         // outside tables
    };
    const Case cases[] = {
        {"Форма 1.rtf", "Форма 1", "ПРОТОКОЛ", {4, 11, 4}, 14},
        {"Форма 2.rtf", "Форма 2", "СПРАВКА", {2, 10, 5}, 12},
        {"Форма 3.rtf", "Форма 3", "АКТ", {9, 5, 6}, 14},
        {"Форма 4.rtf", "Форма 4", "СВЕДЕНИЯ", {9, 5, 4}, 13},
        {"Приложение.rtf", "Приложение 1", "СТАТИСТИКА НАГРУЖЕНИЯ КРАНА", {6, 9, 9, 9}, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::optional<PaperDocument> paper = PaperFromRtf(ReadTemplate(c.file));
        ASSERT_TRUE(paper);
        const PaperPage& page = paper->page;
        EXPECT_EQ(std::vector({page.width, page.height, page.marginLeft, page.marginRight,
                               page.marginTop, page.marginBottom}),
                  std::vector({11906, 16838, 1418, 850, 1134, 1134}));

        const auto paragraphs = BlocksOf<PaperParagraph>(*paper);
        ASSERT_EQ(paragraphs.size(), c.paragraphs);
        EXPECT_EQ(TextOf(*paragraphs[0]), c.corner);
        EXPECT_EQ(paragraphs[0]->align, PaperAlign::Right);
        EXPECT_EQ(paragraphs[0]->spaceAfter, 120);
        EXPECT_EQ(paragraphs[0]->runs[0].sizePt, 10);
        EXPECT_FALSE(paragraphs[0]->runs[0].bold);
        ASSERT_EQ(paragraphs[1]->runs.size(), 1u);
        EXPECT_EQ(paragraphs[1]->runs[0].text, c.title);
        EXPECT_EQ(paragraphs[1]->align, PaperAlign::Centre);
        EXPECT_TRUE(paragraphs[1]->runs[0].bold);
        EXPECT_EQ(paragraphs[1]->runs[0].sizePt, 14);

        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < paper->blocks.size(); ++i) {
            const auto* table = std::get_if<PaperTable>(&paper->blocks[i]);
            if (table == nullptr) continue;
            rows.push_back(table->rows.size());
            // Each section's heading stays with its table; a 6-point gap follows.
            if (rows.size() > 1) {
                EXPECT_TRUE(std::get<PaperParagraph>(paper->blocks[i - 1]).keepWithNext);
            }
            const auto& after = std::get<PaperParagraph>(paper->blocks.at(i + 1));
            EXPECT_TRUE(after.runs.empty());
            EXPECT_EQ(after.emptySizePt, 6);
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// Documents made by the RTF writer, from templates and from nothing.
class RtfPaperLayerTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_sink.target = m_dir / "shown.rtf";
    }

    PaperDocument Paper(const RtfWordLayer& word) {
        std::optional<PaperDocument> paper = PaperFromRtf(word.Rtf());
        EXPECT_TRUE(paper);
        return paper.value_or(PaperDocument{});
    }

    RecordingNotifier m_notifier;
    RecordingSink m_sink;
    RtfWordLayer m_word{ZORVEK_TEMPLATE_DIR, m_notifier, m_sink};
};

TEST_F(RtfPaperLayerTest, FilledTemplatesKeepCellFramesFontsAndFills) {
    ASSERT_TRUE(m_word.WordOpenTemplate(C("Форма 1.rtf")));
    m_word.WordFillBookmark("info15", C("ОНК-160С «Ёлка»"));
    m_word.WordFillBookmark("info16", C("№ 0815, 2009 г."));
    const PaperDocument form = Paper(m_word);
    const PaperRow& row = BlocksOf<PaperTable>(form).at(0)->rows.at(0);
    EXPECT_EQ(row.gap, 108);
    EXPECT_FALSE(row.header);
    ASSERT_EQ(row.cells.size(), 2u);
    EXPECT_EQ(row.cells[0].right, 4200);
    EXPECT_EQ(row.cells[1].right, 9638);
    EXPECT_EQ(row.cells[0].borderBottom, 0);
    // Only the value is underlined, as a form's blank.
    EXPECT_EQ(std::vector({row.cells[1].borderLeft, row.cells[1].borderTop,
                           row.cells[1].borderRight, row.cells[1].borderBottom}),
              std::vector({0, 0, 0, 10}));
    EXPECT_EQ(row.cells[1].verticalAlign, PaperVerticalAlign::Bottom);
    EXPECT_EQ(CellText(row.cells[0]), "Тип и модификация регистратора");
    // Each fill but the last is bold where the template is regular.
    const PaperParagraph& first = row.cells[1].paragraphs.at(0);
    ASSERT_EQ(first.runs.size(), 1u);
    EXPECT_EQ(first.runs[0].text, "ОНК-160С «Ёлка»");
    EXPECT_TRUE(first.runs[0].bold);
    EXPECT_EQ(first.runs[0].sizePt, 11);
    const PaperParagraph& second =
        BlocksOf<PaperTable>(form)[0]->rows.at(1).cells.at(1).paragraphs.at(0);
    EXPECT_EQ(TextOf(second), "№ 0815, 2009 г.");
    EXPECT_FALSE(second.runs.at(0).bold);

    ASSERT_TRUE(m_word.WordOpenTemplate(C("Приложение.rtf")));
    m_word.WordFillBookmark("begin", "01.05.09 14:05:33");
    const PaperDocument appendix = Paper(m_word);
    const auto tables = BlocksOf<PaperTable>(appendix);
    const PaperParagraph& value = tables.at(0)->rows.at(0).cells.at(1).paragraphs.at(0);
    EXPECT_EQ(value.align, PaperAlign::Right);
    EXPECT_EQ(value.spaceBefore, 200);
    ASSERT_EQ(value.runs.size(), 1u);
    EXPECT_EQ(value.runs[0].font, PaperFont::Mono);
    EXPECT_EQ(value.runs[0].sizePt, 10);
    EXPECT_EQ(tables[0]->rows[0].cells[0].paragraphs.at(0).runs.at(0).font, PaperFont::Serif);
    // The load tables open with a framed header row repeated on every page.
    const PaperTable& loads = *tables.at(1);
    EXPECT_TRUE(loads.rows.at(0).header);
    EXPECT_FALSE(loads.rows.at(1).header);
    for (const PaperCell& cell : loads.rows[0].cells) {
        EXPECT_EQ(
            std::vector({cell.borderLeft, cell.borderTop, cell.borderRight, cell.borderBottom}),
            std::vector({10, 10, 10, 10}));
        EXPECT_EQ(cell.verticalAlign, PaperVerticalAlign::Centre);
        EXPECT_TRUE(cell.paragraphs.at(0).runs.at(0).bold);
    }
    EXPECT_EQ(CellText(loads.rows[0].cells[0]), "Загрузка, % от номинальной");
    EXPECT_EQ(CellText(loads.rows[2].cells[0]), "26–50 %");
}

TEST_F(RtfPaperLayerTest, TypedDocumentsKeepTheirPageTableAndPicture) {
    struct Case {
        int orientation;
        std::vector<int> page;  // width, height, margins left, right, top, bottom
    };
    const Case cases[] = {{0, {11906, 16838, 1418, 850, 400, 1134}},
                          {1, {16838, 11906, 1134, 1134, 400, 1134}}};
    const std::vector<std::uint8_t> png = SmallPng(8, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        m_word.WordNewDocument(c.orientation);
        m_word.WordWriteLine(C("Информация о работе механизмов"), 16, true,
                             ParagraphAlign::Centred);
        m_word.WordSetHangingIndent(1418);
        m_word.WordWriteLine(C("Дата\tЗагрузка"), 9, false, ParagraphAlign::Left);
        m_word.WordSetHangingIndent(0);
        m_word.WordWriteLine(C("Механизм подъёма"), 12, false, ParagraphAlign::Left);
        m_word.WordAddTable(1, 2, 10);
        const std::pair<std::string, bool> cells[] = {{"Диапазон", true}, {"Доля", true},
                                                      {"до 25 %", false}, {"|XXX", false},
                                                      {"26–50 %", false}, {"|X", false}};
        for (const auto& [text, bold] : cells) {
            m_word.WordWriteCell(C(text), 10, bold, ParagraphAlign::Left);
        }
        m_word.WordDeleteRow();  // the row the last cell opened
        m_word.WordMoveDown();
        m_word.WordPasteCentered(png);
        m_word.WordNewParagraph();
        m_word.WordWriteText(C("Итого"), 12, false, ParagraphAlign::Left);
        const PaperDocument paper = Paper(m_word);

        const PaperPage& page = paper.page;
        EXPECT_EQ(std::vector({page.width, page.height, page.marginLeft, page.marginRight,
                               page.marginTop, page.marginBottom}),
                  c.page);
        ASSERT_EQ(paper.blocks.size(), 6u);
        const auto& title = std::get<PaperParagraph>(paper.blocks[0]);
        EXPECT_EQ(title.align, PaperAlign::Centre);
        EXPECT_EQ(title.runs.at(0).sizePt, 16);
        EXPECT_TRUE(title.runs[0].bold);
        const auto& hanging = std::get<PaperParagraph>(paper.blocks[1]);
        EXPECT_EQ(TextOf(hanging), "Дата\tЗагрузка");
        EXPECT_EQ(hanging.leftIndent, 1418);
        EXPECT_EQ(hanging.firstIndent, -1418);
        EXPECT_EQ(hanging.tabStops, std::vector({709, 1418}));
        EXPECT_TRUE(std::get<PaperParagraph>(paper.blocks[2]).keepWithNext);

        const auto& table = std::get<PaperTable>(paper.blocks[3]);
        ASSERT_EQ(table.rows.size(), 3u);
        EXPECT_EQ(std::vector({table.rows[0].header, table.rows[1].header, table.rows[2].header}),
                  std::vector({true, false, false}));
        EXPECT_TRUE(table.keepWithNext);
        const int textWidth = c.page[0] - c.page[2] - c.page[3];
        EXPECT_EQ(table.rows[2].cells.at(0).right, textWidth / 2);
        EXPECT_EQ(table.rows[2].cells.at(1).right, textWidth);
        EXPECT_EQ(table.rows[2].cells[1].borderLeft, 10);
        EXPECT_EQ(CellText(table.rows[1].cells[0]), "до 25 %");
        EXPECT_EQ(CellText(table.rows[2].cells[1]), "|X");

        const auto& shown = std::get<PaperParagraph>(paper.blocks[4]);
        ASSERT_TRUE(shown.picture);
        EXPECT_TRUE(shown.runs.empty());
        EXPECT_EQ(shown.align, PaperAlign::Centre);
        EXPECT_EQ(shown.picture->png, png);
        EXPECT_EQ(shown.picture->width, 8 * 15);
        EXPECT_EQ(shown.picture->height, 4 * 15);
        EXPECT_EQ(TextOf(std::get<PaperParagraph>(paper.blocks[5])), "Итого");
    }
}

// Small pictures that decode, for the documents that carry histograms.
class SmallPictures final : public HistogramPictures {
  public:
    std::vector<std::uint8_t> TimePicture(const StatisticsBlock&) override { return Png(); }
    std::vector<std::uint8_t> CyclePicture(const StatisticsBlock&) override { return Png(); }
    std::vector<std::uint8_t> MassPicture(const StatisticsBlock&) override { return Png(); }
    std::vector<std::uint8_t> SpectrumPicture(const StatisticsBlock&) override { return Png(); }
    static std::vector<std::uint8_t> Png() { return SmallPng(8, 4); }
};

// Every document the program writes as RTF, made from a generated image: the
// paper holds the text that an independent reader of the RTF finds, in the
// same order, and the same tables and pictures.
TEST_F(RtfPaperLayerTest, EveryDocumentReadsAsTheRtfReaderSeesIt) {
    const sim::Image generated = sim::GenerateImage({.seed = 3});
    ImageReader image;
    std::copy(generated.begin(), generated.end(), image.image.begin());
    PassportSheet sheet;
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        const std::uint8_t* text =
            image.At(memory_map::kPassportAddress) + row * memory_map::kPassportTextSize;
        sheet.SetValue(row, TextFromBuffer({text, memory_map::kPassportTextSize},
                                           memory_map::kPassportTextSize));
    }
    const ReportInputs inputs{image, sheet, m_notifier, nullptr, {}};
    SmallPictures pictures;
    using Build = std::function<bool()>;
    const std::pair<std::string, Build> documents[] = {
        {"form 1", [&] { return N11Click(inputs, m_word); }},
        {"form 2", [&] { return N21Click(inputs, m_word); }},
        {"form 3", [&] { return N31Click(inputs, m_word); }},
        {"form 4", [&] { return N41Click(inputs, m_word); }},
        {"appendix 1", [&] { return N7Click(inputs, m_word, true, pictures); }},
        {"appendix 2", [&] { return N17Click(inputs, m_word); }},
        {"appendix 4", [&] { return N15Click(inputs, m_word); }},
        {"appendix 5", [&] { return N16Click(inputs, m_word); }},
        {"appendix 6", [&] { return BuildActualDutyAppendix(inputs, m_word, true, pictures); }},
    };
    for (const auto& [name, build] : documents) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(build());
        const std::string rtf = m_word.Rtf();
        const ReadDocument read = ReadRtf(rtf);
        ASSERT_TRUE(read.ok && read.tablesSound);
        const PaperDocument paper = Paper(m_word);

        std::vector<std::string> expected;
        std::size_t expectedPictures = 0;
        for (const ReadParagraph& paragraph : read.paragraphs) {
            if (!paragraph.Text().empty()) expected.push_back(paragraph.Text());
            expectedPictures += paragraph.pictures.size();
        }
        std::vector<std::string> texts;
        std::size_t shownPictures = 0;
        for (const PaperParagraph* paragraph : AllParagraphs(paper)) {
            if (!TextOf(*paragraph).empty()) texts.push_back(TextOf(*paragraph));
            if (paragraph->picture) {
                ++shownPictures;
                EXPECT_EQ(paragraph->picture->png, SmallPictures::Png());
            }
        }
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(shownPictures, expectedPictures);

        const auto tables = BlocksOf<PaperTable>(paper);
        ASSERT_EQ(tables.size(), read.tables.size());
        for (std::size_t t = 0; t < tables.size(); ++t) {
            std::vector<bool> header;
            for (const PaperRow& row : tables[t]->rows) header.push_back(row.header);
            EXPECT_EQ(header, read.tables[t].header) << "table " << t;
        }
    }
    EXPECT_TRUE(m_notifier.messages.empty());
}

// A document made for this test: our head, then `body`.
std::optional<PaperDocument> Body(std::string_view body) {
    return PaperFromRtf(
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman Times;}"
        "{\\f1\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}" +
        std::string(body) + "}");
}

TEST(RtfPaperTest, ReadsWhatOtherWritersMightPutThere) {
    struct Case {
        std::string body;
        std::function<void(const PaperDocument&)> check;
    };
    const auto first = [](const PaperDocument& d) -> const PaperParagraph& {
        return std::get<PaperParagraph>(d.blocks.at(0));
    };
    std::string png;
    AppendRtfHex(png, SmallPng(8, 4));
    const Case cases[] = {
        // Formatting follows the groups; the fallback of \uN is skipped as \uc says.
        {"\\fs20{\\b\\f1\\cf1 \\'c0\\uc2\\u1041 xy}\\u1042?\\~\\{\\\\\\}\\par",
         [&](const PaperDocument& d) {
             const auto& runs = first(d).runs;
             ASSERT_EQ(runs.size(), 2u);
             EXPECT_EQ(runs[0].text, "АБ");
             EXPECT_TRUE(runs[0].bold);
             EXPECT_EQ(runs[0].font, PaperFont::Sans);
             EXPECT_EQ(runs[0].colour, 0xFF0000u);
             EXPECT_EQ(runs[1].text, "В\u00A0{\\}");
             EXPECT_EQ(runs[1].sizePt, 10);
             EXPECT_EQ(runs[1].font, PaperFont::Serif);
         }},
        // A pair of halves is one character beyond the first plane.
        {"\\u-10179?\\u-8704?\\par",
         [&](const PaperDocument& d) { EXPECT_EQ(TextOf(first(d)), "\U0001F600"); }},
        {"\\qj\\li-100 a\\page b\\par\\pard\\pagebb c\\par",
         [&](const PaperDocument& d) {
             ASSERT_EQ(d.blocks.size(), 3u);
             EXPECT_EQ(first(d).align, PaperAlign::Left);
             EXPECT_EQ(first(d).leftIndent, -100);
             EXPECT_FALSE(first(d).pageBreakBefore);
             EXPECT_TRUE(std::get<PaperParagraph>(d.blocks[1]).pageBreakBefore);
             EXPECT_TRUE(std::get<PaperParagraph>(d.blocks[2]).pageBreakBefore);
         }},
        // A line without a width is 15 twips; \brdrnone takes a line away.
        {"\\trowd\\trleft-108\\trrh-300\\clbrdrl\\brdrs\\clbrdrt\\brdrw30\\brdrdb"
         "\\clbrdrb\\brdrs\\brdrnone\\clcbpat1\\cellx1000\\clcbpat0\\cellx900"
         "\\pard\\intbl a\\cell b\\cell c\\cell\\row\\pard d\\par",
         [&](const PaperDocument& d) {
             const PaperRow& row = std::get<PaperTable>(d.blocks.at(0)).rows.at(0);
             EXPECT_EQ(row.left, -108);
             EXPECT_EQ(row.minHeight, 300);
             ASSERT_EQ(row.cells.size(), 3u);
             const PaperCell& cell = row.cells[0];
             EXPECT_EQ(std::vector({cell.right, cell.borderLeft, cell.borderTop, cell.borderRight,
                                    cell.borderBottom}),
                       std::vector({1108, 15, 30, 0, 0}));
             EXPECT_EQ(cell.fill, 0xFF0000u);
             EXPECT_EQ(row.cells[1].fill, std::nullopt);
             // Edges never run backwards; a cell without one is an inch wide.
             EXPECT_EQ(row.cells[1].right, 1108);
             EXPECT_EQ(row.cells[2].right, 1108 + 1440);
             EXPECT_EQ(CellText(row.cells[2]), "c");
             EXPECT_EQ(TextOf(std::get<PaperParagraph>(d.blocks.at(1))), "d");
         }},
        // The first section's page wins over the document's; turned as it says.
        {"\\paperw11906\\paperh16838\\margl9000\\margr9000\\sectd\\lndscpsxn\\pgwsxn11000"
         "\\sect\\sectd\\pgwsxn5000 a",
         [&](const PaperDocument& d) {
             EXPECT_EQ(std::vector({d.page.width, d.page.height}), std::vector({16838, 11000}));
             // Margins that leave no text are brought in.
             EXPECT_EQ(d.page.TextWidth(), 1440);
             EXPECT_EQ(TextOf(std::get<PaperParagraph>(d.blocks.at(1))), "a");
             EXPECT_TRUE(std::get<PaperParagraph>(d.blocks[1]).pageBreakBefore);
         }},
        // A picture stands alone: text beside it goes before and after it.
        {"\\qc a{\\pict\\pngblip\\picscalex50 " + png + "}b\\par",
         [&](const PaperDocument& d) {
             ASSERT_EQ(d.blocks.size(), 3u);
             EXPECT_EQ(TextOf(first(d)), "a");
             const auto& shown = std::get<PaperParagraph>(d.blocks[1]);
             ASSERT_TRUE(shown.picture);
             EXPECT_TRUE(shown.runs.empty());
             EXPECT_EQ(shown.align, PaperAlign::Centre);
             EXPECT_EQ(shown.picture->width, 8 * 15 / 2);
             EXPECT_EQ(shown.picture->height, 4 * 15);
             EXPECT_EQ(TextOf(std::get<PaperParagraph>(d.blocks[2])), "b");
         }},
        // Destinations of no use on paper leave nothing behind.
        {"{\\header h}{\\*\\bkmkstart x}{\\*\\unknown u}{\\stylesheet{s}}"
         "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}\\par",
         [&](const PaperDocument& d) { EXPECT_EQ(TextOf(first(d)), "7"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const std::optional<PaperDocument> paper = Body(c.body);
        ASSERT_TRUE(paper);
        c.check(*paper);
    }
}

TEST(RtfPaperTest, MalformedTextGivesNothingOrWhatCanBeShown) {
    const std::vector<std::uint8_t> png = SmallPng(8, 4);
    std::string hex;
    AppendRtfHex(hex, png);
    const std::string picture = "{\\pict\\pngblip\\picwgoal200\\pichgoal100 ";
    EXPECT_FALSE(PaperFromRtf(""));
    EXPECT_FALSE(PaperFromRtf("Форма 1"));
    EXPECT_FALSE(PaperFromRtf("{\\rtf1 {\\b a}"));
    EXPECT_FALSE(PaperFromRtf("{\\rtf1 " + picture + hex.substr(0, 31)));
    EXPECT_FALSE(PaperFromRtf("{\\rtf1 \\bin999 }"));
    EXPECT_FALSE(PaperFromRtf("{\\rtf1 " + std::string(5000, '{') + std::string(5001, '}')));

    struct Case {
        std::string body;
        std::size_t pictureBytes;  // 0: no picture
    };
    const Case cases[] = {
        {picture + hex + "}", png.size()},
        // Cut inside the image data: shown as far as it goes.
        {picture + hex.substr(0, 81) + "}", 40},
        // Cut inside the header: nothing to show.
        {picture + hex.substr(0, 31) + "}", 0},
        {"{\\pict\\wmetafile8 " + hex + "}", 0},
        {"\\'\\'4\\u99999999999 \\fs-4\\fs99999 \\trowd\\cellx\\intbl a\\row", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 60));
        const std::optional<PaperDocument> paper = Body(c.body);
        ASSERT_TRUE(paper);
        std::size_t bytes = 0;
        for (const PaperParagraph* paragraph : AllParagraphs(*paper)) {
            if (paragraph->picture) {
                bytes += paragraph->picture->png.size();
                EXPECT_EQ(paragraph->picture->width, 200);
                EXPECT_EQ(paragraph->picture->height, 100);
            }
            for (const PaperRun& run : paragraph->runs) EXPECT_GT(run.sizePt, 0);
        }
        EXPECT_EQ(bytes, c.pictureBytes);
    }
}

}  // namespace
}  // namespace zorvek::test
