#include "flows/fleet_report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/cp1251.h"
#include "model/decimal_number.h"
#include "model/duty_figures.h"
#include "model/passport.h"
#include "reports/common/fixed_path_document_sink.h"
#include "reports/excel/excel_codes.h"
#include "reports/excel/xlsx_writer.h"
#include "reports/word/rtf_word_layer.h"

namespace zorvek {
namespace {

using archive::DueItems;
using archive::FleetCrane;

constexpr int kTitleSize = 14;
constexpr int kTextSize = 10;
constexpr int kTableSize = 8;
// Characters of a sheet's column per unit of the report's widths; the last
// column, what is due, is as wide as its longest text, for a cell does not
// wrap.
constexpr double kSheetCharactersPerWidth = 1.8;
constexpr double kSheetDueWidth = 48;

// The word processor's layer has nothing to say of a document typed from
// nothing: no template, no bookmark.
class Unheard final : public Notifier {
  public:
    void Notify(std::string_view) override {}
};

std::string Cp(const char* utf8) { return Cp1251FromUtf8(utf8); }

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string DateText(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    return TwoDigits(static_cast<int>(static_cast<unsigned>(date.day()))) + "." +
           TwoDigits(static_cast<int>(static_cast<unsigned>(date.month()))) + "." +
           std::to_string(static_cast<int>(date.year()));
}

FleetReportCell Text(std::string text) { return {std::move(text), std::nullopt}; }

FleetReportCell Count(std::int64_t value) {
    return {GroupedNumber(std::to_string(value)), std::to_string(value)};
}

std::string CountText(std::int64_t value) { return GroupedNumber(std::to_string(value)); }

// A figure with `decimals` decimals: a comma on paper, a point for the sheet.
FleetReportCell Figure(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    return {GroupedNumber(DecimalComma(value, decimals)), FormatFixed(value, decimals)};
}

FleetReportCell Group(const std::optional<int>& group) {
    if (!group) return {};
    return {Cp("А") + std::to_string(*group), std::nullopt};
}

std::string PassportText(const FleetCrane& crane, int row) {
    return static_cast<std::size_t>(row) < crane.passport.size() ? crane.passport[row]
                                                                 : std::string();
}

std::vector<FleetReportCell> LineOf(const FleetCrane& crane, const DueItems& due) {
    const archive::ReadoutSummary& last = crane.line.last;
    const archive::ReadoutFigures& figures = last.figures;
    const std::string& registration = last.crane.registration;
    std::vector<FleetReportCell> line{
        Text(registration.empty() ? Cp("рег. № не указан") : registration),
        Text(last.crane.factoryNumber),
        Text(PassportText(crane, PassportSheet::kCraneType)),
        Text(PassportText(crane, PassportSheet::kOwner)),
        Text(DateText(std::chrono::floor<std::chrono::days>(last.readAt))),
    };
    if (crane.previous) {
        const archive::ReadoutComparison since = archive::Compare(*crane.previous, last);
        line.push_back(Count(since.cycles));
        line.push_back(Figure(since.hours, 1));
        line.push_back(Count(since.overloads));
    } else {
        line.resize(line.size() + 3);
    }
    line.push_back(figures.kp ? Figure(*figures.kp, 3) : FleetReportCell{});
    line.push_back(Group(figures.actualGroup));
    line.push_back(Group(figures.passportGroup));
    line.push_back(figures.lifeUsed ? Figure(*figures.lifeUsed * 100, 1) : FleetReportCell{});
    line.push_back(figures.normativeEnd ? Text(DateText(*figures.normativeEnd))
                                        : FleetReportCell{});
    line.push_back(Text(DueText(due)));
    return line;
}

std::vector<std::string> SummaryOf(const std::vector<FleetCrane>& cranes,
                                   const std::vector<DueItems>& due) {
    std::int64_t readouts = 0;
    for (const FleetCrane& crane : cranes) readouts += crane.line.readouts;
    const auto count = [&due](bool DueItems::*item) {
        return CountText(
            std::count_if(due.begin(), due.end(), [item](const DueItems& d) { return d.*item; }));
    };
    const auto anyDue =
        std::count_if(due.begin(), due.end(), [](const DueItems& d) { return d.Any(); });
    return {
        Cp("Кранов: ") + CountText(static_cast<std::int64_t>(cranes.size())) +
            Cp(", считываний: ") + CountText(readouts) + Cp(". Требуют внимания: ") +
            CountText(anyDue) + ".",
        Cp("Срок службы истёк: ") + count(&DueItems::lifeEnded) +
            Cp(", истекает в ближайшие 6 месяцев: ") + count(&DueItems::lifeEnding) + ".",
        Cp("Ресурс исчерпан: ") + count(&DueItems::resourceExhausted) +
            Cp(", израсходовано от 80 %: ") + count(&DueItems::resourceHigh) + ".",
        Cp("Последнее считывание старше 12 месяцев: ") + count(&DueItems::readoutOld) +
            Cp(", с отметками: ") + count(&DueItems::flagged) + ".",
    };
}

}  // namespace

std::string DueText(const DueItems& due) {
    std::vector<const char*> said;
    if (due.lifeEnded) said.push_back("срок службы истёк");
    if (due.lifeEnding) said.push_back("срок службы истекает");
    if (due.resourceExhausted) said.push_back("ресурс исчерпан");
    if (due.resourceHigh) said.push_back("ресурс от 80 %");
    if (due.readoutOld) said.push_back("считывание старше 12 мес.");
    if (due.flagged) said.push_back("отметки");
    std::string text;
    for (const char* item : said) text += (text.empty() ? "" : ", ") + Cp(item);
    return text;
}

std::chrono::sys_days DayOf(const LocalDateTime& time) {
    return std::chrono::sys_days(std::chrono::year(time.year) / static_cast<unsigned>(time.month) /
                                 static_cast<unsigned>(time.day));
}

FleetReport MakeFleetReport(const std::vector<FleetCrane>& cranes, std::chrono::sys_days today,
                            const LocalDateTime& madeAt, std::string_view location) {
    std::vector<const FleetCrane*> order;
    for (const FleetCrane& crane : cranes) order.push_back(&crane);
    std::stable_sort(order.begin(), order.end(), [today](const FleetCrane* a, const FleetCrane* b) {
        return archive::MoreUrgent(a->line, b->line, today);
    });

    FleetReport report;
    report.title = Cp("Отчёт по парку кранов");
    report.heading = {
        Cp("Составлен ") + DateText(DayOf(madeAt)) + " " + TwoDigits(madeAt.hour) + ":" +
            TwoDigits(madeAt.minute),
        Cp("Архив: ") + Cp1251FromUtf8(location),
    };
    std::vector<DueItems> due;
    for (const FleetCrane* crane : order) {
        due.push_back(archive::DueOf(crane->line, today));
        report.lines.push_back(LineOf(*crane, due.back()));
        report.due.push_back(due.back().Any());
    }
    report.summary = SummaryOf(cranes, due);
    report.note =
        Cp("Циклы, часы и перегрузки > 110 % — с предыдущего считывания крана; "
           "у крана с одним считыванием они не указаны. Ресурс — доля расчётного "
           "ресурса группы по паспорту.");
    // The passport's texts and what is due get the room; the figures what
    // their headers need in two or three lines.
    const std::pair<const char*, int> columns[] = {
        {"Рег. №", 7},
        {"Зав. №", 8},
        {"Модель", 8},
        {"Владелец", 11},
        {"Последнее считывание", 9},
        {"Циклы", 6},
        {"Часы", 6},
        {"Перегрузки > 110 %", 8},
        {"Kp", 5},
        {"Группа факт.", 7},
        {"Группа по паспорту", 7},
        {"Ресурс, %", 6},
        {"Срок службы до", 8},
        {"Требует внимания", 13},
    };
    for (const auto& [title, width] : columns) {
        report.columns.push_back(Cp(title));
        report.widths.push_back(width);
    }
    return report;
}

bool TypeFleetReport(const FleetReport& report, WordLayer& word) {
    word.WordNewDocument(1);
    word.WordWriteLine(report.title, kTitleSize, true, ParagraphAlign::Centred);
    for (const std::string& line : report.heading)
        word.WordWriteLine(line, kTextSize, false, ParagraphAlign::Left);
    word.WordNewParagraph();
    for (const std::string& line : report.summary)
        word.WordWriteLine(line, kTextSize, false, ParagraphAlign::Left);
    word.WordNewParagraph();
    word.WordWriteLine(report.note, kTextSize, false, ParagraphAlign::Left);
    const int columns = static_cast<int>(report.columns.size());
    word.WordAddTable(1 + static_cast<int>(report.lines.size()), columns, kTableSize);
    word.WordSetColumnWidths(report.widths);
    word.WordLetTableBreak();
    // A header row all in bold repeats on every page.
    for (const std::string& column : report.columns)
        word.WordWriteCell(column, kTableSize, true, ParagraphAlign::Centred);
    // A crane with something due stands out by its number in bold.
    for (std::size_t i = 0; i < report.lines.size(); ++i) {
        for (std::size_t col = 0; col < report.lines[i].size(); ++col) {
            const FleetReportCell& cell = report.lines[i][col];
            word.WordWriteCell(cell.text, kTableSize, col == 0 && report.due[i],
                               cell.number ? ParagraphAlign::Right : ParagraphAlign::Left);
        }
    }
    // Past the last cell a new row was begun: it goes, and the table is left.
    word.WordDeleteRow();
    word.WordMoveDown();
    return word.WordShow();
}

Sheet FleetReportSheet(const FleetReport& report) {
    Sheet sheet;
    sheet.SetOrientation(kXlLandscape);
    int row = 0;
    const auto write = [&sheet](int at, int col, std::string_view text, bool bold, int size) {
        const CellRef cell{at, col};
        sheet.SelectCells(cell, cell);
        sheet.SetFormula(cell, text);
        sheet.SetBold(bold);
        sheet.SetFontSize(size);
    };
    write(row++, 0, report.title, true, kTitleSize);
    for (const std::string& line : report.heading) write(row++, 0, line, false, kTextSize);
    ++row;
    for (const std::string& line : report.summary) write(row++, 0, line, false, kTextSize);
    ++row;
    write(row++, 0, report.note, false, kTextSize);
    const int header = row;
    const int lastCol = static_cast<int>(report.columns.size()) - 1;
    for (int col = 0; col <= lastCol; ++col)
        write(header, col, report.columns[col], true, kTextSize);
    for (std::size_t i = 0; i < report.lines.size(); ++i) {
        const auto& line = report.lines[i];
        ++row;
        for (int col = 0; col <= lastCol && col < static_cast<int>(line.size()); ++col) {
            const FleetReportCell& cell = line[col];
            write(row, col, cell.number.value_or(cell.text), col == 0 && report.due[i], kTextSize);
        }
    }
    sheet.SelectCells({header, 0}, {row, lastCol});
    for (const int border : {kXlEdgeLeft, kXlEdgeTop, kXlEdgeBottom, kXlEdgeRight,
                             kXlInsideVertical, kXlInsideHorizontal}) {
        sheet.SetBorderLineStyle(border, kXlContinuous);
        sheet.SetBorderWeight(border, kXlThin);
    }
    for (int col = 0; col < lastCol && col < static_cast<int>(report.widths.size()); ++col)
        sheet.SetColumnWidth(col, report.widths[col] * kSheetCharactersPerWidth);
    sheet.SetColumnWidth(lastCol, kSheetDueWidth);
    const CellRef firstLine{header + 1, 0};
    sheet.SelectCells(firstLine, firstLine);
    sheet.FreezePanes();
    SheetPrintSetup print;
    print.titleFirstRow = header;
    print.titleRows = 1;
    print.fitWidth = true;
    print.footer = Cp("&CСтр. &P из &N");
    if (!report.lines.empty()) print.autoFilter = {{header, 0}, {row, lastCol}};
    sheet.SetPrintSetup(std::move(print));
    return sheet;
}

FleetReportFiles WriteFleetReport(const FleetReport& report, const std::filesystem::path& stem) {
    FleetReportFiles files;
    const auto fileOf = [&stem](const char* extension) {
        std::filesystem::path file = stem;
        file += extension;
        return file;
    };
    FixedPathDocumentSink sink(fileOf(".rtf"));
    Unheard unheard;
    RtfWordLayer word({}, unheard, sink);
    word.SetTitle(Utf8FromCp1251(report.title));
    if (!TypeFleetReport(report, word)) {
        files.failedFile = sink.PathFor({}, "rtf");
        files.failure = word.LastWrite();
        return files;
    }
    files.written.push_back(sink.PathFor({}, "rtf"));
    files.paper = word.Paper();
    const std::filesystem::path workbook = fileOf(".xlsx");
    if (const TransferResult written = WriteXlsx(FleetReportSheet(report), workbook); !written) {
        files.failedFile = workbook;
        files.failure = written;
        return files;
    }
    files.written.push_back(workbook);
    return files;
}

}  // namespace zorvek
