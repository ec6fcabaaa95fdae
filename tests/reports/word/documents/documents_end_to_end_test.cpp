#include <gtest/gtest.h>

#include <functional>

#include "access/dispatch.h"
#include "access/dump_file.h"
#include "model/decoders.h"
#include "reports/word/documents/appendix_one.h"
#include "reports/word/documents/protocol_forms.h"
#include "sim/image_generator.h"
#include "tests/reports/word/documents/documents_test_support.h"

namespace zorvek::test {
namespace {

namespace map = memory_map;

// Real pictures, small enough to read back.
class SmallPictures final : public HistogramPictures {
  public:
    std::vector<std::uint8_t> TimePicture(const StatisticsBlock&) override {
        return SmallPng(8, 4);
    }
    std::vector<std::uint8_t> CyclePicture(const StatisticsBlock&) override {
        return SmallPng(8, 4);
    }
    std::vector<std::uint8_t> MassPicture(const StatisticsBlock&) override {
        return SmallPng(8, 4);
    }
    std::vector<std::uint8_t> SpectrumPicture(const StatisticsBlock&) override {
        return SmallPng(8, 4);
    }
};

// A generated image loaded the way the programs load it: a dump file opened
// through the dispatch, the passport sheet filled from it. The documents go
// through the RTF writer with the templates the programs ship.
class DocumentsEndToEndTest : public TempDirTest {
  protected:
    // Windows will not remove a folder with the dump file still open in it.
    void TearDown() override {
        m_dispatch.CloseSource();
        TempDirTest::TearDown();
    }

    void Load(sim::ImageVariant variant = sim::ImageVariant::Valid) {
        const sim::Image generated = sim::GenerateImage({.seed = 3, .variant = variant});
        m_choice.craneKind = 0;
        m_choice.startupArgument = WriteFile("dannie.krd", {generated.begin(), generated.end()});
        ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
        ASSERT_TRUE(m_dispatch.LoadPassportFromRecorder());
        m_sink.target = m_dir / "document.rtf";
    }

    // Builds one document and reads it back from the file written.
    ReadDocument Build(const std::function<bool(const ReportInputs&, WordLayer&)>& build) {
        RtfWordLayer word(ZORVEK_TEMPLATE_DIR, m_notifier, m_sink);
        EXPECT_TRUE(build(m_inputs, word));
        EXPECT_FALSE(word.MustTerminate());
        const std::vector<std::uint8_t> bytes = ReadFile(m_sink.target);
        return ReadRtf(std::string(bytes.begin(), bytes.end()));
    }

    StatisticsBlock Block(std::uint32_t address) {
        StatisticsBlock block;
        EXPECT_TRUE(ReadStatistics(m_dispatch, address, block));
        return block;
    }

    std::string Passport(int row) const { return Utf8FromCp1251(m_sheet.Value(row)); }
    // As the forms keep it: the first 63 characters.
    std::string FormLine(int row) const { return Utf8FromCp1251(m_sheet.Value(row).substr(0, 63)); }

    DumpFileChoice m_choice;
    DumpFile m_dumpFile{m_choice};
    PassportSheet m_sheet;
    Dispatch m_dispatch{m_dumpFile, m_sheet};
    RecordingNotifier m_notifier;
    RecordingSink m_sink;
    ReportInputs m_inputs{m_dispatch, m_sheet, m_notifier, nullptr, {}};
};

// Every value cell of the forms' tables holds its fill: a bookmark the form
// filled in a wrong place would leave a cell empty.
void ExpectEveryCellFilled(const ReadDocument& document, const std::string& name) {
    ASSERT_TRUE(document.ok) << name;
    ASSERT_FALSE(document.tables.empty()) << name;
    for (const ReadTable& table : document.tables) {
        for (const auto& row : table.rows) {
            for (const std::string& cell : row)
                EXPECT_FALSE(cell.empty()) << name << ": " << row.front();
        }
    }
}

TEST_F(DocumentsEndToEndTest, FormsCarryThePassportAndTheTotals) {
    Load();
    const StatisticsBlock since = Block(map::kStatisticsSinceAddress);
    const StatisticsBlock wholeLife = Block(map::kStatisticsTotalAddress);
    const auto date = [](std::uint32_t packed) {
        return Utf8FromCp1251(FormatDateTime(17, packed));
    };
    struct Case {
        std::string name;
        bool (*build)(const ReportInputs&, WordLayer&);
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"Форма 1",
         N11Click,
         {Passport(1), Passport(14), Passport(18), date(since.PeriodStart()),
          date(since.PeriodEnd())}},
        {"Форма 2",
         N21Click,
         {Passport(1), Passport(15), Passport(18), date(wholeLife.PeriodEnd())}},
        {"Форма 3", N31Click, {FormLine(0), Passport(17), date(wholeLife.PeriodStart())}},
        {"Форма 4",
         N41Click,
         {Passport(13), date(wholeLife.PeriodStart()) + " --- " + date(wholeLife.PeriodEnd())}},
    };
    for (const Case& c : cases) {
        const ReadDocument document = Build(c.build);
        ExpectEveryCellFilled(document, c.name);
        for (const std::string& text : c.texts)
            EXPECT_NE(document.flat.find(text), std::string::npos) << c.name << ": " << text;
        // The owner's text is 64 characters long.
        EXPECT_EQ(document.flat.find(Passport(0)), std::string::npos) << c.name;
        EXPECT_EQ(m_sink.titles.back(), c.name);
    }
    EXPECT_TRUE(m_notifier.messages.empty());
}

TEST_F(DocumentsEndToEndTest, AppendixOneCarriesHeadingTablesAndPictures) {
    Load();
    SmallPictures pictures;
    struct Case {
        bool (*build)(const ReportInputs&, WordLayer&, bool, HistogramPictures&);
        std::string period;
        bool withPictures;
    };
    const Case cases[] = {
        {N7Click, "за весь срок службы", true},
        {N8Click, "в период между считываниями", false},
    };
    for (const Case& c : cases) {
        const ReadDocument document = Build([&](const ReportInputs& inputs, WordLayer& word) {
            return c.build(inputs, word, c.withPictures, pictures);
        });
        ExpectEveryCellFilled(document, c.period);
        const std::string heading = "Тип крана:  " + Passport(1) +
                                    "\nЗаводской номер крана:  " + Passport(5) +
                                    "\nЗаводской номер регистратора:  " + Passport(15) + "\n";
        EXPECT_NE(document.flat.find(heading), std::string::npos) << document.flat;
        EXPECT_NE(document.flat.find(c.period), std::string::npos);
        std::size_t shown = 0;
        for (const ReadParagraph& paragraph : document.paragraphs) {
            shown += paragraph.pictures.size();
            if (!paragraph.pictures.empty()) {
                EXPECT_EQ(paragraph.align, 'c');
            }
        }
        EXPECT_EQ(shown, c.withPictures ? 3u : 0u);
    }
    EXPECT_TRUE(m_notifier.messages.empty());
}

}  // namespace
}  // namespace zorvek::test
