#include "reports/excel/recording_excel_layer.h"

#include <initializer_list>
#include <string>

#include "model/cp1251.h"

namespace zorvek {
namespace {

std::string Arg(int value) { return std::to_string(value); }
std::string Arg(bool value) { return value ? "true" : "false"; }
std::string Arg(std::string_view cp1251) { return "\"" + Utf8FromCp1251(cp1251) + "\""; }

template <typename... Args>
std::string Call(std::string_view name, const Args&... args) {
    std::string line(name);
    line += '(';
    bool first = true;
    for (const std::string& arg : std::initializer_list<std::string>{Arg(args)...}) {
        if (!first) line += ", ";
        line += arg;
        first = false;
    }
    line += ')';
    return line;
}

}  // namespace

void RecordingExcelLayer::ExcelStart() { m_lines.push_back(Call("ExcelStart")); }

void RecordingExcelLayer::ExcelWriteCell(int col, int row, bool bold, int size,
                                         std::string_view value) {
    m_lines.push_back(Call("ExcelWriteCell", col, row, bold, size, value));
}

void RecordingExcelLayer::ExcelDrawGrid(int lastCol, int lastRow) {
    m_lines.push_back(Call("ExcelDrawGrid", lastCol, lastRow));
}

void RecordingExcelLayer::ExcelFillBackground(int lastCol, int lastRow, int colour) {
    m_lines.push_back(Call("ExcelFillBackground", lastCol, lastRow, colour));
}

void RecordingExcelLayer::ExcelShowGridlines(bool show) {
    m_lines.push_back(Call("ExcelShowGridlines", show));
}

void RecordingExcelLayer::ExcelRedRow(int row) { m_lines.push_back(Call("ExcelRedRow", row)); }

void RecordingExcelLayer::ExcelSetColumnWidth(int col, int width) {
    m_lines.push_back(Call("ExcelSetColumnWidth", col, width));
}

void RecordingExcelLayer::ExcelAddLegend(std::string_view key, int col, int row) {
    m_lines.push_back(Call("ExcelAddLegend", key, col, row));
}

void RecordingExcelLayer::ExcelFreezeHeader() { m_lines.push_back(Call("ExcelFreezeHeader")); }

bool RecordingExcelLayer::ExcelShow() {
    m_lines.push_back(Call("ExcelShow"));
    return m_showResult;
}

}  // namespace zorvek
