#include "reports/word/documents/actual_duty.h"

#include <array>
#include <cstdio>
#include <string>

#include "model/cp1251.h"
#include "model/decoders.h"
#include "model/duty_class.h"
#include "model/format.h"
#include "reports/word/tables/crane_identification.h"

namespace zorvek {
namespace {

constexpr int kTextSize = 11;
constexpr int kTableSize = 9;

struct Period {
    std::uint32_t address;
    const char* titleUtf8;
};

constexpr std::array kPeriods = {
    Period{memory_map::kStatisticsTotalAddress, "За весь срок службы"},
    Period{memory_map::kStatisticsSinceAddress, "В период между считываниями"},
};

constexpr std::array<const char*, kLoadRangeCount> kRangeLabels = {
    "до 25 %",   "26-50 %",   "51-75 %",   "76-100 %",
    "101-110 %", "111-120 %", "121-130 %", "свыше 130 %"};

std::string Text(const char* utf8) { return Cp1251FromUtf8(utf8); }

std::string Number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string NoData() { return Text("нет данных"); }

std::string GroupName(int group) { return Text("А") + std::to_string(group); }

std::string DateText(std::uint32_t packed) {
    // " 4.07.09  0:00:00" without the time of day.
    std::string text = FormatDateTime(0, packed);
    const std::size_t space = text.find(' ', 1);
    return space == std::string::npos ? text : text.substr(0, space);
}

void Line(WordLayer& word, const std::string& text, bool bold = false) {
    word.WordWriteLine(text, kTextSize, bold, ParagraphAlign::Left);
}

void WriteSpectrum(WordLayer& word, const DutyInputs& inputs, const DutyAssessment& duty) {
    word.WordAddTable(1, 5, kTableSize);
    for (const char* heading :
         {"Загрузка", "Циклов", "Доля циклов", "Время работы", "Поднятая масса, т"}) {
        word.WordWriteCell(Text(heading), kTableSize, true, ParagraphAlign::Centred);
    }
    double mass = 0;
    std::uint32_t seconds = 0;
    for (int range = 0; range < kLoadRangeCount; ++range) {
        const LoadRangeRecord& record = inputs.ranges[range];
        mass += record.mass;
        seconds += record.seconds;
        word.WordWriteCell(Text(kRangeLabels[range]), kTableSize, false, ParagraphAlign::Left);
        word.WordWriteCell(FormatInt(0, record.cycles), kTableSize, false, ParagraphAlign::Right);
        word.WordWriteCell(Number("%.1f %%", 100 * duty.cycleShare[range]), kTableSize, false,
                           ParagraphAlign::Right);
        word.WordWriteCell(FormatDuration(0, record.seconds), kTableSize, false,
                           ParagraphAlign::Right);
        word.WordWriteCell(FormatReal("##########0.0", record.mass), kTableSize, false,
                           ParagraphAlign::Right);
    }
    word.WordWriteCell(Text("Всего"), kTableSize, true, ParagraphAlign::Left);
    word.WordWriteCell(FormatInt(0, static_cast<std::uint32_t>(duty.totalCycles)), kTableSize, true,
                       ParagraphAlign::Right);
    word.WordWriteCell(duty.totalCycles ? Text("100 %") : "", kTableSize, true,
                       ParagraphAlign::Right);
    word.WordWriteCell(FormatDuration(0, seconds), kTableSize, true, ParagraphAlign::Right);
    word.WordWriteCell(FormatReal("##########0.0", mass), kTableSize, true, ParagraphAlign::Right);
    word.WordDeleteRow();
    word.WordMoveDown();
}

void WriteFigures(WordLayer& word, const DutyAssessment& duty, float characteristic) {
    const auto kp = [](const std::optional<double>& value) {
        return value ? Number("%.3f", *value) : NoData();
    };
    Line(word, Text("Коэффициент распределения нагрузок Kp по верхним границам диапазонов (1): ") +
                   kp(duty.kpUpperBound));
    Line(word, Text("Коэффициент распределения нагрузок Kp по средней нагрузке диапазонов (2): ") +
                   kp(duty.kpMeanLoad));
    Line(word, Text("Класс нагружения: ") +
                   (duty.loadingClass ? "Q" + std::to_string(*duty.loadingClass) : NoData()) +
                   (duty.kpUpperBound && *duty.kpUpperBound > 1
                        ? Text(" (Kp больше 1: краном поднимались грузы сверх номинальных)")
                        : ""));
    Line(word, Text("Класс использования: U") + std::to_string(duty.utilisationClass) + " (" +
                   std::to_string(duty.totalCycles) + Text(" циклов)"));
    Line(word,
         Text("Фактическая группа классификации: ") +
             (duty.group ? GroupName(*duty.group) : NoData()),
         true);
    Line(word, Text("Группа классификации по паспорту: ") +
                   (duty.passportGroup ? GroupName(*duty.passportGroup)
                                       : Text("в паспорте не указана или не распознана")));
    if (duty.passportGroup && !duty.designLife) {
        Line(word, Text("Ресурс группы ") + GroupName(*duty.passportGroup) +
                       Text(" сверху не ограничен: расход ресурса не рассчитывается."));
    } else if (duty.passportGroup) {
        Line(word, Text("Израсходовано ресурса группы по паспорту: ") +
                       (duty.usedShare ? Number("%.1f %%", 100 * *duty.usedShare) : NoData()));
        Line(word, Text("Осталось циклов при фактическом Kp: ") +
                       (duty.cyclesLeft ? Number("%.0f", *duty.cyclesLeft) : NoData()));
    }
    Line(word, Text("Циклов в сутки за период: ") +
                   (duty.cyclesPerDay ? Number("%.1f", *duty.cyclesPerDay) : NoData()));
    if (duty.designLife) {
        std::string when = NoData();
        if (duty.lifeEnds) {
            when = DateText(*duty.lifeEnds);
        } else if (duty.daysLeft) {
            when = Text("не ранее чем через ") + Number("%.0f", *duty.daysLeft / 365.25) +
                   Text(" лет");
        }
        Line(word, Text("Ресурс будет исчерпан при таком темпе: ") + when);
    }
    Line(word, Text("Характеристическое число (по данным регистратора): ") +
                   FormatReal("########0.0", characteristic));

    std::string verdict;
    if (!duty.group) {
        verdict = Text("Вывод: циклов не зарегистрировано, режим работы не определяется.");
    } else if (!duty.passportGroup) {
        verdict = Text("Вывод: кран работает в группе ") + GroupName(*duty.group) +
                  Text("; сравнить с паспортом нельзя.");
    } else if (*duty.group <= *duty.passportGroup) {
        verdict = Text("Вывод: кран работает в пределах группы по паспорту (") +
                  GroupName(*duty.passportGroup) + ").";
    } else {
        verdict = Text("Вывод: кран работает тяжелее группы по паспорту (") +
                  GroupName(*duty.passportGroup) + Text("): фактически в группе ") +
                  GroupName(*duty.group) + ".";
    }
    Line(word, verdict, true);
}

void WriteFootnotes(WordLayer& word, const std::optional<double>& capacity) {
    word.WordNewParagraph();
    const auto note = [&](const std::string& text) {
        word.WordWriteLine(text, 8, false, ParagraphAlign::Left);
    };
    note(
        Text("Kp = сумма (Ci / Cт) · (Pi / Pном)^3: Ci - циклов в диапазоне, Cт - всего циклов, "
             "Pi / Pном - загрузка диапазона в долях номинальной."));
    note(
        Text("(1) Каждый диапазон взят по верхней границе (25, 50, 75, 100, 110, 120, 130 %; "
             "свыше 130 % - как 130 %): оценка с запасом."));
    note(Text("(2) Средняя нагрузка диапазона - поднятая масса, делённая на число циклов, "
              "против грузоподъёмности по паспорту") +
         (capacity ? " (" + Number("%.1f", *capacity) + Text(" т).") : Text(" (не указана).")));
    note(
        Text("Класс нагружения, группа и расход ресурса определены по Kp (1). "
             "Показатели ориентировочные и не заменяют экспертного обследования крана."));
}

}  // namespace

bool BuildActualDutyAppendix(const ReportInputs& inputs, WordLayer& word) {
    std::array<StatisticsBlock, kPeriods.size()> blocks;
    inputs.SetProgress(0);
    for (std::size_t i = 0; i < kPeriods.size(); ++i) {
        if (!ReadStatistics(inputs.source, kPeriods[i].address, blocks[i])) {
            inputs.notifier.Notify(Text("Статистика не загружена\rили содержит ошибки."));
            return false;
        }
    }
    inputs.SetProgress(50);
    inputs.PauseAndResetProgress();

    word.WordNewDocument(0);
    word.WordWriteText(Text("Приложение 6\r\r"), 12, false, ParagraphAlign::Right);
    word.WordWriteText(Text("Фактический режим работы крана"), 16, true, ParagraphAlign::Centred);
    word.WordNewParagraph();
    WriteCraneIdentification(word, inputs.sheet, 10);
    std::optional<double> capacity;
    for (std::size_t i = 0; i < kPeriods.size(); ++i) {
        const DutyInputs duty = DutyInputsOf(blocks[i], inputs.sheet);
        capacity = duty.ratedCapacity;
        word.WordNewParagraph();
        word.WordWriteLine(Text(kPeriods[i].titleUtf8) + Text(" (с ") +
                               DateText(blocks[i].PeriodStart()) + Text(" по ") +
                               DateText(blocks[i].PeriodEnd()) + ")",
                           12, true, ParagraphAlign::Left);
        const DutyAssessment assessment = AssessDuty(duty);
        WriteSpectrum(word, duty, assessment);
        WriteFigures(word, assessment, blocks[i].CharacteristicNumber());
    }
    WriteFootnotes(word, capacity);
    return word.WordShow();
}

}  // namespace zorvek
