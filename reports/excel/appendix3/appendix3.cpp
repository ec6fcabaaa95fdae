#include "reports/excel/appendix3/appendix3.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <string>

#include "model/bits.h"
#include "model/cp1251.h"
#include "model/decoders.h"
#include "reports/excel/appendix3/cell_texts.h"

namespace zorvek {
namespace {

constexpr int kHeaderRow = 3;     // sheet row 4
constexpr int kFirstDataRow = 4;  // sheet row 5
constexpr int kTextSize = 10;
constexpr int kGreyFill = 48;
constexpr int kNoFill = 0;
constexpr int kRecordsPerPercent = 19;  // 1900 records give 0..99 %

struct Texts {
    std::string appendix = Cp1251FromUtf8("Приложение 3");
    std::string title = Cp1251FromUtf8("Информация о работе крана за последние часы.");
    std::string nothing = Cp1251FromUtf8("    Не зарегистрировано!");
    std::string programTitle = Cp1251FromUtf8("Зорвек");
    std::string progressTitle = Cp1251FromUtf8("Зорвек  -  ");
};

const Texts& Cp1251Texts() {
    static const Texts texts;
    return texts;
}

struct SpecialWidth {
    ColumnKind kind;
    int width;
};

// Set in this order, only for columns that received data cells.
constexpr std::array<SpecialWidth, 7> kSpecialWidths = {{
    {ColumnKind::Warnings, 23},
    {ColumnKind::Protection, 23},
    {ColumnKind::Mechanism, 23},
    {ColumnKind::PowerLine, 18},
    {ColumnKind::RollLongitudinal, 18},
    {ColumnKind::RollTransverse, 18},
    {ColumnKind::Note, 38},
}};

ColumnKind KindAt(int slot) { return static_cast<ColumnKind>(slot + kFirstColumnKind); }

// Steps up to the frozen header; the caller finishes the build.
class SheetWriter {
  public:
    SheetWriter(ExcelLayer& excel, const ColumnSwitches& columns, TitleSink& window)
        : m_excel(excel), m_window(window) {
        for (int slot = 0; slot < kColumnKindCount; ++slot) {
            if (columns.IsOn(KindAt(slot))) m_kinds[m_columnCount++] = KindAt(slot);
        }
    }

    void Write(const HourList& list, const FilterMask& filter) {
        const Texts& texts = Cp1251Texts();
        m_excel.ExcelStart();
        m_excel.ExcelShowGridlines(false);
        m_excel.ExcelFillBackground(0, 0, kGreyFill);
        m_excel.ExcelWriteCell(0, 0, false, kTextSize, texts.appendix);
        m_excel.ExcelWriteCell(3, 1, true, 14, texts.title);
        for (int col = 0; col < m_columnCount; ++col) {
            m_excel.ExcelWriteCell(col, kHeaderRow, true, kTextSize, ColumnHeader(m_kinds[col]));
        }
        for (int position = 0; position < static_cast<int>(list.size()); ++position) {
            m_window.SetTitle(texts.progressTitle + std::to_string(position / kRecordsPerPercent) +
                              "%");
            const HourRecord& record = list[static_cast<std::size_t>(position)];
            if (!IsValidDateTime(record.Time()) || !filter.Shows(record)) continue;
            WriteRow(record, position);
        }
        if (m_row == kFirstDataRow) {
            m_excel.ExcelWriteCell(3, 10, true, 26, texts.nothing);
        } else {
            SetSpecialWidths();
        }
        m_excel.ExcelSetColumnWidth(0, 5);
        m_excel.ExcelDrawGrid(m_columnCount - 1, m_row);
        m_excel.ExcelFillBackground(m_columnCount - 1, m_row, kNoFill);
        m_excel.ExcelFreezeHeader();
    }

  private:
    void WriteRow(const HourRecord& record, int position) {
        for (int col = 0; col < m_columnCount; ++col) {
            const ColumnKind kind = m_kinds[col];
            const std::string text = CellText(kind, record, position);
            if (!text.empty()) {
                if (kind == ColumnKind::Protection) m_excel.ExcelRedRow(m_row + 1);
                if (const std::string_view key = LegendKey(kind); !key.empty()) {
                    m_excel.ExcelAddLegend(key, col, m_row);
                }
            }
            m_excel.ExcelWriteCell(col, m_row, false, kTextSize, text);
            m_window.ProcessPendingMessages();
        }
        ++m_row;
    }

    // Every shown column has received data cells once a row is written.
    void SetSpecialWidths() {
        const auto kinds = std::span(m_kinds).first(static_cast<std::size_t>(m_columnCount));
        for (const SpecialWidth& special : kSpecialWidths) {
            const auto found = std::find(kinds.begin(), kinds.end(), special.kind);
            if (found != kinds.end()) {
                m_excel.ExcelSetColumnWidth(static_cast<int>(found - kinds.begin()), special.width);
            }
        }
    }

    ExcelLayer& m_excel;
    TitleSink& m_window;
    std::array<ColumnKind, kColumnKindCount> m_kinds{};
    int m_columnCount = 0;
    int m_row = kFirstDataRow;
};

}  // namespace

bool RunAppendix3(const ReportInputs& inputs, ExcelLayer& excel, const ColumnSwitches& columns,
                  const FilterMask& filter, TitleSink& window, BuildBusy& busy,
                  const Clock& clock) {
    inputs.SetProgress(0);
    auto list = std::make_unique<HourList>();
    if (!ReadHourList(inputs.source, *list, inputs.progress, clock)) {
        // No build is running any more; the close query must not think so.
        busy.Clear();
        return false;
    }
    window.ProcessPendingMessages();
    return BuildAppendix3(*list, excel, columns, filter, window, busy);
}

bool BuildAppendix3(const HourList& list, ExcelLayer& excel, const ColumnSwitches& columns,
                    const FilterMask& filter, TitleSink& window, BuildBusy& busy) {
    const std::string& programTitle = Cp1251Texts().programTitle;
    try {
        SheetWriter(excel, columns, window).Write(list, filter);
    } catch (...) {
        // A spreadsheet error ends the build; the window must not go on
        // showing a build in progress.
        busy.Clear();
        window.SetTitle(programTitle);
        throw;
    }
    busy.Clear();
    window.SetTitle(programTitle);
    window.ProcessPendingMessages();
    return excel.ExcelShow();
}

}  // namespace zorvek
