#include "reports/word/documents/appendix_one.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/cp1251.h"
#include "model/decoders.h"
#include "model/format.h"
#include "model/memory_map.h"
#include "model/passport.h"
#include "model/statistics_totals.h"

namespace zorvek {
namespace {

constexpr std::string_view kMassPattern = "############0.0";
constexpr char kBarMark = 'X';
constexpr int kBarSteps = 36;
constexpr int kHeadingSize = 12;

struct Period {
    std::uint32_t statisticsAddress;
    std::uint32_t onTimeAddress;
    const char* wordUtf8;  // completes the title: "за весь срок службы"
};

constexpr Period kWholeLife{memory_map::kStatisticsTotalAddress, memory_map::kOnTimeTotalAddress,
                            "за весь срок службы"};
constexpr Period kSinceReading{memory_map::kStatisticsSinceAddress, memory_map::kOnTimeSinceAddress,
                               "в период между считываниями"};

// "T1" + range + suffix: "T13", "T13x".
std::string RangeBookmark(char kind, int range, std::string_view suffix = {}) {
    std::string name = {'T', kind, static_cast<char>('1' + range)};
    name += suffix;
    return name;
}

void WriteHeadingLines(const PassportSheet& sheet, WordLayer& word) {
    static const std::string kCraneType = Cp1251FromUtf8("Тип крана:  ");
    static const std::string kCraneSerial = Cp1251FromUtf8("Заводской номер крана:  ");
    static const std::string kRecorderSerial = Cp1251FromUtf8("Заводской номер регистратора:  ");
    // Typing replaces the space just filled into "Begining".
    word.WordNewParagraph();
    word.WordNewParagraph();
    // The passport texts go in whole here, not cut as on the forms.
    word.WordWriteLine(kCraneType + sheet.Value(PassportSheet::kCraneType), kHeadingSize, true,
                       ParagraphAlign::Left);
    word.WordWriteLine(kCraneSerial + sheet.Value(PassportSheet::kCraneSerial), kHeadingSize, true,
                       ParagraphAlign::Left);
    word.WordWriteLine(kRecorderSerial + sheet.Value(PassportSheet::kRecorderSerial), kHeadingSize,
                       true, ParagraphAlign::Left);
}

void PastePicture(WordLayer& word, const std::vector<std::uint8_t>& png) {
    if (!png.empty()) word.WordPasteCentered(png);
}

// False when the template could not be opened: nothing was written then.
bool BuildDocument(const ReportInputs& inputs, WordLayer& word, const Period& period,
                   const StatisticsBlock& block, bool withPictures, HistogramPictures& pictures) {
    // A counter that cannot be read counts as zero powered time, whatever
    // part of it a failed read left behind.
    OnTimeCounter onTime;
    if (!inputs.source.ReadMemory(period.onTimeAddress, onTime.bytes.data(),
                                  static_cast<std::uint32_t>(OnTimeCounter::kSize), nullptr)) {
        onTime = OnTimeCounter{};
    }
    const std::uint32_t powered = onTime.Seconds();
    const StatisticsTotals totals = TotalsOf(block);

    static const std::string kTemplate = Cp1251FromUtf8("Приложение.rtf");
    if (!word.WordOpenTemplate(kTemplate)) return false;

    word.WordFillBookmark("Begining", " ");
    WriteHeadingLines(inputs.sheet, word);
    word.WordFillBookmark("type", Cp1251FromUtf8(period.wordUtf8));
    word.WordFillBookmark("begin", FormatDateTime(17, block.PeriodStart()));
    word.WordFillBookmark("read", FormatDateTime(17, block.PeriodEnd()));
    word.WordFillBookmark("Hchislo", FormatDuration(20, powered));
    word.WordFillBookmark("Prostoi",
                          FormatDuration(20, IdleSeconds(powered, totals.workingSeconds)));
    word.WordFillBookmark("harchislo", FormatReal("########0.0", block.CharacteristicNumber()));
    word.WordFillBookmark("working", FormatDuration(17, totals.workingSeconds));

    inputs.SetProgress(20);
    for (int range = 0; range < memory_map::kLoadRanges; ++range) {
        const std::uint32_t seconds = block.OperatingSeconds(range);
        word.WordFillBookmark(RangeBookmark('1', range), FormatDuration(10, seconds));
        word.WordFillBookmark(RangeBookmark('1', range, "x"),
                              FormatBar(kBarMark, seconds, totals.longestSeconds, kBarSteps));
    }

    inputs.SetProgress(50);
    word.WordFillBookmark("fullcercl", FormatInt(14, totals.cycleTotal));
    for (int range = 0; range < memory_map::kLoadRanges; ++range) {
        const std::uint32_t count = block.CycleCount(range);
        word.WordFillBookmark(RangeBookmark('2', range), FormatInt(12, count));
        word.WordFillBookmark(RangeBookmark('2', range, "x"),
                              FormatBar(kBarMark, count, totals.greatestCount, kBarSteps));
    }

    inputs.SetProgress(75);
    static const std::string kTonnes = Cp1251FromUtf8(" т");
    word.WordFillBookmark("fullmass", FormatReal(kMassPattern, totals.massTotal) + kTonnes);
    for (int range = 0; range < memory_map::kLoadRanges; ++range) {
        const float mass = block.LiftedMass(range);
        word.WordFillBookmark(RangeBookmark('3', range), FormatReal(kMassPattern, mass));
        word.WordFillBookmark(RangeBookmark('3', range, "x"),
                              FormatBar(kBarMark, mass, totals.greatestMass, kBarSteps));
    }

    // Out of the template's bookmarks, to the free lines below them.
    word.WordMoveDown();
    word.WordMoveDown();
    if (withPictures) {
        word.WordNewParagraph();
        PastePicture(word, pictures.TimePicture(block));
        word.WordNewParagraph();
        word.WordNewParagraph();
        PastePicture(word, pictures.CyclePicture(block));
        word.WordNewParagraph();
        word.WordNewParagraph();
        PastePicture(word, pictures.MassPicture(block));
        word.WordNewParagraph();
    }
    word.WordNewParagraph();
    return true;
}

bool ReadPeriod(const ReportInputs& inputs, const Period& period, StatisticsBlock& block) {
    inputs.SetProgress(0);
    if (ReadStatistics(inputs.source, period.statisticsAddress, block)) return true;
    static const std::string kNoHistogram =
        Cp1251FromUtf8("Гистограмма не загружена\rили содержит ошибки.");
    inputs.notifier.Notify(kNoHistogram);
    return false;
}

}  // namespace

bool N7Click(const ReportInputs& inputs, WordLayer& word, bool withPictures,
             HistogramPictures& pictures) {
    StatisticsBlock block;
    if (!ReadPeriod(inputs, kWholeLife, block)) {
        inputs.SetProgress(0);
        return false;
    }
    if (!BuildDocument(inputs, word, kWholeLife, block, withPictures, pictures)) return false;
    inputs.SetProgress(99);
    inputs.PauseAndResetProgress();
    return word.WordShow();
}

bool N8Click(const ReportInputs& inputs, WordLayer& word, bool withPictures,
             HistogramPictures& pictures) {
    StatisticsBlock block;
    if (!ReadPeriod(inputs, kSinceReading, block)) return false;
    // The bar is reset before the build here, so it is left at its last step.
    inputs.SetProgress(99);
    inputs.PauseAndResetProgress();
    if (!BuildDocument(inputs, word, kSinceReading, block, withPictures, pictures)) return false;
    return word.WordShow();
}

}  // namespace zorvek
