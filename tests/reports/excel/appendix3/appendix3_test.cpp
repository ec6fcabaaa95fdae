#include "reports/excel/appendix3/appendix3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "model/passport.h"
#include "reports/excel/recording_excel_layer.h"
#include "sim/image_generator.h"
#include "tests/reports/excel/appendix3/appendix3_support.h"
#include "tests/support/image_reader.h"

namespace zorvek {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

const Lines kOpening = {
    "ExcelStart()",
    "ExcelShowGridlines(false)",
    "ExcelFillBackground(0, 0, 48)",
    "ExcelWriteCell(0, 0, false, 10, \"Приложение 3\")",
    "ExcelWriteCell(3, 1, true, 14, \"Информация о работе крана за последние часы.\")",
};

Lines EveryHeader() {
    const char* headers[] = {"№",
                             "Дата и время",
                             "Загрузка,%",
                             "Вылет,м",
                             "Дл. стрелы,м",
                             "Вес груза,т",
                             "Г-подъёмность,т",
                             "Азимут, град",
                             "Режим",
                             "Уст-ка к.з.",
                             "Состояние к.з.",
                             "Предупреждения",
                             "Сраб. защиты",
                             "Механизм",
                             "ЛЭП",
                             "Продольный крен",
                             "Поперечный крен",
                             "Ветер, м/с",
                             "Примечание"};
    Lines lines = kOpening;
    for (int col = 0; col < 19; ++col) {
        lines.push_back("ExcelWriteCell(" + std::to_string(col) + ", 3, true, 10, \"" +
                        headers[col] + "\")");
    }
    return lines;
}

Lines Concat(Lines head, const Lines& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class Appendix3Test : public ::testing::Test {
  protected:
    bool Build(const std::vector<HourRecord>& records, const ColumnSwitches& columns,
               const FilterMask& filter = {}) {
        busy.Begin();
        return BuildAppendix3(HourListOf(records), excel, columns, filter, window, busy);
    }
    // The calls that start with `prefix`.
    Lines Calls(std::string_view prefix) const {
        Lines found;
        std::copy_if(excel.Lines().begin(), excel.Lines().end(), std::back_inserter(found),
                     [&](const std::string& line) { return line.starts_with(prefix); });
        return found;
    }

    RecordingExcelLayer excel;
    RecordingTitle window;
    BuildBusy busy;
};

// Invalid records take no row and no number; with one column the grid has no
// inside vertical lines.
TEST_F(Appendix3Test, NumberColumnOnlyNumbersByPosition) {
    HourRecord badMonth = Hour(1);
    badMonth.SetTime(PackDateTime({2026, 13, 15, 9, 1, 0}));
    EXPECT_TRUE(Build({Hour(0), badMonth, Hour(2), Hour(3)}, ColumnSwitches()));
    EXPECT_EQ(excel.Lines(), Concat(kOpening, {
                                                  "ExcelWriteCell(0, 3, true, 10, \"№\")",
                                                  "ExcelWriteCell(0, 4, false, 10, \"1\")",
                                                  "ExcelWriteCell(0, 5, false, 10, \"3\")",
                                                  "ExcelWriteCell(0, 6, false, 10, \"4\")",
                                                  "ExcelSetColumnWidth(0, 5)",
                                                  "ExcelDrawGrid(0, 7)",
                                                  "ExcelFillBackground(0, 7, 0)",
                                                  "ExcelFreezeHeader()",
                                                  "ExcelShow()",
                                              }));
}

TEST_F(Appendix3Test, EveryColumnWithLegendsRedRowAndSpecialWidths) {
    const HourRecord full = Hour(
        5,
        {{kLoadPercent, 87},
         {kMode, 0x75},
         {kCoord, 0xFF},
         {kLimit, 0xFF},
         {kTilt, 0x1F},
         {kZone, 0x3F},
         {kPowerLine, 0x04},
         {kRollLong, 0xFD},
         {kRollTrans, 2},
         {kWind, 127},
         {kEvent, 5}},
        {{kRadius, 12.5f}, {kBoom, 21.0f}, {kWeight, 3.5f}, {kCapacity, 4.0f}, {kAzimuth, 182.5f}});
    EXPECT_TRUE(Build({full, Hour(6)}, ColumnSwitches::All()));

    const Lines& lines = excel.Lines();
    const auto firstData = lines.begin() + static_cast<std::ptrdiff_t>(EveryHeader().size());
    EXPECT_EQ(Lines(lines.begin(), firstData), EveryHeader());
    const Lines fullRow = {
        "ExcelWriteCell(0, 4, false, 10, \"1\")",
        "ExcelWriteCell(1, 4, false, 10, \" 15.04.26  9:05:00\")",
        "ExcelWriteCell(2, 4, false, 10, \"    87.0  %\")",
        "ExcelWriteCell(3, 4, false, 10, \"    12.5 м\")",
        "ExcelWriteCell(4, 4, false, 10, \"     21.0 м\")",
        "ExcelWriteCell(5, 4, false, 10, \"      3.5 т\")",
        "ExcelWriteCell(6, 4, false, 10, \"      4.0 т\")",
        "ExcelWriteCell(7, 4, false, 10, \"    182.5\")",
        "ExcelWriteCell(8, 4, false, 10, \" Вспом. -5 Юст. Блок.\")",
        "ExcelAddLegend(\"yustkoord\", 9, 4)",
        "ExcelWriteCell(9, 4, false, 10, \"\"П\"\"Л\"\"В\"\"Н\"\")",
        "ExcelAddLegend(\"koord\", 10, 4)",
        "ExcelWriteCell(10, 4, false, 10, \"Сраб.\"П\"Сраб.\"Л\"Сраб.\"В\"Сраб.\"Н\"\")",
        "ExcelAddLegend(\"warnings\", 11, 4)",
        "ExcelWriteCell(11, 4, false, 10, "
        "\"\"MinV\"\"MaxV\"\"95%>\"Запр.зона\"КренХ\"\"КренY\"\"Коорд\"\"ЛЭП\"\"Ветер\"\")",
        "ExcelRedRow(5)",
        "ExcelAddLegend(\"protect\", 12, 4)",
        "ExcelWriteCell(12, 4, false, 10, "
        "\"\"MinV\"\"MaxV\"\"110%\"\"КрюкUP\"\"КренХ\"\"КренY\"\"Коорд\"\"ЛЭП\"\"Ветер\"\")",
        "ExcelAddLegend(\"discret\", 13, 4)",
        "ExcelWriteCell(13, 4, false, 10, \"Механизм работал\")",
        "ExcelAddLegend(\"lep\", 14, 4)",
        "ExcelWriteCell(14, 4, false, 10, \"110-450\")",
        "ExcelWriteCell(15, 4, false, 10, \"-3°\")",
        "ExcelWriteCell(16, 4, false, 10, \"2°\")",
        "ExcelWriteCell(17, 4, false, 10, \"12.7\")",
        "ExcelWriteCell(18, 4, false, 10, \"Конец цикла\")",
    };
    EXPECT_EQ(Lines(firstData, firstData + static_cast<std::ptrdiff_t>(fullRow.size())), fullRow);
    // The quiet record's empty coded cells get no legend; the mechanism's
    // text is never empty.
    EXPECT_EQ(Calls("ExcelAddLegend").back(), "ExcelAddLegend(\"discret\", 13, 5)");
    EXPECT_EQ(Calls("ExcelAddLegend").size(), 7u);
    EXPECT_EQ(
        Lines(lines.end() - 12, lines.end()),
        (Lines{"ExcelSetColumnWidth(11, 23)", "ExcelSetColumnWidth(12, 23)",
               "ExcelSetColumnWidth(13, 23)", "ExcelSetColumnWidth(14, 18)",
               "ExcelSetColumnWidth(15, 18)", "ExcelSetColumnWidth(16, 18)",
               "ExcelSetColumnWidth(18, 38)", "ExcelSetColumnWidth(0, 5)", "ExcelDrawGrid(18, 6)",
               "ExcelFillBackground(18, 6, 0)", "ExcelFreezeHeader()", "ExcelShow()"}));
}

// Special widths follow their kinds to the columns they took.
TEST_F(Appendix3Test, SpecialWidthsGoWhereTheirKindsLanded) {
    ColumnSwitches columns;
    for (ColumnKind kind : {ColumnKind::Radius, ColumnKind::Mechanism, ColumnKind::Note}) {
        columns.Set(kind, true);
    }
    EXPECT_TRUE(Build({Hour(0)}, columns));
    EXPECT_EQ(Calls("ExcelSetColumnWidth"),
              (Lines{"ExcelSetColumnWidth(2, 23)", "ExcelSetColumnWidth(3, 38)",
                     "ExcelSetColumnWidth(0, 5)"}));
}

// Filtered records leave gaps; warnings alone do not pass a trip filter.
TEST_F(Appendix3Test, FilterKeepsChosenTripsAndLeavesGaps) {
    FilterMask radius{.showAll = false};
    radius.Add(Protection::Radius);
    EXPECT_TRUE(Build({Hour(0, {{kLimit, 0x02}}), Hour(1, {{kLimit, 0x05}}),
                       Hour(2, {{kLimit, 0x20}}), Hour(3, {{kLimit, 0x08}})},
                      ColumnSwitches(), radius));
    EXPECT_EQ(
        Calls("ExcelWriteCell(0, "),
        (Lines{"ExcelWriteCell(0, 0, false, 10, \"Приложение 3\")",
               "ExcelWriteCell(0, 3, true, 10, \"№\")", "ExcelWriteCell(0, 4, false, 10, \"1\")",
               "ExcelWriteCell(0, 5, false, 10, \"4\")"}));
}

TEST_F(Appendix3Test, NothingThroughTheFilterGivesTheNoticeAndAFramedHeader) {
    FilterMask hook{.showAll = false};
    hook.Add(Protection::Hook);
    EXPECT_TRUE(Build({Hour(0, {{kLimit, 0x7F}, {kCoord, 0xFF}})}, ColumnSwitches::All(), hook));
    EXPECT_EQ(excel.Lines(),
              Concat(EveryHeader(),
                     {"ExcelWriteCell(3, 10, true, 26, \"    Не зарегистрировано!\")",
                      "ExcelSetColumnWidth(0, 5)", "ExcelDrawGrid(18, 4)",
                      "ExcelFillBackground(18, 4, 0)", "ExcelFreezeHeader()", "ExcelShow()"}));
}

TEST_F(Appendix3Test, RowsTurnRedOnlyWhenTheProtectionColumnIsOn) {
    const std::vector<HourRecord> records = {Hour(0, {{kLimit, 0x55}}), Hour(1, {{kZone, 0x08}}),
                                             Hour(2, {{kTilt, 0x05}})};
    ColumnSwitches protection;
    protection.Set(ColumnKind::Protection, true);
    EXPECT_TRUE(Build(records, protection));
    EXPECT_EQ(Calls("ExcelRedRow"), Lines{"ExcelRedRow(6)"});

    excel = RecordingExcelLayer();
    ColumnSwitches allButProtection = ColumnSwitches::All();
    allButProtection.Set(ColumnKind::Protection, false);
    EXPECT_TRUE(Build(records, allButProtection));
    EXPECT_EQ(Calls("ExcelRedRow"), Lines{});
}

TEST_F(Appendix3Test, TitleCountsToNinetyNinePercentAndTheBuildEndsIdle) {
    busy.Begin();  // the fill button pressed twice
    excel.SetShowResult(false);
    EXPECT_FALSE(Build({Hour(0), Hour(1)}, DefaultColumnSwitches()));
    ASSERT_EQ(window.titles.size(), 1901u);
    EXPECT_EQ(window.titles[18], "Зорвек  -  0%");
    EXPECT_EQ(window.titles[19], "Зорвек  -  1%");
    EXPECT_EQ(window.titles[1899], "Зорвек  -  99%");
    EXPECT_EQ(window.titles[1900], "Зорвек");
    EXPECT_FALSE(busy.IsBusy());
    EXPECT_EQ(window.pumps, 2 * 8 + 1);  // after every data cell, and before showing
}

struct FailingLayer final : ExcelLayer {
    void ExcelStart() override {}
    void ExcelWriteCell(int, int row, bool, int, std::string_view) override {
        if (row == 4) throw std::runtime_error("spreadsheet gone");
    }
    void ExcelDrawGrid(int, int) override {}
    void ExcelFillBackground(int, int, int) override {}
    void ExcelShowGridlines(bool) override {}
    void ExcelRedRow(int) override {}
    void ExcelSetColumnWidth(int, int) override {}
    void ExcelAddLegend(std::string_view, int, int) override {}
    void ExcelFreezeHeader() override {}
    bool ExcelShow() override { return true; }
};

TEST_F(Appendix3Test, SpreadsheetErrorReachesTheCallerAndLeavesTheWindowIdle) {
    FailingLayer failing;
    busy.Begin();
    EXPECT_THROW(BuildAppendix3(HourListOf({Hour(0)}), failing, ColumnSwitches(), FilterMask(),
                                window, busy),
                 std::runtime_error);
    EXPECT_FALSE(busy.IsBusy());
    EXPECT_EQ(window.titles.back(), "Зорвек");
}

struct LastPosition final : ProgressSink {
    void SetPosition(int percent) override { positions.push_back(percent); }
    std::vector<int> positions;
};

TEST_F(Appendix3Test, RunReadsTheImageOrStopsWithoutSpreadsheet) {
    sim::ImageSummary summary;
    const sim::Image image = sim::GenerateImage({}, &summary);
    ImageReader source;
    std::copy(image.begin(), image.end(), source.image.begin());
    const PassportSheet sheet;
    NoMessages notifier;
    LastPosition progress;
    const ReportInputs inputs{source, sheet, notifier, &progress, {}};
    const FixedClock clock(sim::kDefaultNow);

    busy.Begin();
    EXPECT_TRUE(RunAppendix3(inputs, excel, ColumnSwitches(), {}, window, busy, clock));
    const Lines numbers = Calls("ExcelWriteCell(0, ");
    ASSERT_EQ(numbers.size(), 2u + summary.hours.valid);
    EXPECT_EQ(numbers.back(), "ExcelWriteCell(0, " + std::to_string(3 + summary.hours.valid) +
                                  ", false, 10, \"" + std::to_string(summary.hours.valid) + "\")");
    EXPECT_EQ(progress.positions.front(), 0);

    excel = RecordingExcelLayer();
    source.failAll = true;
    busy.Begin();
    EXPECT_FALSE(RunAppendix3(inputs, excel, ColumnSwitches(), {}, window, busy, clock));
    EXPECT_TRUE(excel.Lines().empty());
    EXPECT_FALSE(busy.IsBusy());
}

}  // namespace
}  // namespace zorvek
