#include "flows/fleet_report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "model/cp1251.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "reports/word/rtf_paper.h"
#include "sim/image_generator.h"
#include "tests/archive/archive_backend.h"
#include "tests/reports/excel/xlsx_package.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

using namespace std::chrono;
using test::ArchiveBackend;
namespace map = memory_map;

constexpr sys_days kToday = 2026y / 12 / 10;

void SetPassportText(sim::Image& image, int row, const char* utf8) {
    const std::string text = Cp1251FromUtf8(utf8);
    auto field = sim::ImageSpan(image, map::kPassportAddress + row * map::kPassportTextSize,
                                map::kPassportTextSize);
    std::fill(field.begin(), field.end(), 0);
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

// A crane's image: its registration (its recorder's number too), model, owner and the passport
// dates that set its normative end; `moreCycles` added in the lightest range.
sim::Image CraneImage(const char* registration, const char* commissioned, int moreCycles = 0) {
    sim::Image image = sim::GenerateImage({});
    SetPassportText(image, PassportSheet::kRegistrationNumber, registration);
    SetPassportText(image, PassportSheet::kRecorderSerial, registration);
    SetPassportText(image, PassportSheet::kCraneType, "КБ-403А");
    SetPassportText(image, PassportSheet::kOwner, (std::string("ООО ") + registration).c_str());
    SetPassportText(image, PassportSheet::kCommissioned, commissioned);
    SetPassportText(image, PassportSheet::kNormativeTerm, "20 лет");
    auto block = sim::ImageSpan(image, map::kStatisticsTotalAddress, map::kStatisticsBlockSize);
    const int cycles = (block[4] | block[5] << 8) + moreCycles;
    block[4] = static_cast<std::uint8_t>(cycles);
    block[5] = static_cast<std::uint8_t>(cycles >> 8);
    sim::SealBlock(block);
    return image;
}

std::string CellText(const PaperCell& cell) {
    std::string text;
    for (const PaperParagraph& paragraph : cell.paragraphs) {
        for (const PaperRun& run : paragraph.runs) text += run.text;
    }
    return text;
}

class FleetReportTest : public ::testing::TestWithParam<ArchiveBackend::Kind> {
  protected:
    void SetUp() override {
        std::string whyNot;
        if (!m_backend.Start(whyNot)) GTEST_SKIP() << whyNot;
        auto opened = archive::OpenArchive(m_backend.Location());
        ASSERT_TRUE(opened) << opened.status.reason;
        m_archive = std::move(opened.value);
        m_dir = test::TestFolder("zorvek-fleet-");
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    void Add(const sim::Image& image, sys_days day) {
        archive::NewReadout readout;
        readout.image.assign(image.begin(), image.end());
        readout.readAt = sys_seconds(day) + hours(10);
        ASSERT_TRUE(m_archive->Add(readout));
    }

    ArchiveBackend m_backend{GetParam()};
    std::unique_ptr<archive::ReadoutArchive> m_archive;
    std::filesystem::path m_dir;
};

// Four cranes, one per urgency, stored in an order of their own: the report
// lists them most urgent first, each with its passport and what it did
// since its read-out before the newest, in the RTF and in the workbook.
TEST_P(FleetReportTest, ListsEveryCraneMostUrgentFirstInBothFormats) {
    Add(CraneImage("Г-4", "01.06.2020"), kToday - days(30));         // nothing due
    Add(CraneImage("Б-2", "01.03.2007"), kToday - days(30));         // ends in 3 months
    Add(CraneImage("А-1", "01.02.2000"), kToday - days(200));        // ended
    Add(CraneImage("А-1", "01.02.2000", 25), kToday - days(20));     // 25 cycles later
    Add(CraneImage("В-3", "01.06.2020"), sys_days(2025y / 12 / 1));  // read over a year ago
    const auto cranes = m_archive->FleetDetails();
    ASSERT_TRUE(cranes) << cranes.status.reason;

    const FleetReport report =
        MakeFleetReport(cranes.value, kToday, {2026, 12, 10, 9, 5, 0}, m_archive->Location());
    const FleetReportFiles files = WriteFleetReport(report, m_dir / "fleet");
    ASSERT_TRUE(files.failedFile.empty()) << files.failedFile;
    ASSERT_EQ(files.written.size(), 2U);

    const std::vector<std::string> order = {"А-1", "Б-2", "В-3", "Г-4"};
    // The RTF read back.
    std::ifstream rtfFile(m_dir / "fleet.rtf", std::ios::binary);
    const std::string rtf{std::istreambuf_iterator<char>(rtfFile), {}};
    const auto paper = PaperFromRtf(rtf);
    ASSERT_TRUE(paper);
    EXPECT_TRUE(paper->page.Landscape());
    std::vector<std::string> texts;
    const PaperTable* table = nullptr;
    for (const PaperBlock& block : paper->blocks) {
        if (const auto* paragraph = std::get_if<PaperParagraph>(&block)) {
            for (const PaperRun& run : paragraph->runs) texts.push_back(run.text);
        } else if (!table) {
            table = &std::get<PaperTable>(block);
        }
    }
    EXPECT_EQ(texts[0], "Отчёт по парку кранов");
    EXPECT_EQ(texts[1], "Составлен 10.12.2026 09:05");
    EXPECT_EQ(texts[2], "Архив: " + m_archive->Location());
    EXPECT_EQ(texts[3], "Кранов: 4, считываний: 5. Требуют внимания: 3.");
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rows.size(), 5U);
    EXPECT_TRUE(table->rows[0].header);
    EXPECT_EQ(CellText(table->rows[0].cells[5]), "Циклы");
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(CellText(table->rows[i + 1].cells[0]), order[i]);
        EXPECT_FALSE(table->rows[i + 1].header);
    }
    const auto cell = [&](int row, int column) { return CellText(table->rows[row].cells[column]); };
    EXPECT_EQ(cell(1, 2), "КБ-403А");
    EXPECT_EQ(cell(1, 3), "ООО А-1");
    EXPECT_EQ(cell(1, 4), "20.11.2026");
    EXPECT_EQ(cell(1, 5), "25");
    EXPECT_EQ(cell(1, 12), "01.02.2020");
    EXPECT_EQ(cell(1, 13), "срок службы истёк");
    EXPECT_EQ(cell(2, 5), "");  // read once: nothing to count since
    EXPECT_EQ(cell(2, 13), "срок службы истекает");
    EXPECT_EQ(cell(3, 13), "считывание старше 12 мес.");
    EXPECT_EQ(cell(4, 13), "");

    // The workbook read back: the same lines under a header row that
    // repeats on every printed page, figures as numbers.
    const test::XlsxPackage workbook(m_dir / "fleet.xlsx");
    // Below the title, two heading lines, a gap, four summary lines, a gap,
    // the note.
    const std::size_t header = 11;
    EXPECT_EQ(workbook.Value("A11"), "Рег. №");
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(workbook.Value("A" + std::to_string(header + 1 + i)), order[i]);
    }
    EXPECT_EQ(workbook.ValueType("F12"), "n");
    EXPECT_EQ(workbook.Value("F12"), "25");
    EXPECT_NE(workbook.Entry("xl/workbook.xml").find("$11:$11"), std::string::npos);
    EXPECT_NE(workbook.Entry("xl/worksheets/sheet1.xml").find("landscape"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, FleetReportTest,
                         ::testing::Values(ArchiveBackend::Kind::Sqlite,
                                           ArchiveBackend::Kind::Postgres),
                         [](const auto& backend) {
                             return backend.param == ArchiveBackend::Kind::Sqlite ? "Sqlite"
                                                                                  : "Postgres";
                         });

}  // namespace
}  // namespace zorvek
