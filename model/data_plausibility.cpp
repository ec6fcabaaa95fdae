#include "model/data_plausibility.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/cp1251.h"
#include "model/duty_figures.h"

namespace zorvek {
namespace {

constexpr std::uint32_t kCycleCounterLimit = 0xFFFF;
constexpr std::uint32_t kSecondsCounterLimit = 0xFFFFFF;
constexpr double kSecondsPerHour = 3600;
constexpr double kSecondsPerDay = 86400;
// Half the last printed digit of a mass: a mean that prints as the bound is
// not above it.
constexpr double kMassPrintStep = 0.05;
constexpr int kUnboundedRange = kLoadRangeCount - 1;

constexpr std::array<const char*, kLoadRangeCount> kRangeNames = {
    "«до 25 %»",   "«26-50 %»",   "«51-75 %»",   "«76-100 %»",
    "«101-110 %»", "«111-120 %»", "«121-130 %»", "«свыше 130 %»"};

std::string Text(const char* utf8) { return Cp1251FromUtf8(utf8); }

std::string Hours(double seconds) {
    return GroupedNumber(DecimalComma(seconds / kSecondsPerHour, 1)) + Text(" ч");
}

std::string RangeList(const std::vector<int>& ranges) {
    std::string text;
    for (const int range : ranges) {
        if (!text.empty()) text += ", ";
        text += Text(kRangeNames[range]);
    }
    return text;
}

class Checker {
  public:
    Checker(std::vector<DataFinding>& findings, DataBlock block, std::chrono::sys_days today)
        : m_findings(findings), m_block(block), m_today(today) {}

    void Check(const RecordedPeriod& period) {
        const DutyInputs& in = period.inputs;
        std::vector<int> saturatedCycles;
        std::vector<int> saturatedSeconds;
        double working = 0;
        for (int range = 0; range < kLoadRangeCount; ++range) {
            if (in.ranges[range].cycles >= kCycleCounterLimit) saturatedCycles.push_back(range);
            if (in.ranges[range].seconds >= kSecondsCounterLimit) saturatedSeconds.push_back(range);
            working += in.ranges[range].seconds;
        }
        if (!saturatedCycles.empty()) {
            Add(doubt::kClasses | doubt::kPace,
                Text("счётчики циклов на пределе 65 535 в диапазонах ") +
                    RangeList(saturatedCycles) + Text(": сколько циклов было, неизвестно"),
                Text("счётчики циклов на пределе 65 535"));
        }
        if (!saturatedSeconds.empty()) {
            Add(doubt::kNone,
                Text("счётчики времени работы на пределе (") + Hours(kSecondsCounterLimit) +
                    Text(") в диапазонах ") + RangeList(saturatedSeconds),
                Text("счётчики времени работы на пределе"));
        }

        const std::optional<std::chrono::sys_days> start = RecorderDay(in.periodStart);
        const std::optional<std::chrono::sys_days> end = RecorderDay(in.periodEnd);
        const std::optional<double> days = RecorderDaysBetween(in.periodStart, in.periodEnd);
        if (days && *days >= 0) {
            const double calendar = *days * kSecondsPerDay;
            if (working > calendar) {
                Add(doubt::kClasses | doubt::kPace | doubt::kDates,
                    Text("время работы ") + Hours(working) +
                        Text(" больше календарного времени периода ") + Hours(calendar) + " (" +
                        DecimalComma(calendar / kSecondsPerDay, 1) + Text(" сут.)"),
                    Text("время работы больше календарного времени периода"));
            }
        }
        if (period.poweredSeconds && working > *period.poweredSeconds) {
            Add(doubt::kNone,
                Text("время работы под нагрузкой ") + Hours(working) +
                    Text(" больше времени во включённом состоянии ") +
                    Hours(*period.poweredSeconds),
                Text("время под нагрузкой больше времени во включённом состоянии"));
        }
        CheckMasses(in);
        CheckDates(in, start, end);
    }

  private:
    void Add(unsigned touches, const std::string& what, const std::string& reason) {
        static const std::array<std::string, 3> kBlocks = {Text("За весь срок службы: "),
                                                           Text("В период между считываниями: "),
                                                           Text("Паспорт: ")};
        m_findings.push_back(
            {m_block, touches, kBlocks[static_cast<std::size_t>(m_block)] + what, reason});
    }

    void CheckMasses(const DutyInputs& in) {
        if (!in.ratedCapacity) return;
        for (int range = 0; range < kUnboundedRange; ++range) {
            const LoadRangeRecord& record = in.ranges[range];
            if (record.cycles == 0 || !IsUsableMass(record.mass)) continue;
            const double mean = record.mass / record.cycles;
            const double bound = *in.ratedCapacity * kRangeUpperShare[range];
            if (mean <= bound + kMassPrintStep) continue;
            Add(doubt::kMeanLoad,
                Text("средняя масса груза в диапазоне ") + Text(kRangeNames[range]) + " " +
                    DecimalComma(mean, 1) + Text(" т больше ") + DecimalComma(bound, 1) +
                    Text(" т (") + DecimalComma(100 * kRangeUpperShare[range], 0) +
                    Text(" % грузоподъёмности крана ") + DecimalComma(*in.ratedCapacity, 1) +
                    Text(" т)"),
                Text("средняя масса груза больше грузоподъёмности крана в диапазоне"));
        }
    }

    void CheckDates(const DutyInputs& in, std::optional<std::chrono::sys_days> start,
                    std::optional<std::chrono::sys_days> end) {
        const std::string future = Text("даты в будущем");
        if (start && *start > m_today) {
            Add(doubt::kPace | doubt::kDates,
                Text("начало периода ") + DayText(*start) + Text(" позже сегодняшнего дня ") +
                    DayText(m_today),
                future);
        }
        if (end && *end > m_today) {
            Add(doubt::kPace | doubt::kDates,
                Text("конец периода ") + DayText(*end) + Text(" позже сегодняшнего дня ") +
                    DayText(m_today),
                future);
        }
        if (start && end && *start > *end) {
            Add(doubt::kPace | doubt::kDates,
                Text("начало периода ") + DayText(*start) + Text(" позже его конца ") +
                    DayText(*end),
                Text("начало периода позже его конца"));
        }
        if (start && in.serviceLife && *start < in.serviceLife->commissioned) {
            Add(doubt::kPace | doubt::kDates,
                Text("начало периода ") + DayText(*start) +
                    Text(" раньше ввода крана в эксплуатацию ") +
                    DayText(in.serviceLife->commissioned),
                Text("даты раньше ввода крана в эксплуатацию"));
        }
    }

    std::vector<DataFinding>& m_findings;
    DataBlock m_block;
    std::chrono::sys_days m_today;
};

}  // namespace

std::vector<DataFinding> CheckPlausibility(const RecordedPeriod& whole, const RecordedPeriod* since,
                                           std::chrono::sys_days today) {
    std::vector<DataFinding> findings;
    Checker(findings, DataBlock::WholeLife, today).Check(whole);
    if (since) Checker(findings, DataBlock::SinceReading, today).Check(*since);
    if (whole.inputs.commissioningProblem == DateProblem::AfterReading) {
        std::string line = Text("Паспорт: ") + CommissioningProblemText(DateProblem::AfterReading);
        if (const std::optional<std::chrono::sys_days> reading =
                RecorderDay(whole.inputs.periodEnd)) {
            line += " (" + DayText(*reading) + ")";
        }
        findings.push_back({DataBlock::Passport, doubt::kNone, line, Text("даты в будущем")});
    }
    return findings;
}

std::optional<std::string> Withheld(const std::vector<DataFinding>& findings,
                                    std::initializer_list<std::pair<DataBlock, unsigned>> figures) {
    std::vector<std::string> reasons;
    for (const DataFinding& finding : findings) {
        for (const auto& [block, touches] : figures) {
            if (finding.block != block || (finding.touches & touches) == 0) continue;
            if (std::find(reasons.begin(), reasons.end(), finding.reason) == reasons.end()) {
                reasons.push_back(finding.reason);
            }
        }
    }
    if (reasons.empty()) return std::nullopt;
    std::string text = Text("вывод не может быть сделан: данные недостоверны (");
    for (std::size_t i = 0; i < reasons.size(); ++i) text += (i ? "; " : "") + reasons[i];
    return text + ")";
}

std::chrono::sys_days TodayOf(const Clock& clock) {
    const LocalDateTime now = clock.Now();
    return std::chrono::year_month_day{std::chrono::year(now.year),
                                       std::chrono::month(static_cast<unsigned>(now.month)),
                                       std::chrono::day(static_cast<unsigned>(now.day))};
}

}  // namespace zorvek
