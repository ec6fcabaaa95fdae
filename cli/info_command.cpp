#include "cli/info_command.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>

#include "cli/command_line.h"
#include "cli/image_source.h"
#include "cli/terminal.h"
#include "flows/readout_stamp.h"
#include "model/cp1251.h"
#include "model/cycle_line.h"
#include "model/data_plausibility.h"
#include "model/decimal_number.h"
#include "model/decoders.h"
#include "model/duty_class.h"
#include "model/duty_figures.h"
#include "model/format.h"
#include "model/format_check.h"
#include "model/memory_map.h"
#include "reports/common/utf8_path.h"

namespace zorvek::cli {
namespace {

namespace map = memory_map;

constexpr int kNewestCycles = 5;

const char* CrcText(bool ok) {
    return ok ? "контрольная сумма верна" : "КОНТРОЛЬНАЯ СУММА НЕВЕРНА";
}

std::string PeriodText(std::uint32_t start, std::uint32_t end) {
    return ForTerminal(FormatDateTime(0, start)) + " — " + ForTerminal(FormatDateTime(0, end));
}

void PrintPassport(const PassportSheet& sheet, std::ostream& out) {
    out << "Паспорт крана и регистратора:\n";
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        const std::string caption = row < 19 ? ForTerminal(sheet.Caption(row)) : "(текст 20)";
        out << "  " << (row < 10 ? " " : "") << row << "  " << caption << ": "
            << ForTerminal(sheet.Value(row)) << '\n';
    }
}

std::string Figure(const std::optional<double>& value, int decimals) {
    return value ? ForTerminal(DecimalComma(*value, decimals)) : "нет данных";
}

std::string Cycles(std::uint64_t count) {
    return ForTerminal(
        CountOf(count, Cp1251FromUtf8("цикл"), Cp1251FromUtf8("цикла"), Cp1251FromUtf8("циклов")));
}

// The crane's actual duty as appendix 6 gives it: for the whole life its
// group so far and over the normative term, for the period since the last
// reading its spectrum factor and pace; figures the data check doubts are
// withheld as the appendix withholds them.
void PrintDuty(const DutyAssessment& duty, const LifeAssessment* life, DataBlock block,
               const std::vector<DataFinding>& findings, std::ostream& out) {
    const auto withheld = [&](unsigned figures) { return Withheld(findings, {{block, figures}}); };
    if (const std::optional<std::string> classes = withheld(doubt::kClasses)) {
        out << "  фактический режим: " << ForTerminal(*classes) << '\n';
        return;
    }
    const std::optional<std::string> mean = withheld(doubt::kMeanLoad);
    out << "  фактический режим: Kp " << Figure(duty.kpUpperBound, 3) << " (по средней массе"
        << (mean ? ": " + ForTerminal(*mean) : " " + Figure(duty.kpMeanLoad, 3)) << ")";
    if (!duty.group) {
        out << ", циклов нет\n";
        return;
    }
    out << ", Q" << *duty.loadingClass;
    if (!life) {
        const std::optional<std::string> pace = withheld(doubt::kPace);
        out << ", " << (pace ? ForTerminal(*pace) : Figure(duty.cyclesPerDay, 1) + " цикла в сутки")
            << '\n';
        return;
    }
    out << ", U" << duty.utilisationClass << ", группа А" << *duty.group;
    const std::optional<std::string> projection = withheld(doubt::kPace);
    if (projection) {
        out << "; на нормативный срок " << ForTerminal(*projection);
    } else if (life->projectedGroup) {
        out << "; на нормативный срок "
            << Cycles(static_cast<std::uint64_t>(std::llround(*life->projectedCycles))) << ", U"
            << *life->projectedUtilisation << ", группа А" << *life->projectedGroup;
    }
    if (life->passportGroup) {
        out << "; по паспорту А" << *life->passportGroup;
        if (life->usedShare && !(life->unrecordedCycles && projection)) {
            out << (life->exhausted ? ", ресурс исчерпан: " : ", израсходовано ")
                << ForTerminal(PercentText(*life->usedShare));
            if (life->unrecordedCycles) out << " (с неучтёнными до начала записи)";
        }
    } else {
        out << "; группа по паспорту не распознана";
    }
    out << '\n';
}

void PrintStatistics(MemoryReader& source, const PassportSheet& sheet, std::ostream& out) {
    struct Period {
        const char* name;
        std::uint32_t statistics;
        std::uint32_t counters;
        std::uint32_t onTime;
        DataBlock block;
    };
    const Period periods[] = {
        {"за весь период", map::kStatisticsTotalAddress, map::kCountersTotalAddress,
         map::kOnTimeTotalAddress, DataBlock::WholeLife},
        {"между считываниями", map::kStatisticsSinceAddress, map::kCountersSinceAddress,
         map::kOnTimeSinceAddress, DataBlock::SinceReading},
    };
    struct Read {
        bool read = false;
        StatisticsBlock block;
        RecordedPeriod recorded;
        DutyAssessment duty;
    };
    std::array<Read, 2> reads;
    for (std::size_t i = 0; i < reads.size(); ++i) {
        Read& r = reads[i];
        r.read = source
                     .ReadMemory(periods[i].statistics, r.block.bytes.data(),
                                 static_cast<std::uint32_t>(r.block.kSize), nullptr)
                     .Succeeded();
        if (!r.read || !r.block.CrcOk()) continue;
        r.recorded.inputs = DutyInputsOf(r.block, sheet);
        OnTimeCounter onTime;
        if (source
                .ReadMemory(periods[i].onTime, onTime.bytes.data(),
                            static_cast<std::uint32_t>(OnTimeCounter::kSize), nullptr)
                .Succeeded()) {
            r.recorded.poweredSeconds = onTime.Seconds();
        }
        r.duty = AssessDuty(r.recorded.inputs);
    }
    const bool wholeSound = reads[0].read && reads[0].block.CrcOk();
    const bool sinceSound = reads[1].read && reads[1].block.CrcOk();
    std::vector<DataFinding> findings;
    if (wholeSound) {
        findings = CheckPlausibility(reads[0].recorded, sinceSound ? &reads[1].recorded : nullptr,
                                     TodayOf(SystemClock()));
    }
    const LifeAssessment life = AssessLife(reads[0].recorded.inputs, reads[0].duty,
                                           sinceSound ? reads[1].duty : reads[0].duty);

    for (std::size_t i = 0; i < reads.size(); ++i) {
        const Read& r = reads[i];
        out << "Статистика " << periods[i].name << ": ";
        if (!r.read) {
            out << "не читается\n";
            continue;
        }
        std::uint32_t cycles = 0;
        for (int range = 0; range < map::kLoadRanges; ++range) cycles += r.block.CycleCount(range);
        out << PeriodText(r.block.PeriodStart(), r.block.PeriodEnd()) << ", циклов " << cycles
            << ", " << CrcText(r.block.CrcOk()) << '\n';
        if (r.block.CrcOk()) {
            PrintDuty(r.duty, i == 0 ? &life : nullptr, periods[i].block, findings, out);
        }
    }
    if (wholeSound) {
        out << "Достоверность данных:" << (findings.empty() ? " противоречий не найдено" : "")
            << '\n';
        for (const DataFinding& finding : findings)
            out << "  " << ForTerminal(finding.line) << '\n';
    }
    for (const Period& period : periods) {
        MechanismCounters counters;
        const bool ok = ReadMechanismCounters(source, period.counters, counters);
        out << "Счётчики механизмов " << period.name << ": " << CrcText(ok) << '\n';
    }
}

template <typename List>
int CountValid(const List& list) {
    return static_cast<int>(
        std::count_if(list.begin(), list.end(), [](const auto& r) { return r.IsValid(); }));
}

void PrintLists(MemoryReader& source, std::ostream& out) {
    CycleList last;
    CycleList protection;
    auto hours = std::make_unique<HourList>();
    const bool lastOk = ReadCycleList(source, map::kLastCyclesAddress, last, nullptr);
    const bool protectionOk =
        ReadCycleList(source, map::kProtectionCyclesAddress, protection, nullptr);
    const bool hoursOk = ReadHourList(source, *hours, nullptr);

    const auto count = [&](bool ok, int valid, std::size_t size) {
        return ok ? std::to_string(valid) + " из " + std::to_string(size) + " записей действительны"
                  : std::string("не читается");
    };
    out << "Последние циклы: " << count(lastOk, CountValid(last), last.size()) << '\n';
    out << "Циклы со срабатыванием защиты: "
        << count(protectionOk, CountValid(protection), protection.size()) << '\n';
    out << "Последние часы: " << count(hoursOk, CountValid(*hours), hours->size()) << '\n';

    const int valid = CountValid(last);
    if (!lastOk || valid == 0) return;
    out << "\nНовейшие циклы (дата и время, загрузка %, продолжительность, вылет м, вес т, "
           "примечание):\n";
    for (int i = std::max(0, valid - kNewestCycles); i < valid; ++i) {
        out << ForTerminal(CycleLine(last[static_cast<std::size_t>(i)])) << '\n';
    }
}

}  // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out) {
    std::string image;
    CLI::App parser("Что хранит образ накопителя и исправен ли он.", "zorvek-cli info");
    SetUpParser(parser);
    parser.add_option("ОБРАЗ", image, "образ накопителя (.krd, .bin, .nkp)")->type_name("");
    std::string error;
    if (const auto code = Parse(parser, args, out, error)) {
        if (*code != 0) ReportUsageMistake(parser, error);
        return *code;
    }
    if (image.empty()) {
        ReportUsageMistake(parser, "не указан образ");
        return kWrongUsage;
    }
    int exitCode = 0;
    auto session = OpenImage(PathOfUtf8(image), exitCode);
    if (!session) return exitCode;

    out << "Образ: " << image << '\n';
    // As the documents' footers and the archive name the image.
    out << "Отпечаток образа: " << ReadoutStamp(*session).fingerprint << '\n';
    out << "Формат данных: " << ProgramVersionText() << ", принят\n";
    out << "Метка окончания копии прибора считывания: "
        << (CheckEndOfCopyMark(session->dispatch).Present() ? "есть" : "нет") << '\n';
    out << "Механизм 5: " << ForTerminal(MechanismName(session->dispatch, 4)) << "\n\n";
    PrintPassport(session->sheet, out);
    out << '\n';
    PrintStatistics(session->dispatch, session->sheet, out);
    PrintLists(session->dispatch, out);
    return FlushOutput(out) ? 0 : kOutputFailed;
}

}  // namespace zorvek::cli
