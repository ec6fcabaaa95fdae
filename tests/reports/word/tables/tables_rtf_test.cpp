#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "model/text_field.h"
#include "reports/common/fixed_path_document_sink.h"
#include "reports/word/rtf_word_layer.h"
#include "reports/word/tables/cycle_tables.h"
#include "reports/word/tables/mechanism_statistics.h"
#include "sim/image_generator.h"
#include "tests/reports/word/rtf_reader.h"
#include "tests/reports/word/tables/table_test_support.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

namespace map = memory_map;
using test::ReadDocument;
using test::ReadTable;

using Command = bool (*)(const ReportInputs&, WordLayer&);

// The documents as a reader of the written RTF finds them, built from
// generated recorder images.
class TablesRtfTest : public test::TempDirTest {
  protected:
    void Load(sim::ImageVariant variant = sim::ImageVariant::Valid) {
        const sim::Image image = sim::GenerateImage({.seed = 3, .variant = variant}, &m_summary);
        std::copy(image.begin(), image.end(), m_image.image.begin());
        const std::uint8_t* type =
            m_image.At(map::kPassportAddress) + PassportSheet::kCraneType * map::kPassportTextSize;
        m_sheet.SetValue(PassportSheet::kCraneType,
                         TextFromBuffer({type, map::kPassportTextSize}, map::kPassportTextSize));
        // Whatever the sheet holds is text, never markup.
        m_sheet.SetValue(PassportSheet::kRegistrationNumber, "{12}\\par 345");
    }

    // The document the command wrote; nullopt when it wrote none.
    std::optional<ReadDocument> Build(Command command) {
        const std::filesystem::path file = m_dir / "shown.rtf";
        std::filesystem::remove(file);
        FixedPathDocumentSink sink(file);
        RtfWordLayer word(m_dir, m_notifier, sink);
        const bool shown = command(ReportInputs{m_image, m_sheet, m_notifier, nullptr, {}}, word);
        EXPECT_EQ(shown, std::filesystem::exists(file));
        if (!shown) return std::nullopt;
        const std::vector<std::uint8_t> bytes = ReadFile(file);
        ReadDocument document = test::ReadRtf(std::string(bytes.begin(), bytes.end()));
        EXPECT_TRUE(document.ok);
        return document;
    }

    // Texts of the paragraphs outside tables, from the first one starting with `from`.
    static std::vector<std::string> TextsFrom(const ReadDocument& document, std::string_view from,
                                              std::size_t count) {
        std::vector<std::string> texts;
        for (const auto& paragraph : document.paragraphs) {
            if (paragraph.inTable || texts.size() == count) continue;
            if (!texts.empty() || paragraph.Text().starts_with(from))
                texts.push_back(paragraph.Text());
        }
        return texts;
    }

    std::vector<std::string> Identification() const {
        return {"Тип крана:  " + Utf8FromCp1251(m_sheet.Value(PassportSheet::kCraneType)),
                "Регистрационный номер крана:  {12}\\par 345", "Заводской номер регистратора:  "};
    }

    test::ImageReader m_image;
    PassportSheet m_sheet;
    test::RecordingNotifier m_notifier;
    sim::ImageSummary m_summary;
};

TEST_F(TablesRtfTest, MechanismStatisticsReadBackAsTenTablesOfRanges) {
    Load();
    for (Command command : {&N17Click, &N18Click}) {
        const std::optional<ReadDocument> document = Build(command);
        ASSERT_TRUE(document);
        EXPECT_FALSE(document->landscape);
        EXPECT_EQ(document->marginTop, 400);
        ASSERT_EQ(document->tables.size(), 10u);
        for (const ReadTable& table : document->tables) {
            ASSERT_EQ(table.rows.size(), 8u);
            std::size_t marks = 0;
            for (const auto& row : table.rows) {
                ASSERT_EQ(row.size(), 3u);
                EXPECT_TRUE(row[2].starts_with("|") &&
                            row[2].find_first_not_of('X', 1) == std::string::npos)
                    << row[2];
                marks += row[2].size() - 1;
            }
            // Eight shares of one total, each cut to whole steps; none without a total.
            if (marks > 0) {
                EXPECT_TRUE(marks >= 18 && marks <= 25) << marks;
            }
        }
        const auto* title = document->RunWith("Информация о работе механизмов");
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(title->bold);
        EXPECT_EQ(title->halfPoints, 32);
        EXPECT_EQ(TextsFrom(*document, "Тип крана:", 3), Identification());
    }
}

// Year, month, day and time of a cycle line, for ordering.
std::tuple<int, int, int, int, int, int> When(const std::string& line) {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(line.c_str(), "%d.%d.%d %d:%d:%d", &day, &month, &year, &hour, &minute, &second);
    return {year, month, day, hour, minute, second};
}

// Whether the notes at the end of a cycle line hold a protection (a note without "!").
bool HasProtection(const std::string& line) {
    const std::size_t notes = line.rfind("\t\t ");
    for (std::size_t open = line.find('"', notes); open != std::string::npos;
         open = line.find('"', open + 1)) {
        const std::size_t close = line.find('"', open + 1);
        if (close > open + 1 && line[open + 1] != '!') return true;
        open = close;
    }
    return false;
}

TEST_F(TablesRtfTest, CycleTablesReadBackWithALinePerValidCycle) {
    Load();
    const std::pair<Command, int> cases[] = {{&N15Click, m_summary.lastCycles.valid},
                                             {&N16Click, m_summary.protectionCycles.valid}};
    for (const auto& [command, valid] : cases) {
        const std::optional<ReadDocument> document = Build(command);
        ASSERT_TRUE(document);
        EXPECT_TRUE(document->landscape);
        EXPECT_GT(document->paperWidth, document->paperHeight);
        ASSERT_EQ(document->tables.size(), 1u);
        const ReadTable& table = document->tables[0];
        ASSERT_GT(valid, 0);
        ASSERT_EQ(table.rows.size(), static_cast<std::size_t>(1 + valid));
        EXPECT_TRUE(table.rows[0][0].starts_with("Дата и время\t\tЗагрузка\t\tПрод"));
        for (std::size_t row = 1; row < table.rows.size(); ++row) {
            const std::string& text = table.rows[row][0];
            if (row > 1) {
                EXPECT_LE(When(table.rows[row - 1][0]), When(text)) << text;
            }
            // Every cycle of the second list ended in a trip.
            if (command == &N16Click) {
                EXPECT_TRUE(HasProtection(text)) << text;
            }
        }
        const auto* line = document->RunWith(table.rows[1][0].substr(0, 18));
        ASSERT_NE(line, nullptr);
        EXPECT_FALSE(line->bold);
        EXPECT_EQ(line->halfPoints, 18);
        // A note too long for its line wraps back under the notes column.
        const auto first = std::find_if(
            document->paragraphs.begin(), document->paragraphs.end(),
            [&](const test::ReadParagraph& p) { return p.Text() == table.rows[1][0]; });
        ASSERT_NE(first, document->paragraphs.end());
        EXPECT_EQ(first->hangingIndent, 8508);

        EXPECT_EQ(TextsFrom(*document, "Тип крана:", 3), Identification());
        // The warnings and the protections of the legend, an empty line apart.
        EXPECT_EQ(TextsFrom(*document, "  !З.з", 3),
                  (std::vector<std::string>{
                      "  !З.з - Предупреждение: запретная зона", "",
                      "  мВ - Защита: минимальный вылет\t\t\t  МВ - Защита: максимальный вылет"}));
    }
}

TEST_F(TablesRtfTest, EmptyCycleListsLeaveTheHeaderRowAlone) {
    Load(sim::ImageVariant::EmptyLists);
    for (Command command : {&N15Click, &N16Click}) {
        const std::optional<ReadDocument> document = Build(command);
        ASSERT_TRUE(document);
        ASSERT_EQ(document->tables.size(), 1u);
        EXPECT_EQ(document->tables[0].rows.size(), 1u);
    }
}

TEST_F(TablesRtfTest, CounterBlocksWithBadChecksumsWriteNoFile) {
    Load(sim::ImageVariant::BadChecksums);
    EXPECT_FALSE(Build(&N17Click));
    EXPECT_FALSE(Build(&N18Click));
}

}  // namespace
}  // namespace zorvek
