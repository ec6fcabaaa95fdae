#include "reports/word/tables/mechanism_statistics.h"

#include <array>
#include <cstdint>
#include <string>

#include "model/cp1251.h"
#include "model/decoders.h"
#include "model/format.h"
#include "reports/word/tables/crane_identification.h"

namespace zorvek {
namespace {

using memory_map::kLoadRanges;
using memory_map::kMechanisms;

enum class Period { WholeLife, SinceReading };

constexpr int kBarSteps = 25;
constexpr int kProgressStep = 20;

struct Texts {
    std::string appendix = Cp1251FromUtf8("Приложение 2\r\r");
    std::string titleWholeLife = Cp1251FromUtf8("Информация о работе механизмов за весь период");
    std::string titleSinceReading =
        Cp1251FromUtf8("Информация о работе механизмов в период между считываниями");
    std::string operatingTime = Cp1251FromUtf8("Наработка при загрузке:");
    std::string totalTime = Cp1251FromUtf8("Суммарная наработка: ");
    std::string switchOns = Cp1251FromUtf8("Количество включений:");
    std::string totalSwitchOns = Cp1251FromUtf8("Общее количество включений: ");
};

const Texts& Text() {
    static const Texts texts;
    return texts;
}

// One of the two tables of a mechanism: a figure per load range.
struct RangeFigures {
    std::array<std::uint32_t, kLoadRanges> amounts{};
    std::uint32_t total = 0;
};

// MechanismCounters::OperatingSeconds or MechanismCounters::SwitchOns.
using Counter = std::uint32_t (MechanismCounters::*)(int range, int mechanism) const;

RangeFigures FiguresOf(const MechanismCounters& counters, Counter counter, int mechanism) {
    RangeFigures figures;
    for (int range = 0; range < kLoadRanges; ++range) {
        figures.amounts[range] = (counters.*counter)(range, mechanism);
        figures.total += figures.amounts[range];
    }
    return figures;
}

// The 13-character label of a load range ("      10-25% " ...), cp1251.
const std::string& RangeLabel(int range) {
    static const std::array<std::string, kLoadRanges> kLabels = {
        "      10-25% ", "      26-50% ", "      51-75% ", "     76-100% ",
        "    101-110% ", "    111-120% ", "    121-130% ", Cp1251FromUtf8("131 и более% "),
    };
    return kLabels[range];
}

// Fills the table just added, a row per range, and leaves it. The last cell
// appends an empty row, which goes again.
template <typename FormatAmount>
void FillRangeTable(WordLayer& word, const RangeFigures& figures, FormatAmount formatAmount) {
    for (int range = 0; range < kLoadRanges; ++range) {
        const std::uint32_t amount = figures.amounts[range];
        word.WordWriteCell(RangeLabel(range), 8, true, ParagraphAlign::Centred);
        word.WordWriteCell(formatAmount(amount), 8, true, ParagraphAlign::Centred);
        // Each bar is the range's share of the mechanism's total.
        word.WordWriteCell(FormatBar('X', amount, figures.total, kBarSteps), 8, false,
                           ParagraphAlign::Left);
    }
    word.WordDeleteRow();
    word.WordMoveDown();
}

class MechanismStatistics {
  public:
    MechanismStatistics(const ReportInputs& inputs, WordLayer& word, Period period)
        : m_inputs(inputs), m_word(word), m_period(period) {}

    bool Build() {
        if (m_period == Period::WholeLife) {
            m_inputs.PauseAndResetProgress();
        } else {
            m_inputs.SetProgress(0);
        }
        const std::uint32_t address = m_period == Period::WholeLife
                                          ? memory_map::kCountersTotalAddress
                                          : memory_map::kCountersSinceAddress;
        // A block that could not be read, or fails its checksum, holds no
        // figures worth printing: zeros from a failed read would pass for a
        // crane that never worked.
        if (!ReadMechanismCounters(m_inputs.source, address, m_counters)) return false;

        const Texts& text = Text();
        m_word.WordNewDocument(0);
        m_word.WordWriteText(text.appendix, 12, false, ParagraphAlign::Right);
        m_word.WordWriteLine(
            m_period == Period::WholeLife ? text.titleWholeLife : text.titleSinceReading, 16, true,
            ParagraphAlign::Centred);
        for (int mechanism = 0; mechanism < kMechanisms; ++mechanism) WriteSection(mechanism);
        m_word.WordMoveDown();
        // The crane's three lines stay together too.
        m_word.WordKeepWithNext(true);
        WriteCraneIdentification(m_word, m_inputs.sheet, 12);
        m_word.WordKeepWithNext(false);
        m_inputs.PauseAndResetProgress();
        return m_word.WordShow();
    }

  private:
    void WriteSection(int mechanism) {
        const Texts& text = Text();
        // A mechanism's section fits a page and is kept on one: neither of
        // its tables starts a page without the mechanism's name above it.
        m_word.WordKeepWithNext(true);
        m_word.WordNewParagraph();
        m_word.WordWriteLine(MechanismName(m_inputs.source, mechanism), 12, true,
                             ParagraphAlign::Centred);

        const RangeFigures times =
            FiguresOf(m_counters, &MechanismCounters::OperatingSeconds, mechanism);
        m_word.WordWriteText(text.operatingTime, 12, false, ParagraphAlign::Left);
        m_word.WordAddTable(1, 3, 10);
        if (m_period == Period::WholeLife) SetBar(kProgressStep);
        FillRangeTable(m_word, times,
                       [](std::uint32_t seconds) { return FormatDuration(14, seconds); });
        m_word.WordWriteLine(text.totalTime + FormatDuration(12, times.total), 12, false,
                             ParagraphAlign::Right);

        const RangeFigures counts = FiguresOf(m_counters, &MechanismCounters::SwitchOns, mechanism);
        m_word.WordWriteLine(text.switchOns, 12, false, ParagraphAlign::Left);
        m_word.WordAddTable(1, 3, 10);
        FillRangeTable(m_word, counts, [](std::uint32_t count) { return FormatInt(14, count); });
        m_word.WordKeepWithNext(false);
        m_word.WordWriteLine(text.totalSwitchOns + FormatInt(8, counts.total), 12, false,
                             ParagraphAlign::Right);
        m_word.WordNewParagraph();

        SetBar(m_bar + kProgressStep);
    }

    void SetBar(int position) {
        m_bar = position;
        m_inputs.SetProgress(m_bar);
    }

    const ReportInputs& m_inputs;
    WordLayer& m_word;
    Period m_period;
    MechanismCounters m_counters;
    int m_bar = 0;
};

}  // namespace

bool N17Click(const ReportInputs& inputs, WordLayer& word) {
    return MechanismStatistics(inputs, word, Period::WholeLife).Build();
}

bool N18Click(const ReportInputs& inputs, WordLayer& word) {
    return MechanismStatistics(inputs, word, Period::SinceReading).Build();
}

}  // namespace zorvek
