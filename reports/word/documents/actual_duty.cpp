#include "reports/word/documents/actual_duty.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <string>

#include "model/cp1251.h"
#include "model/data_plausibility.h"
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

std::string Day(std::chrono::sys_days day) { return DayText(day); }

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
    std::uint32_t onTimeAddress;
    DataBlock data;
    StatisticsBlock block;
    RecordedPeriod recorded;
    DutyAssessment duty;
    StatisticsTotals totals;

    const DutyInputs& inputs() const { return recorded.inputs; }
};

// What the figures of the appendix may say: the findings on the data and
// which of them each conclusion rests on.
struct Doubts {
    const std::vector<DataFinding>& findings;

    std::optional<std::string> Of(std::initializer_list<std::pair<DataBlock, unsigned>> f) const {
        return Withheld(findings, f);
    }
};

void WriteSpectrum(WordLayer& word, const Section& section) {
    word.WordAddTable(1, 5, kTableSize);
    for (const char* heading :
         {"Загрузка", "Циклов", "Доля циклов", "Время работы", "Поднятая масса, т"}) {
        word.WordWriteCell(Text(heading), kTableSize, true, ParagraphAlign::Centred);
    }
    for (int range = 0; range < kLoadRangeCount; ++range) {
        const LoadRangeRecord& record = section.inputs().ranges[range];
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

void WriteBlockFigures(WordLayer& word, const Section& section, const Doubts& doubts) {
    const DutyAssessment& duty = section.duty;
    const auto withheld = [&](unsigned figures) { return doubts.Of({{section.data, figures}}); };
    const auto figure = [&](unsigned figures, const std::string& value) {
        return withheld(figures).value_or(value);
    };
    Line(word, Text("Коэффициент распределения нагрузок Kp по верхним границам диапазонов (1): ") +
                   figure(doubt::kClasses, Kp(duty.kpUpperBound)));
    Line(word, Text("Коэффициент распределения нагрузок Kp по средней массе груза (2): ") +
                   figure(doubt::kClasses | doubt::kMeanLoad, Kp(duty.kpMeanLoad)));
    Line(word,
         Text("Класс нагружения: ") +
             figure(doubt::kClasses,
                    (duty.loadingClass ? "Q" + std::to_string(*duty.loadingClass) : NoData()) +
                        (duty.kpUpperBound && *duty.kpUpperBound > 1
                             ? Text(" (Kp больше 1: краном поднимались грузы сверх "
                                    "номинальных)")
                             : "")));
    Line(word, Text("Перегрузки (свыше 110 %): ") + Cycles(section.totals.overloadCycles) +
                   (section.totals.overloadCycles
                        ? Text(", поднято ") + Tenths(section.totals.overloadMass) + Text(" т")
                        : ""));
    Line(word,
         Text("Темп работы: ") + figure(doubt::kClasses | doubt::kPace,
                                        duty.cyclesPerDay ? Pace(*duty.cyclesPerDay) : NoData()));
}

void WriteWholeLifeGroup(WordLayer& word, const DutyAssessment& duty, const Doubts& doubts) {
    const std::optional<std::string> withheld =
        doubts.Of({{DataBlock::WholeLife, doubt::kClasses}});
    Line(word, Text("Класс использования на дату считывания: ") +
                   withheld.value_or("U" + std::to_string(duty.utilisationClass) + " (" +
                                     Cycles(duty.totalCycles) + ")"));
    Line(word, Text("Группа классификации на дату считывания: ") +
                   withheld.value_or(duty.group ? GroupName(*duty.group) : NoData()));
}

// Work the crane did between commissioning and the recorder's first day,
// which the recorder never saw.
void WriteUnrecorded(WordLayer& word, const DutyAssessment& whole, const LifeAssessment& life) {
    if (!life.unrecordedDays || !whole.periodStart) return;
    Line(word, Text("Кран введён в эксплуатацию ") + Day(life.serviceLife->commissioned) +
                   Text(", данные регистратора начинаются ") + Day(*whole.periodStart) +
                   Text(": работа за ") +
                   TimeBetween(life.serviceLife->commissioned, *whole.periodStart) +
                   Text(" до начала записи в этих цифрах не учтена."));
}

std::string BaseText(const LifeAssessment& life, const DutyAssessment& whole) {
    const std::string group = GroupName(*life.passportGroup);
    const std::string cell = "Q" + std::to_string(life.baseLoadingClass) + "/U" +
                             std::to_string(life.baseUtilisationClass);
    const std::string figures = GroupedDigits(*UtilisationBound(life.baseUtilisationClass)) +
                                Text(" циклов · Kp ") +
                                DecimalComma(NominalKp(life.baseLoadingClass), 3) + " = " +
                                RoundedCycles(*life.designLife) + Text(" при Kp = 1");
    if (life.baseOfOwnClass) {
        return Text(" (база группы ") + group + Text(" при классе нагружения крана Q") +
               std::to_string(life.baseLoadingClass) + Text(": ячейка ") + cell + ", " + figures +
               ")";
    }
    const std::string why = whole.loadingClass ? Text("у класса нагружения Q") +
                                                     std::to_string(*whole.loadingClass) +
                                                     Text(" ячейки этой группы нет")
                                               : Text("класс нагружения крана не определён");
    return Text(" (база группы ") + group + Text(": ") + why +
           Text(", взята её наибольшая ячейка ") + cell + ", " + figures + ")";
}

void WriteResourceEnd(WordLayer& word, const LifeAssessment& life, const std::string& basis,
                      const std::optional<std::string>& withheld) {
    Line(word, Text("Остаток ресурса при Kp") + basis + " (" + Kp(life.currentKp) + "): " +
                   withheld.value_or(life.cyclesLeft ? RoundedCycles(*life.cyclesLeft) : NoData()));
    std::string when = NoData();
    if (life.beyondNormative) {
        when = Text("за пределами нормативного срока службы");
    } else if (life.daysLeft && *life.daysLeft / 365.25 >= kLongestForecastYears) {
        when = Text("не ранее чем через ") +
               Years(static_cast<std::uint64_t>(std::floor(*life.daysLeft / 365.25)));
    } else if (life.resourceEnds) {
        when = Text("ориентировочно ") + Day(*life.resourceEnds) + Text(" (через ") +
               CountOf(static_cast<std::uint64_t>(*life.daysLeft), Text("день"), Text("дня"),
                       Text("дней")) +
               ")";
        if (life.normativeEnded) when += Text(", после окончания нормативного срока службы");
    }
    Line(word, Text("Ресурс будет исчерпан при темпе") + basis + " (" +
                   (life.currentPace ? Pace(*life.currentPace) : NoData()) +
                   "): " + withheld.value_or(when));
}

void WriteServiceLife(WordLayer& word, const std::array<Section, 2>& sections,
                      const LifeAssessment& life, const std::string& craneType,
                      const Doubts& doubts) {
    const DutyAssessment& whole = sections[0].duty;
    Heading(word, Text("Срок службы и ресурс"));
    if (!life.serviceLife) {
        Line(word, Text("Нормативный срок службы: нет данных (") + life.serviceLifeProblem + ")");
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

    const std::optional<std::string> projectionWithheld =
        doubts.Of({{DataBlock::WholeLife, doubt::kClasses | doubt::kPace}});
    std::string projection = Text("Прогноз на весь нормативный срок службы");
    if (!life.projectedCycles) {
        projection += Text(": нет данных");
    } else if (projectionWithheld) {
        projection += ": " + *projectionWithheld;
    } else {
        if (life.outlived) {
            projection += Text(" (срок уже пройден, взяты циклы на дату считывания");
            projection +=
                life.unrecordedCycles ? Text(" с неучтёнными до начала записи): ") : Text("): ");
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
    Line(word, projection, life.projectedGroup.has_value() && !projectionWithheld);

    if (IsMobileJibCrane(craneType)) {
        Line(word, Text("Тип крана по паспорту (") + craneType +
                       Text(") - стреловой самоходный кран: подход ISO 12482 к расчётному "
                            "ресурсу для таких кранов не определён, расход и остаток ресурса "
                            "ниже - ориентировочные."));
    }
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
    const std::optional<std::string> recordedWithheld =
        doubts.Of({{DataBlock::WholeLife, doubt::kClasses}});
    // The base rests on the crane's Q class, which doubtful counts do not give.
    Line(word, Text("Группа классификации по паспорту: ") + group +
                   (recordedWithheld ? "" : BaseText(life, whole)));
    const std::optional<std::string> usedWithheld =
        life.unrecordedCycles ? projectionWithheld : recordedWithheld;
    if (!life.usedShare) {
        Line(word, Text("Израсходовано ресурса группы ") + group + ": " + NoData());
        return;
    }
    if (life.unrecordedCycles && whole.periodStart) {
        Line(word, Text("Израсходовано ресурса группы ") + group +
                       Text(" по данным регистратора (только ") + Cycles(whole.totalCycles) +
                       Text(", учтённые с ") + Day(*whole.periodStart) +
                       "): " + recordedWithheld.value_or(PercentText(*life.usedShareRecorded)));
        Line(word, Text("С учётом работы до начала записи (") +
                       TimeBetween(life.serviceLife->commissioned, *whole.periodStart) +
                       Text(" при темпе ") + Pace(*whole.cyclesPerDay) + Text(", около ") +
                       RoundedCycles(*life.unrecordedCycles) +
                       Text("; эта цифра принята в заключении): ") +
                       usedWithheld.value_or(PercentText(*life.usedShare)));
    }
    if (usedWithheld) {
        if (!life.unrecordedCycles) {
            Line(word, Text("Израсходовано ресурса группы ") + group + ": " + *usedWithheld);
        }
        return;
    }
    if (life.exhausted) {
        Line(word,
             Text("Ресурс группы ") + group + Text(" исчерпан: израсходовано ") +
                 PercentText(*life.usedShare),
             true);
        return;
    }
    if (!life.unrecordedCycles) {
        Line(word, Text("Израсходовано ресурса группы ") + group + Text(" за весь срок службы: ") +
                       PercentText(*life.usedShare));
    }
    const std::string basis =
        life.currentFromPeriod ? Text(" периода между считываниями") : Text(" за весь срок службы");
    const DataBlock current =
        life.currentFromPeriod ? DataBlock::SinceReading : DataBlock::WholeLife;
    WriteResourceEnd(word, life, basis,
                     doubts.Of({{DataBlock::WholeLife, doubt::kClasses},
                                {current, doubt::kClasses | doubt::kPace}}));
}

// The classes of utilisation of the mechanisms from their operating hours.
void WriteMechanisms(const ReportInputs& inputs, WordLayer& word, const DutyAssessment& whole,
                     const LifeAssessment& life, const Doubts& doubts) {
    Heading(word, Text("Механизмы: классы использования"));
    MechanismCounters counters;
    if (!ReadMechanismCounters(inputs.source, memory_map::kCountersTotalAddress, counters)) {
        Line(word, Text("Счётчики механизмов за весь срок службы не загружены или содержат "
                        "ошибки: классы использования механизмов не определяются."));
        return;
    }
    const std::optional<std::string> projectionWithheld =
        doubts.Of({{DataBlock::WholeLife, doubt::kDates}});
    word.WordAddTable(1, 3, kTableSize);
    for (const char* heading :
         {"Механизм", "Наработка на дату считывания", "Прогноз на нормативный срок службы"}) {
        word.WordWriteCell(Text(heading), kTableSize, true, ParagraphAlign::Centred);
    }
    for (int mechanism = 0; mechanism < memory_map::kMechanisms; ++mechanism) {
        double seconds = 0;
        for (int range = 0; range < kLoadRangeCount; ++range) {
            seconds += counters.OperatingSeconds(range, mechanism);
        }
        const double hours = seconds / 3600;
        const auto hoursAndClass = [](double h) {
            return GroupedNumber(DecimalComma(h, 0)) + Text(" ч, T") +
                   std::to_string(MechanismClassOf(h));
        };
        const std::optional<double> projected = ProjectedOverTerm(hours, whole, life);
        word.WordWriteCell(MechanismName(inputs.source, mechanism), kTableSize, false,
                           ParagraphAlign::Left);
        word.WordWriteCell(hoursAndClass(hours), kTableSize, false, ParagraphAlign::Right);
        std::string forecast = NoData();
        if (projected) forecast = projectionWithheld ? "-" : hoursAndClass(*projected);
        word.WordWriteCell(forecast, kTableSize, false, ParagraphAlign::Right);
    }
    word.WordDeleteRow();
    word.WordMoveDown();
    if (projectionWithheld) Line(word, Text("Прогноз наработки: ") + *projectionWithheld);
    Line(word, Text("Классы T0-T9 - по общей наработке механизма (ISO 4301-1), прогноз - при темпе "
                    "наработки за весь срок службы. Класс нагружения механизма (L1-L4) и его "
                    "группа (M1-M8) требуют спектра нагрузок самого механизма, которого "
                    "регистратор не хранит: они здесь не определяются."));
}

void WriteRecorderFigure(WordLayer& word, const std::array<Section, 2>& sections) {
    Heading(word, Text("Показатель регистратора"));
    Line(word, Text("Характеристическое число (вычисляется самим регистратором, в расчёте Kp не "
                    "участвует): за весь срок службы ") +
                   Tenths(sections[0].block.CharacteristicNumber()) +
                   Text(", в период между считываниями ") +
                   Tenths(sections[1].block.CharacteristicNumber()));
}

std::string VerdictText(const DutyAssessment& whole, const LifeAssessment& life,
                        const Doubts& doubts) {
    const std::optional<int> group = life.projectedGroup ? life.projectedGroup : whole.group;
    const std::string which = life.projectedGroup
                                  ? Text("прогнозная группа на нормативный срок службы ")
                                  : Text("группа на дату считывания ");
    const unsigned groupDoubt =
        life.projectedGroup ? doubt::kClasses | doubt::kPace : doubt::kClasses;
    const unsigned usedDoubt =
        life.unrecordedCycles ? doubt::kClasses | doubt::kPace : doubt::kClasses;
    if (const std::optional<std::string> withheld =
            doubts.Of({{DataBlock::WholeLife, groupDoubt | usedDoubt}})) {
        return Text("В") + withheld->substr(1) + ".";
    }
    if (!group) return Text("Циклов не зарегистрировано: режим работы не определяется.");
    if (!life.passportGroup) {
        return Text("По предварительной оценке ") + which + GroupName(*group) +
               Text("; сравнить с паспортом нельзя.");
    }
    const std::string passport = GroupName(*life.passportGroup);
    if (life.exhausted) {
        std::string text = Text("По предварительной оценке ресурс группы ") + passport +
                           Text(" по паспорту исчерпан (") + PercentText(*life.usedShare) + ")";
        if (*group > *life.passportGroup) {
            text += "; " + which + GroupName(*group) + Text(" тяжелее паспортной ") + passport;
        }
        return text + ".";
    }
    if (*group <= *life.passportGroup) {
        return Text("По предварительной оценке кран работает в пределах группы ") + passport +
               Text(" по паспорту (") + which + GroupName(*group) + ").";
    }
    return Text("По предварительной оценке кран работает тяжелее группы ") + passport +
           Text(" по паспорту: ") + which + GroupName(*group) + ".";
}

// The verdict, its caveat and the reasons for an examination go in one
// short table, which pages keep whole and with the signature line below it.
void WriteVerdict(WordLayer& word, const DutyAssessment& whole, const LifeAssessment& life,
                  const Doubts& doubts) {
    word.WordNewParagraph();
    word.WordAddTable(1, 1, kTextSize);
    word.WordWriteCell(Text("Заключение (предварительная оценка)"), kHeadingSize, true,
                       ParagraphAlign::Left);
    word.WordWriteCell(VerdictText(whole, life, doubts), kTextSize, true, ParagraphAlign::Left);
    word.WordWriteCell(Text("Оценка ориентировочная, получена по данным регистратора и не "
                            "заменяет экспертизу промышленной безопасности крана."),
                       kTextSize, false, ParagraphAlign::Left);
    const bool usedWithheld =
        doubts
            .Of({{DataBlock::WholeLife,
                  life.unrecordedCycles ? doubt::kClasses | doubt::kPace : doubt::kClasses}})
            .has_value();
    if (life.exhausted && !usedWithheld) {
        word.WordWriteCell(
            Text("Число циклов нагружения, на которое рассчитана группа ") +
                GroupName(*life.passportGroup) +
                Text(" по паспорту, превышено: как при превышении количества циклов нагрузки, "
                     "установленного изготовителем, кран подлежит экспертизе промышленной "
                     "безопасности (ЭПБ) (Федеральный закон от 21.07.1997 № 116-ФЗ "
                     "\"О промышленной безопасности опасных производственных объектов\", "
                     "ст. 7, п. 2)."),
            kTextSize, true, ParagraphAlign::Left);
    }
    if (life.normativeEnded) {
        word.WordWriteCell(
            Text("Нормативный срок службы крана истёк ") + Day(life.serviceLife->End()) +
                Text(": независимо от приведённых показателей кран подлежит экспертизе "
                     "промышленной безопасности (ЭПБ) в соответствии с федеральными нормами и "
                     "правилами в области промышленной безопасности для подъёмных сооружений."),
            kTextSize, true, ParagraphAlign::Left);
    }
    word.WordDeleteRow();
    word.WordMoveDown();
    Line(word, Text("Составил: ______________________ / ______________________"
                    "          Дата: ______________"));
}

void WriteDataCheck(WordLayer& word, const std::vector<DataFinding>& findings) {
    Heading(word, Text("Достоверность данных"));
    if (findings.empty()) {
        Line(word, Text("Противоречий в данных регистратора не найдено: счётчики не на пределе, "
                        "время работы не больше календарного и времени во включённом "
                        "состоянии, средние массы грузов в пределах грузоподъёмности, даты "
                        "возможны."));
        return;
    }
    for (const DataFinding& finding : findings) Line(word, finding.line, true);
    Line(word, Text("Выводы, построенные на этих данных, не делаются."));
}

// How Kp by mean mass stands against Kp by the range bounds, said from the
// figures: by mass it is normally the lower, and higher only when the
// capacity in the passport or the masses are wrong.
std::string MeanLoadComparison(const Section& whole, const Doubts& doubts) {
    const DutyAssessment& duty = whole.duty;
    if (!duty.kpMeanLoad || !duty.kpUpperBound ||
        doubts.Of({{whole.data, doubt::kClasses | doubt::kMeanLoad}})) {
        return {};
    }
    const std::string mean = Kp(duty.kpMeanLoad);
    const std::string upper = Kp(duty.kpUpperBound);
    const std::string figures =
        " (" + mean + Text(" против ") + upper + Text(" за весь срок службы)");
    if (mean == upper) return Text(" Kp (2) равен Kp (1) (") + mean + ").";
    if (*duty.kpMeanLoad < *duty.kpUpperBound) {
        return Text(" Kp (2) ниже Kp (1)") + figures +
               Text(
                   ": загрузка в процентах отсчитывается от грузоподъёмности на рабочем вылете, "
                   "масса - от наибольшей грузоподъёмности крана.");
    }
    return Text(" Kp (2) выше Kp (1)") + figures +
           Text(
               ", хотя масса, отнесённая к наибольшей грузоподъёмности, не может давать больше, "
               "чем загрузка на рабочем вылете: грузоподъёмность в паспорте меньше "
               "действительной или массы грузов записаны неверно. В классах Kp (2) не "
               "участвует.");
}

void WriteFootnotes(WordLayer& word, const std::array<Section, 2>& sections, const Doubts& doubts) {
    word.WordNewParagraph();
    const auto note = [&](const std::string& text) {
        word.WordWriteLine(text, kNoteSize, false, ParagraphAlign::Left);
    };
    const auto over = [&](const Section& section) {
        const std::uint32_t cycles = section.inputs().ranges[kOverRange].cycles;
        return Cycles(cycles) + " (" + PercentText(section.duty.cycleShare[kOverRange]) + ")";
    };
    const std::optional<double>& capacity = sections[0].inputs().ratedCapacity;
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
         "." + MeanLoadComparison(sections[0], doubts));
    note(
        Text("Классы нагружения и использования, группа крана и классы использования "
             "механизмов - по классификации ISO 4301-1 (в Российской Федерации действует "
             "межгосударственный стандарт ГОСТ 34017-2016, введённый взамен ГОСТ 25546-82), "
             "по Kp (1). Расход ресурса оценён по подходу ISO 12482: база группы - Cmax · Kp "
             "ячейки группы в строке класса нагружения крана; для стреловых самоходных и "
             "башенных кранов этот подход не определён, для них оценка лишь ориентировочная."));
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
        Section{"За весь срок службы",
                memory_map::kStatisticsTotalAddress,
                memory_map::kOnTimeTotalAddress,
                DataBlock::WholeLife,
                {},
                {},
                {},
                {}},
        Section{"В период между считываниями",
                memory_map::kStatisticsSinceAddress,
                memory_map::kOnTimeSinceAddress,
                DataBlock::SinceReading,
                {},
                {},
                {},
                {}},
    };
    inputs.SetProgress(0);
    for (Section& section : sections) {
        if (!ReadStatistics(inputs.source, section.address, section.block)) {
            inputs.notifier.Notify(Text("Статистика не загружена\rили содержит ошибки."));
            return false;
        }
        section.recorded.inputs = DutyInputsOf(section.block, inputs.sheet);
        OnTimeCounter onTime;
        if (inputs.source
                .ReadMemory(section.onTimeAddress, onTime.bytes.data(),
                            static_cast<std::uint32_t>(OnTimeCounter::kSize), nullptr)
                .Succeeded()) {
            section.recorded.poweredSeconds = onTime.Seconds();
        }
        section.duty = AssessDuty(section.inputs());
        section.totals = TotalsOf(section.block);
    }
    const LifeAssessment life =
        AssessLife(sections[0].inputs(), sections[0].duty, sections[1].duty);
    const std::vector<DataFinding> findings = CheckPlausibility(
        sections[0].recorded, &sections[1].recorded, TodayOf(inputs.DocumentClock()));
    const Doubts doubts{findings};
    inputs.SetProgress(50);
    inputs.PauseAndResetProgress();

    word.WordNewDocument(0);
    word.WordWriteText(Text("Приложение 6\r\r"), 12, false, ParagraphAlign::Right);
    word.WordWriteText(Text("Фактический режим работы крана"), 16, true, ParagraphAlign::Centred);
    word.WordNewParagraph();
    WriteCraneIdentification(word, inputs.sheet, 10);
    WriteDataCheck(word, findings);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& section = sections[i];
        Heading(word, std::to_string(i + 1) + ". " + Text(section.titleUtf8) + Text(" (с ") +
                          RecorderDate(section.block.PeriodStart()) + Text(" по ") +
                          RecorderDate(section.block.PeriodEnd()) + ")");
        if (i == 0) WriteUnrecorded(word, section.duty, life);
        WriteSpectrum(word, section);
        if (withPictures) PastePicture(word, pictures.SpectrumPicture(section.block));
        WriteBlockFigures(word, section, doubts);
        if (i == 0) WriteWholeLifeGroup(word, section.duty, doubts);
    }
    WriteServiceLife(word, sections, life, inputs.sheet.Value(PassportSheet::kCraneType), doubts);
    WriteMechanisms(inputs, word, sections[0].duty, life, doubts);
    WriteRecorderFigure(word, sections);
    WriteVerdict(word, sections[0].duty, life, doubts);
    WriteFootnotes(word, sections, doubts);
    return word.WordShow();
}

}  // namespace zorvek
