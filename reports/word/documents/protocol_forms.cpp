#include "reports/word/documents/protocol_forms.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/cp1251.h"
#include "model/decoders.h"
#include "model/format.h"
#include "model/memory_map.h"
#include "model/statistics_totals.h"

namespace zorvek {
namespace {

constexpr std::string_view kTotalMassPattern = "############0.0";
constexpr std::string_view kMassPattern = "#####0.0";
constexpr int kDateTimeWidth = 17;

struct FormValues {
    std::array<std::string, 19> lines;
    StatisticsBlock block;
    StatisticsTotals totals;
};

std::string DateText(std::uint32_t packed) { return FormatDateTime(kDateTimeWidth, packed); }

std::string MassText(std::string_view pattern, float tonnes) {
    static const std::string kTonnes = Cp1251FromUtf8(" т");
    return FormatReal(pattern, tonnes) + kTonnes;
}

// Writes a form's fills in the order given. The order shows in the
// document: every fill inverts the bold state of the previous fill's text.
class FormFiller {
  public:
    FormFiller(const ReportInputs& inputs, WordLayer& word,
               const std::array<std::string, 19>& lines)
        : m_inputs(inputs), m_word(word), m_lines(lines) {}

    // Passport line n (1..19) into "info01".."info19".
    void Line(int n) {
        const char name[] = {
            'i', 'n', 'f', 'o', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
        m_word.WordFillBookmark(std::string_view(name, sizeof name), m_lines[n - 1]);
    }
    void Lines(int first, int last) {
        for (int n = first; n <= last; ++n) Line(n);
    }
    void Text(std::string_view bookmark, std::string_view text) {
        m_word.WordFillBookmark(bookmark, text);
    }
    // Handed over as a number, for the word processor to write.
    void Number(std::string_view bookmark, std::uint32_t value) {
        m_word.WordFillBookmark(bookmark, std::int64_t{value});
    }
    // Lets the window repaint halfway through the fills.
    void Halfway() { m_inputs.SetProgress(50); }

  private:
    const ReportInputs& m_inputs;
    WordLayer& m_word;
    const std::array<std::string, 19>& m_lines;
};

struct Form {
    const char* templateUtf8;
    std::uint32_t statisticsAddress;
    // Form 1 lets the window settle before reading; the others only clear
    // the bar.
    bool pauseFirst;
    void (*fill)(FormFiller&, const FormValues&);
};

bool BuildForm(const ReportInputs& inputs, WordLayer& word, const Form& form) {
    if (form.pauseFirst) {
        inputs.PauseAndResetProgress();
    } else {
        inputs.SetProgress(0);
    }
    FormValues values;
    values.lines = CopyPassportLines(inputs.sheet);
    if (!ReadStatistics(inputs.source, form.statisticsAddress, values.block)) {
        static const std::string kNoData = Cp1251FromUtf8("Данные не загружены.");
        inputs.notifier.Notify(kNoData);
        return false;
    }
    values.totals = TotalsOf(values.block);

    if (!word.WordOpenTemplate(Cp1251FromUtf8(form.templateUtf8))) return false;
    inputs.SetProgress(30);
    FormFiller filler(inputs, word, values.lines);
    form.fill(filler, values);
    inputs.SetProgress(99);
    inputs.PauseAndResetProgress();
    return word.WordShow();
}

void FillForm1(FormFiller& f, const FormValues& v) {
    f.Line(15);
    f.Line(16);
    f.Lines(2, 11);
    f.Line(14);
    f.Line(17);
    f.Halfway();
    f.Line(18);
    f.Text("Tbeg", DateText(v.block.PeriodStart()));
    f.Text("Tend", DateText(v.block.PeriodEnd()));
    f.Text("Chislocerle", std::to_string(v.totals.cycleTotal));
    f.Text("Massar", MassText(kTotalMassPattern, v.totals.massTotal));
    f.Line(19);
}

void FillForm2(FormFiller& f, const FormValues& v) {
    f.Line(15);
    f.Line(16);
    f.Lines(2, 10);
    f.Halfway();
    f.Line(11);
    f.Text("chciklov", std::to_string(v.totals.cycleTotal));
    f.Text("smass", MassText(kMassPattern, v.totals.massTotal));
    f.Number("peregryz", v.totals.overloadCycles);
    f.Text("massaperegryza", MassText(kMassPattern, v.totals.overloadMass));
    f.Text("vremyaschit", DateText(v.block.PeriodEnd()));
    f.Line(19);
}

// Forms 3 and 4 begin alike: the crane, then the limiter and the recorder.
void FillCraneAndRecorder(FormFiller& f) {
    f.Line(2);
    f.Line(5);
    f.Line(6);
    f.Line(1);
    f.Lines(7, 11);
    f.Line(14);
    f.Line(15);
    f.Halfway();
    f.Lines(16, 18);
}

void FillForm3(FormFiller& f, const FormValues& v) {
    FillCraneAndRecorder(f);
    f.Text("Uf", std::to_string(v.totals.cycleTotal));
    f.Text("smass", MassText(kMassPattern, v.totals.massTotal));
    f.Text("Tbeg", DateText(v.block.PeriodStart()));
    f.Text("Tend", DateText(v.block.PeriodEnd()));
    f.Number("overcycle", v.totals.overloadCycles);
    f.Text("massaOGP", MassText(kMassPattern, v.totals.overloadMass));
    f.Line(19);
}

void FillForm4(FormFiller& f, const FormValues& v) {
    FillCraneAndRecorder(f);
    f.Text("scycle", std::to_string(v.totals.cycleTotal));
    f.Text("smass", MassText(kMassPattern, v.totals.massTotal));
    f.Text("readtime", DateText(v.block.PeriodEnd()));
    f.Text("time", DateText(v.block.PeriodStart()) + " --- " + DateText(v.block.PeriodEnd()));
    f.Line(19);
}

}  // namespace

bool N11Click(const ReportInputs& inputs, WordLayer& word) {
    return BuildForm(inputs, word,
                     {"Форма 1.rtf", memory_map::kStatisticsSinceAddress, true, FillForm1});
}

bool N21Click(const ReportInputs& inputs, WordLayer& word) {
    return BuildForm(inputs, word,
                     {"Форма 2.rtf", memory_map::kStatisticsTotalAddress, false, FillForm2});
}

bool N31Click(const ReportInputs& inputs, WordLayer& word) {
    return BuildForm(inputs, word,
                     {"Форма 3.rtf", memory_map::kStatisticsTotalAddress, false, FillForm3});
}

bool N41Click(const ReportInputs& inputs, WordLayer& word) {
    return BuildForm(inputs, word,
                     {"Форма 4.rtf", memory_map::kStatisticsTotalAddress, false, FillForm4});
}

}  // namespace zorvek
