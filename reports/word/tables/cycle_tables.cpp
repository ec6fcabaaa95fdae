#include "reports/word/tables/cycle_tables.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/cp1251.h"
#include "model/cycle_line.h"
#include "model/decoders.h"
#include "reports/word/tables/crane_identification.h"

namespace zorvek {
namespace {

// What tells the two appendices apart besides their list.
struct AppendixTexts {
    std::string appendix;
    std::string title;
    std::string header;
};

const AppendixTexts& LastCycleTexts() {
    static const AppendixTexts texts{
        Cp1251FromUtf8("Приложение 4\r\r"),
        Cp1251FromUtf8("Информация о последних циклах"),
        Cp1251FromUtf8(
            "Дата и время\t\tЗагрузка\t\tПродолжительность\t  Вылет\t\tВес груза\t\tПримечание"),
    };
    return texts;
}

const AppendixTexts& ProtectionCycleTexts() {
    static const AppendixTexts texts{
        Cp1251FromUtf8("Приложение 5\r\r"),
        Cp1251FromUtf8("Информация о циклах в которых зафиксированно срабатывание защиты."),
        Cp1251FromUtf8(
            "Дата и время\t\tЗагрузка\t\tПродлжительность\t\t  Вылет\t\tВес груза\t\tПримечание"),
    };
    return texts;
}

// A legend row: its first text, then its second one where it has one.
struct LegendRow {
    std::string first;
    std::string second;
};

const std::vector<LegendRow>& Legend() {
    const auto row = [](const char* first, const char* second) {
        return LegendRow{Cp1251FromUtf8(first), Cp1251FromUtf8(second)};
    };
    // Both М of "!МВ" and "МВ" are Cyrillic here, though the table lines write the
    // warning with a Latin M; the Y of "КY" is Latin in both.
    static const std::vector<LegendRow> kRows = {
        row("  !мВ - Предупреждение: минимальный вылет",
            "\t\t  !МВ - Предупреждение: максимальный вылет"),
        row("  !Ко - Предупреждение: координатная защита", "\t\t  !ЛЭП - Предупреждение: ЛЭП"),
        row("  !КХ - Предупреждение: наклон платформы",
            "\t\t  !КY - Предупреждение: наклон платформы"),
        row("  !95%> - Предупреждение: опасная загрузка", "\t\t  !Вр - Предупреждение: ветер"),
        row("  !З.з - Предупреждение: запретная зона", ""),
        row("  мВ - Защита: минимальный вылет", "\t\t\t  МВ - Защита: максимальный вылет"),
        row("  Ко - Защита: координатная защита", "\t\t\t  ЛЭП - Защита: ЛЭП"),
        row("  КХ - Защита: наклон платформы", "\t\t\t  КY - Защита: наклон платформы"),
        row("  110% - Защита: опасная загрузка", "\t\t\t  Вр - Защита: ветер"),
        row("  БЛ - Защита: нажата кнопка блокировка",
            "\t\t\t  Кр - Защита: крюк в верхнем положении"),
    };
    return kRows;
}

// Every line's notes begin at its twelfth default tab stop (709 twips each);
// notes too long for the line wrap back under them.
constexpr int kNotesIndent = 12 * 709;

// The warnings end here; an empty paragraph sets them off from the protections.
constexpr std::size_t kLastWarningRow = 4;

void WriteLegend(WordLayer& word) {
    static const std::string kHeading = Cp1251FromUtf8("Сокращения:");
    word.WordWriteText(kHeading, 10, true, ParagraphAlign::Left);
    word.WordNewParagraph();
    const std::vector<LegendRow>& rows = Legend();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        word.WordWriteText(rows[i].first, 8, false, ParagraphAlign::Left);
        if (!rows[i].second.empty())
            word.WordWriteText(rows[i].second, 8, false, ParagraphAlign::Left);
        word.WordNewParagraph();
        if (i == kLastWarningRow) word.WordNewParagraph();
    }
}

bool BuildCycleTable(const ReportInputs& inputs, WordLayer& word, std::uint32_t address,
                     const AppendixTexts& texts) {
    CycleList list;
    if (!ReadCycleList(inputs.source, address, list, inputs.progress)) return false;
    inputs.SetProgress(100);
    inputs.PauseAndResetProgress();

    word.WordNewDocument(1);
    word.WordWriteText(texts.appendix, 12, false, ParagraphAlign::Right);
    word.WordWriteText(texts.title, 16, true, ParagraphAlign::Centred);
    // The header row and the row of the first cycle; each cycle appends the next.
    word.WordSetHangingIndent(kNotesIndent);
    word.WordAddTable(2, 1, 10);
    word.WordWriteCell(texts.header, 8, true, ParagraphAlign::Left);
    for (std::size_t i = 0; i < list.size(); ++i) {
        // The last record's position wraps to 0, so the bar is back at rest
        // once the table is written.
        inputs.SetProgress(static_cast<int>(i % (list.size() - 1)));
        if (list[i].IsValid())
            word.WordWriteCell(CycleLine(list[i]), 9, false, ParagraphAlign::Left);
    }
    word.WordDeleteRow();
    word.WordMoveDown();
    word.WordSetHangingIndent(0);
    word.WordNewParagraph();

    WriteCraneIdentification(word, inputs.sheet, 10);
    word.WordNewParagraph();
    WriteLegend(word);
    return word.WordShow();
}

}  // namespace

bool N15Click(const ReportInputs& inputs, WordLayer& word) {
    return BuildCycleTable(inputs, word, memory_map::kLastCyclesAddress, LastCycleTexts());
}

bool N16Click(const ReportInputs& inputs, WordLayer& word) {
    return BuildCycleTable(inputs, word, memory_map::kProtectionCyclesAddress,
                           ProtectionCycleTexts());
}

}  // namespace zorvek
