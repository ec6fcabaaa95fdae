#include "reports/word/documents/actual_duty.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <string>

#include "model/cp1251.h"
#include "model/decoders.h"
#include "model/duty_class.h"
#include "model/duty_figures.h"
#include "model/format.h"
#include "model/statistics_totals.h"
#include "reports/word/tables/crane_identification.h"

namespace zorvek {
namespace {

constexpr int kTextSize = 11;
constexpr int kHeadingSize = 12;
constexpr int kTableSize = 9;
constexpr int kNoteSize = 8;
constexpr std::string_view kMassPattern = "##########0.0";
constexpr int kOverRange = kLoadRangeCount - 1;  // "свыше 130 %"
// Further off than this a date means nothing to anyone reading the document.
constexpr double kLongestForecastYears = 100;

constexpr std::array<const char*, kLoadRangeCount> kRangeLabels = {
    "до 25 %",   "26-50 %",   "51-75 %",   "76-100 %",
    "101-110 %", "111-120 %", "121-130 %", "свыше 130 %"};

std::string Text(const char* utf8) { return Cp1251FromUtf8(utf8); }

std::string NoData() { return Text("нет данных"); }

std::string GroupName(int group) { return Text("А") + std::to_string(group); }

std::string Cycles(std::uint64_t count) {
    return CountOf(count, Text("цикл"), Text("цикла"), Text("циклов"));
}

std::string RoundedCycles(double count) {
    return Cycles(static_cast<std::uint64_t>(std::llround(std::max(0.0, count))));
}

std::string Years(std::uint64_t count) {
    return CountOf(count, Text("год"), Text("года"), Text("лет"));
}

// A fractional count takes the genitive singular: "6,0 цикла в сутки".
std::string Pace(double perDay) { return DecimalComma(perDay, 1) + Text(" цикла в сутки"); }

std::string Kp(const std::optional<double>& value) {
    return value ? DecimalComma(*value, 3) : NoData();
}

// One decimal rounded as the other documents round it, with a decimal
// comma; "****" for a figure too wide for the mass column.
std::string Tenths(double value) {
    std::string text = FormatReal(kMassPattern, value);
    if (text.find('*') != std::string::npos) return "****";
    text.erase(0, text.find_first_not_of(' '));
    std::replace(text.begin(), text.end(), '.', ',');
    return GroupedNumber(std::move(text));
}

std::string RecorderDate(std::uint32_t packed) {
    // " 4.07.09  0:00:00" without the time of day.
    std::string text = FormatDateTime(0, packed);
    const std::size_t space = text.find(' ', 1);
    return space == std::string::npos ? text : text.substr(0, space);
}

std::string Day(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    const auto two = [](unsigned value) {
        return std::string(value < 10 ? "0" : "") + std::to_string(value);
    };
    return two(static_cast<unsigned>(date.day())) + "." + two(static_cast<unsigned>(date.month())) +
           "." + std::to_string(static_cast<int>(date.year()));
}

// "14 лет 3 месяца", "2 месяца", "менее месяца": whole calendar months from
// `from` to `to`.
std::string TimeBetween(std::chrono::sys_days from, std::chrono::sys_days to) {
    const std::chrono::year_month_day a(from);
    const std::chrono::year_month_day b(to);
    int months = (static_cast<int>(b.year()) - static_cast<int>(a.year())) * 12 +
                 (static_cast<int>(static_cast<unsigned>(b.month())) -
                  static_cast<int>(static_cast<unsigned>(a.month())));
    if (b.day() < a.day()) --months;
    if (months <= 0) return Text("менее месяца");
    std::string text;
    if (months >= 12) text = Years(static_cast<std::uint64_t>(months / 12));
    if (months % 12 != 0) {
        if (!text.empty()) text += ' ';
        text += CountOf(static_cast<std::uint64_t>(months % 12), Text("месяц"), Text("месяца"),
                        Text("месяцев"));
    }
    return text;
}

void Line(WordLayer& word, const std::string& text, bool bold = false) {
    word.WordWriteLine(text, kTextSize, bold, ParagraphAlign::Left);
}

void Heading(WordLayer& word, const std::string& text) {
    word.WordNewParagraph();
    word.WordWriteLine(text, kHeadingSize, true, ParagraphAlign::Left);
}

struct Section {
    const char* titleUtf8;
    std::uint32_t address;
    StatisticsBlock block;
    DutyInputs inputs;
    DutyAssessment duty;
    StatisticsTotals totals;
};

void WriteSpectrum(WordLayer& word, const Section& section) {
    word.WordAddTable(1, 5, kTableSize);
    for (const char* heading :
         {"Загрузка", "Циклов", "Доля циклов", "Время работы", "Поднятая масса, т"}) {
        word.WordWriteCell(Text(heading), kTableSize, true, ParagraphAlign::Centred);
    }
    for (int range = 0; range < kLoadRangeCount; ++range) {
        const LoadRangeRecord& record = section.inputs.ranges[range];
        word.WordWriteCell(Text(kRangeLabels[range]), kTableSize, false, ParagraphAlign::Left);
        word.WordWriteCell(GroupedDigits(record.cycles), kTableSize, false, ParagraphAlign::Right);
        word.WordWriteCell(PercentText(section.duty.cycleShare[range]), kTableSize, false,
                           ParagraphAlign::Right);
        word.WordWriteCell(FormatDuration(0, record.seconds), kTableSize, false,
                           ParagraphAlign::Right);
        word.WordWriteCell(Tenths(record.mass), kTableSize, false, ParagraphAlign::Right);
    }
    // The totals as the protocol forms sum them, so that one image gives one
    // figure in every document.
    word.WordWriteCell(Text("Всего"), kTableSize, true, ParagraphAlign::Left);
    word.WordWriteCell(GroupedDigits(section.duty.totalCycles), kTableSize, true,
                       ParagraphAlign::Right);
    word.WordWriteCell(section.duty.totalCycles ? Text("100 %") : "", kTableSize, true,
                       ParagraphAlign::Right);
    word.WordWriteCell(FormatDuration(0, section.totals.workingSeconds), kTableSize, true,
                       ParagraphAlign::Right);
    word.WordWriteCell(Tenths(section.totals.massTotal), kTableSize, true, ParagraphAlign::Right);
    word.WordDeleteRow();
    word.WordMoveDown();
}

void WriteBlockFigures(WordLayer& word, const Section& section) {
    const DutyAssessment& duty = section.duty;
    Line(word, Text("Коэффициент распределения нагрузок Kp по верхним границам диапазонов (1): ") +
                   Kp(duty.kpUpperBound));
    Line(word, Text("Коэффициент распределения нагрузок Kp по средней массе груза (2): ") +
                   Kp(duty.kpMeanLoad));
    Line(word, Text("Класс нагружения: ") +
                   (duty.loadingClass ? "Q" + std::to_string(*duty.loadingClass) : NoData()) +
                   (duty.kpUpperBound && *duty.kpUpperBound > 1
                        ? Text(" (Kp больше 1: краном поднимались грузы сверх номинальных)")
                        : ""));
    Line(word, Text("Перегрузки (свыше 110 %): ") + Cycles(section.totals.overloadCycles) +
                   (section.totals.overloadCycles
                        ? Text(", поднято ") + Tenths(section.totals.overloadMass) + Text(" т")
                        : ""));
    Line(word, Text("Темп работы: ") + (duty.cyclesPerDay ? Pace(*duty.cyclesPerDay) : NoData()));
}

void WriteWholeLifeGroup(WordLayer& word, const DutyAssessment& duty) {
    Line(word, Text("Класс использования на дату считывания: U") +
                   std::to_string(duty.utilisationClass) + " (" + Cycles(duty.totalCycles) + ")");
    Line(word, Text("Группа классификации на дату считывания: ") +
                   (duty.group ? GroupName(*duty.group) : NoData()));
}

void WriteServiceLife(WordLayer& word, const DutyAssessment& whole, const LifeAssessment& life) {
    Heading(word, Text("Срок службы и ресурс"));
    if (!life.serviceLife) {
        Line(word, Text("Нормативный срок службы: нет данных (в паспорте нет даты ввода крана "
                        "в эксплуатацию или нормативного срока службы)"));
    } else {
        std::string text = Text("Нормативный срок службы: ") +
                           Years(static_cast<std::uint64_t>(life.serviceLife->years)) +
                           Text(" с ") + Day(life.serviceLife->commissioned) + Text(", до ") +
                           Day(life.serviceLife->End());
        if (life.normativeEnded) {
            text += Text("; истёк");
        } else if (whole.periodEnd) {
            text += Text("; осталось ") + TimeBetween(*whole.periodEnd, life.serviceLife->End());
        }
        Line(word, text);
    }

    std::string projection = Text("Прогноз на весь нормативный срок службы");
    if (!life.projectedCycles) {
        projection += Text(": нет данных");
    } else {
        if (life.outlived) {
            projection += Text(" (срок уже пройден, взяты циклы на дату считывания): ");
        } else {
            projection += Text(" при темпе ") + Pace(*whole.cyclesPerDay) + ": ";
        }
        projection += RoundedCycles(*life.projectedCycles) + ", U" +
                      std::to_string(*life.projectedUtilisation);
        if (life.projectedGroup) {
            projection += ", Q" + std::to_string(*whole.loadingClass) + "/U" +
                          std::to_string(*life.projectedUtilisation) + Text(" - группа ") +
                          GroupName(*life.projectedGroup);
        }
    }
    Line(word, projection, life.projectedGroup.has_value());

    if (!life.passportGroup) {
        Line(word, Text("Группа классификации по паспорту: не указана или не распознана"));
        return;
    }
    const std::string group = GroupName(*life.passportGroup);
    if (!life.designLife) {
        Line(word, Text("Группа классификации по паспорту: ") + group);
        Line(word, Text("Ресурс группы ") + group +
                       Text(" сверху не ограничен: расход ресурса не рассчитывается."));
        return;
    }
    Line(word, Text("Группа классификации по паспорту: ") + group + Text(" (база группы ") + group +
                   ": " + RoundedCycles(*life.designLife) + Text(" при Kp = 1)"));
    if (!life.usedShare) {
        Line(word, Text("Израсходовано ресурса группы ") + group + ": " + NoData());
        return;
    }
    if (*life.usedShare > 1) {
        Line(word,
             Text("Ресурс группы ") + group + Text(" исчерпан: израсходовано ") +
                 PercentText(*life.usedShare),
             true);
        return;
    }
    Line(word, Text("Израсходовано ресурса группы ") + group + Text(" за весь срок службы: ") +
                   PercentText(*life.usedShare));
    const std::string basis =
        life.currentFromPeriod ? Text(" периода между считываниями") : Text(" за весь срок службы");
    Line(word, Text("Остаток ресурса при Kp") + basis + " (" + Kp(life.currentKp) +
                   "): " + (life.cyclesLeft ? RoundedCycles(*life.cyclesLeft) : NoData()));
    std::string when = NoData();
    if (life.beyondNormative) {
        when = Text("за пределами нормативного срока службы");
    } else if (life.daysLeft && *life.daysLeft / 365.25 >= kLongestForecastYears) {
        when = Text("не ранее чем через ") +
               Years(static_cast<std::uint64_t>(std::floor(*life.daysLeft / 365.25)));
    } else if (life.resourceEnds) {
        when = Text("ориентировочно ") + Day(*life.resourceEnds);
    }
    Line(word, Text("Ресурс будет исчерпан при темпе") + basis + " (" +
                   (life.currentPace ? Pace(*life.currentPace) : NoData()) + "): " + when);
}

void WriteRecorderFigure(WordLayer& word, const std::array<Section, 2>& sections) {
    Heading(word, Text("Показатель регистратора"));
    Line(word, Text("Характеристическое число (вычисляется самим регистратором, в расчёте Kp не "
                    "участвует): за весь срок службы ") +
                   Tenths(sections[0].block.CharacteristicNumber()) +
                   Text(", в период между считываниями ") +
                   Tenths(sections[1].block.CharacteristicNumber()));
}

void WriteVerdict(WordLayer& word, const DutyAssessment& whole, const LifeAssessment& life) {
    Heading(word, Text("Заключение (предварительная оценка)"));
    std::string verdict;
    const std::optional<int> group = life.projectedGroup ? life.projectedGroup : whole.group;
    const std::string which = life.projectedGroup ? Text(
                                                        "прогнозная группа на нормативный срок "
                                                        "службы ")
                                                  : Text("группа на дату считывания ");
    if (!group) {
        verdict = Text("Циклов не зарегистрировано: режим работы не определяется.");
    } else if (!life.passportGroup) {
        verdict = Text("По предварительной оценке ") + which + GroupName(*group) +
                  Text("; сравнить с паспортом нельзя.");
    } else if (life.usedShare && *life.usedShare > 1) {
        verdict = Text("По предварительной оценке ресурс группы ") +
                  GroupName(*life.passportGroup) + Text(" по паспорту исчерпан (") +
                  PercentText(*life.usedShare) + ").";
    } else if (*group <= *life.passportGroup) {
        verdict = Text("По предварительной оценке кран работает в пределах группы ") +
                  GroupName(*life.passportGroup) + Text(" по паспорту (") + which +
                  GroupName(*group) + ").";
    } else {
        verdict = Text("По предварительной оценке кран работает тяжелее группы ") +
                  GroupName(*life.passportGroup) + Text(" по паспорту: ") + which +
                  GroupName(*group) + ".";
    }
    Line(word, verdict, true);
    Line(word, Text("Оценка ориентировочная, получена по данным регистратора и не заменяет "
                    "экспертизу промышленной безопасности крана."));
    if (life.normativeEnded) {
        Line(word,
             Text("Нормативный срок службы крана истёк ") + Day(life.serviceLife->End()) +
                 Text(": независимо от приведённых показателей кран подлежит экспертизе "
                      "промышленной безопасности (ЭПБ) в соответствии с федеральными нормами и "
                      "правилами в области промышленной безопасности для подъёмных сооружений."),
             true);
    }
    word.WordNewParagraph();
    Line(word, Text("Составил: ______________________ / ______________________"
                    "          Дата: ______________"));
}

void WriteFootnotes(WordLayer& word, const std::array<Section, 2>& sections) {
    word.WordNewParagraph();
    const auto note = [&](const std::string& text) {
        word.WordWriteLine(text, kNoteSize, false, ParagraphAlign::Left);
    };
    const auto over = [&](const Section& section) {
        const std::uint32_t cycles = section.inputs.ranges[kOverRange].cycles;
        return Cycles(cycles) + " (" + PercentText(section.duty.cycleShare[kOverRange]) + ")";
    };
    const std::optional<double>& capacity = sections[0].inputs.ratedCapacity;
    note(
        Text("Kp = сумма (Ci / Cт) · (Pi / Pном)^3: Ci - циклов в диапазоне, Cт - всего циклов, "
             "Pi / Pном - загрузка диапазона в долях номинальной."));
    note(Text("(1) Каждый диапазон взят по верхней границе: 25, 50, 75, 100, 110, 120, 130 %. "
              "Для диапазона \"свыше 130 %\" принято 130 %, его нагрузки этим занижены; в нём ") +
         over(sections[0]) + Text(" за весь срок службы и ") + over(sections[1]) +
         Text(" в период между считываниями."));
    note(Text("(2) Средняя масса груза диапазона - поднятая масса, делённая на число циклов, "
              "против грузоподъёмности крана по паспорту") +
         (capacity ? " (" + DecimalComma(*capacity, 1) + Text(" т)") : Text(" (не указана)")) +
         Text(". Kp (2) ниже Kp (1): загрузка в процентах отсчитывается от грузоподъёмности "
              "на рабочем вылете, масса - от наибольшей грузоподъёмности крана."));
    note(
        Text("Классы нагружения и использования и группа - по классификации ISO 4301-1 "
             "(ГОСТ 25546-82), по Kp (1). Расход ресурса оценён по подходу ISO 12482 "
             "(база группы - наибольшее Cmax · Kp её ячеек); на стреловые самоходные и "
             "башенные краны этот стандарт не распространяется, для них оценка лишь "
             "ориентировочная."));
}

void PastePicture(WordLayer& word, const std::vector<std::uint8_t>& png) {
    if (png.empty()) return;
    word.WordNewParagraph();
    word.WordPasteCentered(png);
    word.WordNewParagraph();
}

}  // namespace

bool BuildActualDutyAppendix(const ReportInputs& inputs, WordLayer& word, bool withPictures,
                             HistogramPictures& pictures) {
    std::array<Section, 2> sections = {
        Section{"За весь срок службы", memory_map::kStatisticsTotalAddress, {}, {}, {}, {}},
        Section{"В период между считываниями", memory_map::kStatisticsSinceAddress, {}, {}, {}, {}},
    };
    inputs.SetProgress(0);
    for (Section& section : sections) {
        if (!ReadStatistics(inputs.source, section.address, section.block)) {
            inputs.notifier.Notify(Text("Статистика не загружена\rили содержит ошибки."));
            return false;
        }
        section.inputs = DutyInputsOf(section.block, inputs.sheet);
        section.duty = AssessDuty(section.inputs);
        section.totals = TotalsOf(section.block);
    }
    const LifeAssessment life = AssessLife(sections[0].inputs, sections[0].duty, sections[1].duty);
    inputs.SetProgress(50);
    inputs.PauseAndResetProgress();

    word.WordNewDocument(0);
    word.WordWriteText(Text("Приложение 6\r\r"), 12, false, ParagraphAlign::Right);
    word.WordWriteText(Text("Фактический режим работы крана"), 16, true, ParagraphAlign::Centred);
    word.WordNewParagraph();
    WriteCraneIdentification(word, inputs.sheet, 10);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& section = sections[i];
        Heading(word, std::to_string(i + 1) + ". " + Text(section.titleUtf8) + Text(" (с ") +
                          RecorderDate(section.block.PeriodStart()) + Text(" по ") +
                          RecorderDate(section.block.PeriodEnd()) + ")");
        WriteSpectrum(word, section);
        if (withPictures) PastePicture(word, pictures.SpectrumPicture(section.block));
        WriteBlockFigures(word, section);
        if (i == 0) WriteWholeLifeGroup(word, section.duty);
    }
    WriteServiceLife(word, sections[0].duty, life);
    WriteRecorderFigure(word, sections);
    WriteVerdict(word, sections[0].duty, life);
    WriteFootnotes(word, sections);
    return word.WordShow();
}

}  // namespace zorvek
