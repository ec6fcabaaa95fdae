#include "reports/word/documents/actual_duty.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/reports/word/documents/documents_test_support.h"

namespace zorvek::test {
namespace {

namespace map = memory_map;

struct Passport {
    const char* capacity;
    const char* group;
    const char* commissioned;
    const char* term;
};

struct Scenario {
    const char* what;
    Passport passport;
    Statistics wholeLife;
    Statistics since;
    std::vector<std::string> lines;   // paragraphs the document must hold, UTF-8
    std::vector<std::string> cells;   // texts of spectrum table cells
    std::vector<std::string> absent;  // texts that must appear nowhere
};

// 6 000 cycles at 26-50 % and 6 112 at 51-75 % from 1 January 2020 to
// 23 June 2025 (2 000 days): Kp 0.275, Q3; 6.06 a day over the 7 305 days of
// a 20-year term give 44 239 cycles, U2, so A3. Against A6 (250 000 at Kp 1)
// 3 328.5 are used, 1.3 %. The period: 2 000 cycles at 76-100 % and one
// above 130 % in 50 days, 40 a day.
Scenario WithinItsGroup() {
    Scenario s{"within its group", {"25 т", "А6", "01.01.2020", "20 лет"}, {}, {}, {}, {}, {}};
    s.wholeLife.start = {2020, 1, 1, 0, 0, 0};
    s.wholeLife.end = {2025, 6, 23, 0, 0, 0};
    s.wholeLife.counts = {0, 6000, 6112};
    s.wholeLife.masses = {0, 60000.25f, 100000.5f};
    s.wholeLife.characteristic = 12.5f;
    s.since.start = {2025, 5, 4, 0, 0, 0};
    s.since.end = {2025, 6, 23, 0, 0, 0};
    s.since.counts = {0, 0, 0, 2000, 0, 0, 0, 1};
    s.lines = {
        "Коэффициент распределения нагрузок Kp по верхним границам диапазонов (1): 0,275",
        "Класс использования на дату считывания: U0 (12\u00A0112 циклов)",
        "Группа классификации на дату считывания: А1",
        "Темп работы: 6,1 цикла в сутки",
        "Перегрузки (свыше 110 %): 1 цикл, поднято 0,0 т",
        "Нормативный срок службы: 20 лет с 01.01.2020, до 01.01.2040; осталось 14 лет 6 месяцев",
        "Прогноз на весь нормативный срок службы при темпе 6,1 цикла в сутки: 44\u00A0239 циклов, "
        "U2, Q3/U2 - группа А3",
        "Группа классификации по паспорту: А6 (база группы А6: 250\u00A0000 циклов при Kp = 1)",
        "Израсходовано ресурса группы А6 за весь срок службы: 1,3 %",
        "Ресурс будет исчерпан при темпе периода между считываниями (40,0 цикла в сутки): за "
        "пределами нормативного срока службы",
        "По предварительной оценке кран работает в пределах группы А6 по паспорту (прогнозная "
        "группа на нормативный срок службы А3).",
        "Оценка ориентировочная, получена по данным регистратора и не заменяет экспертизу "
        "промышленной безопасности крана.",
    };
    // The masses summed as the protocol forms sum them.
    s.cells = {"49,5 %", "160\u00A0000,8", "< 0,1 %", "12\u00A0112"};
    s.absent = {"истёк", "исчерпан:", "****"};
    return s;
}

// Ten years from 15 April 2014 ended before the reading; 10 000 cycles at
// 76-100 % against A1's 8 000 use 125 %; a mass of 3.4e38 t prints "****".
Scenario PastItsTermAndResource() {
    Scenario s{"past its term", {"25", "A1", "15.04.2014 г.", "10 лет"}, {}, {}, {}, {}, {}};
    s.wholeLife.start = {2020, 1, 1, 0, 0, 0};
    s.wholeLife.end = {2025, 6, 23, 0, 0, 0};
    s.wholeLife.counts = {0, 0, 0, 10000};
    s.wholeLife.masses = {0, 0, 0, std::numeric_limits<float>::max()};
    s.since = s.wholeLife;
    s.lines = {
        "Коэффициент распределения нагрузок Kp по средней массе груза (2): нет данных",
        "Нормативный срок службы: 10 лет с 15.04.2014, до 15.04.2024; истёк",
        "Ресурс группы А1 исчерпан: израсходовано 125,0 %",
        "По предварительной оценке ресурс группы А1 по паспорту исчерпан (125,0 %).",
        "Нормативный срок службы крана истёк 15.04.2024: независимо от приведённых показателей "
        "кран подлежит экспертизе промышленной безопасности (ЭПБ) в соответствии с федеральными "
        "нормами и правилами в области промышленной безопасности для подъёмных сооружений.",
    };
    s.cells = {"****"};
    s.absent = {"Ресурс будет исчерпан", "ориентировочно"};
    return s;
}

// No usable date or term: no projection, and the group so far is compared.
Scenario NoServiceLife() {
    Scenario s{"no service life", {"", "группа А 6", "давно", ""}, {}, {}, {}, {}, {}};
    s.wholeLife.counts = {5};
    s.since = s.wholeLife;
    s.lines = {
        "Прогноз на весь нормативный срок службы: нет данных",
        "Коэффициент распределения нагрузок Kp по средней массе груза (2): нет данных",
        "Перегрузки (свыше 110 %): 0 циклов",
        "По предварительной оценке кран работает в пределах группы А6 по паспорту (группа на "
        "дату считывания А1).",
    };
    return s;
}

class ActualDutyTest : public TempDirTest {
  protected:
    ReadDocument Build(const Scenario& s) {
        PutStatistics(image, map::kStatisticsTotalAddress, s.wholeLife);
        PutStatistics(image, map::kStatisticsSinceAddress, s.since);
        sheet.SetValue(PassportSheet::kRatedCapacity, C(s.passport.capacity));
        sheet.SetValue(PassportSheet::kClassificationGroup, C(s.passport.group));
        sheet.SetValue(PassportSheet::kCommissioned, C(s.passport.commissioned));
        sheet.SetValue(PassportSheet::kNormativeTerm, C(s.passport.term));
        RecordingSink sink;
        sink.target = m_dir / "appendix6.rtf";
        pictures.drawnFromCycleCounts.clear();
        RtfWordLayer word(m_dir, notifier, sink);
        EXPECT_TRUE(BuildActualDutyAppendix(inputs, word, true, pictures)) << s.what;
        std::ifstream file(sink.target, std::ios::binary);
        return ReadRtf(std::string(std::istreambuf_iterator<char>(file), {}));
    }

    ImageReader image;
    PassportSheet sheet;
    RecordingNotifier notifier;
    ReportInputs inputs{image, sheet, notifier, nullptr, {}};
    FakePictures pictures;
};

TEST_F(ActualDutyTest, ReadsAsAnInspectorExpects) {
    for (const Scenario& s : {WithinItsGroup(), PastItsTermAndResource(), NoServiceLife()}) {
        const ReadDocument document = Build(s);
        ASSERT_TRUE(document.ok && document.tablesSound) << s.what;
        std::vector<std::string> paragraphs;
        for (const ReadParagraph& paragraph : document.paragraphs) {
            if (!paragraph.inTable) paragraphs.push_back(paragraph.Text());
        }
        for (const std::string& line : s.lines) {
            EXPECT_NE(std::find(paragraphs.begin(), paragraphs.end(), line), paragraphs.end())
                << s.what << ": " << line;
        }
        ASSERT_EQ(document.tables.size(), 2u) << s.what;
        const ReadTable& whole = document.tables[0];
        EXPECT_TRUE(whole.header[0]) << s.what;
        for (const std::string& text : s.cells) {
            bool found = false;
            for (const ReadTable& table : document.tables) {
                for (const auto& row : table.rows) {
                    found = found || std::find(row.begin(), row.end(), text) != row.end();
                }
            }
            EXPECT_TRUE(found) << s.what << ": cell " << text;
        }
        for (const std::string& text : s.absent) {
            EXPECT_EQ(document.flat.find(text), std::string::npos) << s.what << ": " << text;
        }
        // A spectrum drawn for each period, a line to sign the document.
        EXPECT_EQ(pictures.drawnFromCycleCounts.size(), 2u) << s.what;
        EXPECT_NE(document.flat.find("Составил: ____"), std::string::npos) << s.what;
        EXPECT_NE(document.flat.find("Дата: ____"), std::string::npos) << s.what;
    }
}

}  // namespace
}  // namespace zorvek::test
