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
    std::optional<std::uint32_t> poweredSeconds{1u << 30};
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
        "Группа классификации по паспорту: А6 (база группы А6 при классе нагружения крана Q3: "
        "ячейка Q3/U5, 500\u00A0000 циклов · Kp 0,500 = 250\u00A0000 циклов при Kp = 1)",
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

// Ten years from 15 April 2014 ended before the reading; the recorder began
// on 1 January 2020, 2 087 days later. 10 000 cycles at 76-100 % (Q4) in
// 2 000 days are 5 a day, so the days before it add 10 435: 20 435 in all,
// more than the 18 265 the term holds, U1, Q4/U1 A3. A1 has no cell at Q4:
// its base is Q2/U1, 32 000 · 0.25 = 8 000; 125 % used as recorded, 255.4 %
// with the years before. A mass of 3.4e38 t prints "****".
Scenario PastItsTermAndResource() {
    Scenario s{"past its term", {"25", "A1", "15.04.2014 г.", "10 лет"}, {}, {}, {}, {}, {}};
    s.wholeLife.start = {2020, 1, 1, 0, 0, 0};
    s.wholeLife.end = {2025, 6, 23, 0, 0, 0};
    s.wholeLife.counts = {0, 0, 0, 10000};
    s.wholeLife.masses = {0, 0, 0, std::numeric_limits<float>::max()};
    s.since = s.wholeLife;
    s.lines = {
        "Кран введён в эксплуатацию 15.04.2014, данные регистратора начинаются 01.01.2020: "
        "работа за 5 лет 8 месяцев до начала записи в этих цифрах не учтена.",
        "Коэффициент распределения нагрузок Kp по средней массе груза (2): нет данных",
        "Нормативный срок службы: 10 лет с 15.04.2014, до 15.04.2024; истёк",
        "Прогноз на весь нормативный срок службы (срок уже пройден, взяты циклы на дату "
        "считывания с неучтёнными до начала записи): 20\u00A0435 циклов, U1, Q4/U1 - группа А3",
        "Группа классификации по паспорту: А1 (база группы А1: у класса нагружения Q4 ячейки "
        "этой группы нет, взята её наибольшая ячейка Q2/U1, 32\u00A0000 циклов · Kp 0,250 = "
        "8000 циклов при Kp = 1)",
        "Израсходовано ресурса группы А1 по данным регистратора (только 10\u00A0000 циклов, "
        "учтённые с 01.01.2020): 125,0 %",
        "С учётом работы до начала записи (5 лет 8 месяцев при темпе 5,0 цикла в сутки, около "
        "10\u00A0435 циклов; эта цифра принята в заключении): 255,4 %",
        "Ресурс группы А1 исчерпан: израсходовано 255,4 %",
        "По предварительной оценке ресурс группы А1 по паспорту исчерпан (255,4 %); прогнозная "
        "группа на нормативный срок службы А3 тяжелее паспортной А1.",
        "Число циклов нагружения, на которое рассчитана группа А1 по паспорту, превышено: как "
        "при превышении количества циклов нагрузки, установленного изготовителем, кран подлежит "
        "экспертизе промышленной безопасности (ЭПБ) (Федеральный закон от 21.07.1997 № 116-ФЗ "
        "\"О промышленной безопасности опасных производственных объектов\", ст. 7, п. 2).",
        "Нормативный срок службы крана истёк 15.04.2024: независимо от приведённых показателей "
        "кран подлежит экспертизе промышленной безопасности (ЭПБ) в соответствии с федеральными "
        "нормами и правилами в области промышленной безопасности для подъёмных сооружений.",
    };
    s.cells = {"****"};
    s.absent = {"Ресурс будет исчерпан", "ориентировочно"};
    return s;
}

// A1 with the recorder from commissioning: 1 000 cycles at 76-100 % (Q4) in
// 2 000 days, 0.5 a day. A1's base 8 000 less 1 000 used leaves 7 000, at the
// period's 20 a day (1 000 in 50 days) 350 days from 23 June 2025: 8 June
// 2026, past the 5-year term that ended on 1 January 2025, and still dated.
Scenario ResourceEndPastTheTerm() {
    Scenario s{
        "resource end past the term", {"25", "А1", "01.01.2020", "5 лет"}, {}, {}, {}, {}, {}};
    s.wholeLife.start = {2020, 1, 1, 0, 0, 0};
    s.wholeLife.end = {2025, 6, 23, 0, 0, 0};
    s.wholeLife.counts = {0, 0, 0, 1000};
    s.since.start = {2025, 5, 4, 0, 0, 0};
    s.since.end = {2025, 6, 23, 0, 0, 0};
    s.since.counts = {0, 0, 0, 1000};
    s.lines = {
        "Израсходовано ресурса группы А1 за весь срок службы: 12,5 %",
        "Ресурс будет исчерпан при темпе периода между считываниями (20,0 цикла в сутки): "
        "ориентировочно 08.06.2026 (через 350 дней), после окончания нормативного срока службы",
    };
    s.absent = {"за пределами нормативного срока службы", "Кран введён в эксплуатацию"};
    return s;
}

// No usable date or term: no projection, and the group so far is compared.
Scenario NoServiceLife() {
    Scenario s{"no service life", {"", "группа А 6", "давно", ""}, {}, {}, {}, {}, {}};
    s.wholeLife.counts = {5};
    s.since = s.wholeLife;
    s.lines = {
        "Нормативный срок службы: нет данных (дата ввода крана в эксплуатацию в паспорте не "
        "распознана)",
        "Прогноз на весь нормативный срок службы: нет данных",
        "Коэффициент распределения нагрузок Kp по средней массе груза (2): нет данных",
        "Перегрузки (свыше 110 %): 0 циклов",
        "По предварительной оценке кран работает в пределах группы А6 по паспорту (группа на "
        "дату считывания А1).",
    };
    return s;
}

// The documents are made on 15 April 2026.
class FixedClock final : public Clock {
  public:
    LocalDateTime Now() const override { return {2026, 4, 15, 12, 0, 0}; }
};

class ActualDutyTest : public TempDirTest {
  protected:
    ReadDocument Build(const Scenario& s) {
        PutStatistics(image, map::kStatisticsTotalAddress, s.wholeLife);
        PutStatistics(image, map::kStatisticsSinceAddress, s.since);
        sheet.SetValue(PassportSheet::kRatedCapacity, C(s.passport.capacity));
        sheet.SetValue(PassportSheet::kClassificationGroup, C(s.passport.group));
        sheet.SetValue(PassportSheet::kCommissioned, C(s.passport.commissioned));
        sheet.SetValue(PassportSheet::kNormativeTerm, C(s.passport.term));
        if (s.poweredSeconds) PutOnTime(image, map::kOnTimeTotalAddress, *s.poweredSeconds);
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
    FixedClock today;
    ReportInputs inputs{image, sheet, notifier, nullptr, {}, &today};
    FakePictures pictures;
};

// Every paragraph's text, in tables or not.
std::vector<std::string> Paragraphs(const ReadDocument& document) {
    std::vector<std::string> paragraphs;
    for (const ReadParagraph& paragraph : document.paragraphs) {
        paragraphs.push_back(paragraph.Text());
    }
    return paragraphs;
}

void ExpectScenario(const Scenario& s, const ReadDocument& document) {
    ASSERT_TRUE(document.ok && document.tablesSound) << s.what;
    const std::vector<std::string> paragraphs = Paragraphs(document);
    for (const std::string& line : s.lines) {
        EXPECT_NE(std::find(paragraphs.begin(), paragraphs.end(), line), paragraphs.end())
            << s.what << ": " << line;
    }
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
}

TEST_F(ActualDutyTest, ReadsAsAnInspectorExpects) {
    for (const Scenario& s :
         {WithinItsGroup(), PastItsTermAndResource(), ResourceEndPastTheTerm(), NoServiceLife()}) {
        const ReadDocument document = Build(s);
        ExpectScenario(s, document);
        // Two spectra, the mechanisms, and the verdict kept in one table.
        ASSERT_EQ(document.tables.size(), 4u) << s.what;
        EXPECT_TRUE(document.tables[0].header[0]) << s.what;
        EXPECT_EQ(document.tables[3].rows.front().front(), "Заключение (предварительная оценка)")
            << s.what;
        // A spectrum drawn for each period, a line to sign the document.
        EXPECT_EQ(pictures.drawnFromCycleCounts.size(), 2u) << s.what;
        EXPECT_NE(document.flat.find("Составил: ____"), std::string::npos) << s.what;
        EXPECT_NE(document.flat.find("Дата: ____"), std::string::npos) << s.what;
    }
}

// The within-group scenario projects A3: a passport A3 is met exactly, A2 is
// exceeded.
TEST_F(ActualDutyTest, VerdictAtThePassportGroup) {
    const std::pair<const char*, const char*> verdicts[] = {
        {"А4",
         "По предварительной оценке кран работает в пределах группы А4 по паспорту "
         "(прогнозная группа на нормативный срок службы А3)."},
        {"А3",
         "По предварительной оценке кран работает в пределах группы А3 по паспорту "
         "(прогнозная группа на нормативный срок службы А3)."},
        {"А2",
         "По предварительной оценке кран работает тяжелее группы А2 по паспорту: "
         "прогнозная группа на нормативный срок службы А3."},
    };
    for (const auto& [group, verdict] : verdicts) {
        Scenario s = WithinItsGroup();
        s.passport.group = group;
        s.lines = {verdict};
        s.absent = {};
        ExpectScenario(s, Build(s));
    }
}

// One image per kind of impossible data: the finding in "Достоверность
// данных" and the conclusions built on it withheld, the others kept.
TEST_F(ActualDutyTest, DataThatCannotBeTrue) {
    const std::string withheld = "вывод не может быть сделан: данные недостоверны (";
    std::vector<Scenario> scenarios;
    {
        // Every counter at its limit in 111 days.
        Scenario s = WithinItsGroup();
        s.cells = {};
        s.what = "saturated counters";
        s.wholeLife.start = {2025, 12, 25, 0, 0, 0};
        s.wholeLife.end = {2026, 4, 15, 0, 0, 0};
        s.wholeLife.counts.fill(65535);
        s.passport.commissioned = "25.12.2025";
        s.lines = {
            "За весь срок службы: счётчики циклов на пределе 65 535 в диапазонах «до 25 %», "
            "«26-50 %», «51-75 %», «76-100 %», «101-110 %», «111-120 %», «121-130 %», "
            "«свыше 130 %»: сколько циклов было, неизвестно",
            "Класс нагружения: " + withheld + "счётчики циклов на пределе 65 535)",
            "Группа классификации на дату считывания: " + withheld +
                "счётчики циклов на пределе 65 535)",
            "Израсходовано ресурса группы А6: " + withheld + "счётчики циклов на пределе 65 535)",
            "Вывод не может быть сделан: данные недостоверны (счётчики циклов на пределе 65 535).",
        };
        // No base either: it rests on the crane's Q class.
        s.lines.push_back("Группа классификации по паспорту: А6");
        s.absent = {"А8", "исчерпан", "Противоречий", "база группы А6"};
        scenarios.push_back(s);
    }
    {
        // 300 hours of work in a 10-day period.
        Scenario s = WithinItsGroup();
        s.cells = {};
        s.what = "more work than hours";
        s.since.start = {2025, 6, 13, 0, 0, 0};
        s.since.seconds[3] = 300 * 3600;
        s.lines = {
            "В период между считываниями: время работы 300,0 ч больше календарного времени "
            "периода 240,0 ч (10,0 сут.)",
            "Темп работы: " + withheld + "время работы больше календарного времени периода)",
            "Остаток ресурса при Kp периода между считываниями (1,001): " + withheld +
                "время работы больше календарного времени периода)",
            // The whole life's figures are sound.
            "Группа классификации на дату считывания: А1",
        };
        scenarios.push_back(s);
    }
    {
        // Two hours under load in one hour switched on: nothing rests on it.
        Scenario s = WithinItsGroup();
        s.cells = {};
        s.what = "under load longer than on";
        s.wholeLife.seconds[1] = 7200;
        s.poweredSeconds = 3600;
        s.lines = {
            "За весь срок службы: время работы под нагрузкой 2,0 ч больше времени во "
            "включённом состоянии 1,0 ч",
            "По предварительной оценке кран работает в пределах группы А6 по паспорту "
            "(прогнозная группа на нормативный срок службы А3).",
        };
        s.absent = {withheld};
        scenarios.push_back(s);
    }
    {
        // 34.3 t a lift at 111-120 % of a 25 t crane, which lifts 30 t there.
        Scenario s = WithinItsGroup();
        s.cells = {};
        s.what = "heavier than the crane lifts";
        s.wholeLife.counts[5] = 100;
        s.wholeLife.masses[5] = 3430;
        s.lines = {
            "За весь срок службы: средняя масса груза в диапазоне «111-120 %» 34,3 т больше "
            "30,0 т (120 % грузоподъёмности крана 25,0 т)",
            "Коэффициент распределения нагрузок Kp по средней массе груза (2): " + withheld +
                "средняя масса груза больше грузоподъёмности крана в диапазоне)",
            "Группа классификации на дату считывания: А1",
        };
        scenarios.push_back(s);
    }
    {
        // Read "in January 2027" by a machine whose day is 15 April 2026.
        Scenario s = WithinItsGroup();
        s.cells = {};
        s.what = "a date to come";
        s.wholeLife.end = {2027, 1, 10, 0, 0, 0};
        s.lines = {
            "За весь срок службы: конец периода 10.01.2027 позже сегодняшнего дня 15.04.2026",
            "Прогноз на весь нормативный срок службы: " + withheld + "даты в будущем)",
            "Прогноз наработки: " + withheld + "даты в будущем)",
            "Вывод не может быть сделан: данные недостоверны (даты в будущем).",
        };
        scenarios.push_back(s);
    }
    {
        // Counting from 2020, the crane put into service in June 2021.
        Scenario s = WithinItsGroup();
        s.cells = {};
        s.what = "before commissioning";
        s.passport.commissioned = "01.06.2021";
        s.lines = {
            "За весь срок службы: начало периода 01.01.2020 раньше ввода крана в эксплуатацию "
            "01.06.2021",
            "Прогноз на весь нормативный срок службы: " + withheld +
                "даты раньше ввода крана в эксплуатацию)",
            "Класс нагружения: Q3",
        };
        scenarios.push_back(s);
    }
    for (const Scenario& s : scenarios) {
        image = ImageReader();
        ExpectScenario(s, Build(s));
    }
    // A sound image says so.
    image = ImageReader();
    const ReadDocument sound = Build(WithinItsGroup());
    EXPECT_NE(sound.flat.find("Противоречий в данных регистратора не найдено"), std::string::npos);
}

}  // namespace
}  // namespace zorvek::test
