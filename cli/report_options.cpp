#include "cli/report_options.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <string_view>

#include "flows/document_table.h"
#include "reports/common/utf8_path.h"

namespace zorvek::cli {
namespace {

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start) items.emplace_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool ParseColumns(std::string_view list, ColumnSwitches& columns, std::string& error) {
    if (list == "all") {
        columns = ColumnSwitches::All();
        return true;
    }
    columns = ColumnSwitches();
    for (const std::string& item : SplitList(list)) {
        int box = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), box);
        if (ec != std::errc() || end != item.data() + item.size() ||
            !columns.SetCheckBox(box, true)) {
            error = "--columns: \"" + item + "\" — не номер столбца от 1 до 18";
            return false;
        }
    }
    return true;
}

bool ParseProtections(std::string_view list, FilterMask& filter, std::string& error) {
    static const std::pair<std::string_view, Protection> kNames[] = {
        {"radius", Protection::Radius}, {"overload", Protection::Overload},
        {"coord", Protection::Coord},   {"powerline", Protection::PowerLine},
        {"hook", Protection::Hook},     {"tilt", Protection::Tilt},
        {"wind", Protection::Wind},
    };
    filter = FilterMask();
    if (list == "all") return true;
    filter.showAll = false;
    for (const std::string& item : SplitList(list)) {
        const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                         [&](const auto& entry) { return entry.first == item; });
        if (found == std::end(kNames)) {
            error = "--protect: неизвестная защита \"" + item +
                    "\" (radius, overload, coord, powerline, hook, tilt, wind или all)";
            return false;
        }
        filter.Add(found->second);
    }
    return true;
}

bool ParseFormats(std::string_view list, DocumentFormats& formats, std::string& error) {
    formats = DocumentFormats{false, false, false};
    const std::vector<std::string> items = SplitList(list);
    for (const std::string& item : items) {
        bool* wanted = item == "rtf"    ? &formats.rtf
                       : item == "xlsx" ? &formats.xlsx
                       : item == "pdf"  ? &formats.pdf
                                        : nullptr;
        if (wanted == nullptr) {
            error = "--format: неизвестный формат \"" + item + "\" (rtf, xlsx, pdf)";
            return false;
        }
        *wanted = true;
    }
    if (items.empty()) {
        error = "--format: не указан ни один формат (rtf, xlsx, pdf)";
        return false;
    }
    return true;
}

}  // namespace

void AddReportOptions(CLI::App& parser, ReportArguments& raw) {
    SetUpParser(parser);
    parser.add_option("ОБРАЗ", raw.image, "образ накопителя (.krd, .bin, .nkp)")->type_name("");
    parser.add_option("--from-archive", raw.fromArchive, "образ считывания из архива")
        ->type_name("ID");
    parser.add_option("--out", raw.outDir, "папка для документов (создаётся)")->type_name("ПАПКА");
    parser.add_option("--passport", raw.passport, "Info.ini с паспортными данными крана")
        ->type_name("ФАЙЛ");
    parser.add_flag("--charts", raw.charts,
                    "гистограммы в приложении 1 и спектры нагрузок в приложении 6 картинками");
    parser
        .add_option("--columns", raw.columns,
                    "столбцы приложения 3: номера 1-18 через запятую или all")
        ->type_name("СПИСОК");
    parser
        .add_option("--protect", raw.protect,
                    "только записи с защитами radius,overload,coord,powerline,hook,tilt,wind "
                    "или all")
        ->type_name("СПИСОК");
    parser.add_option("--only", raw.only, "только эти документы: form1,...,appendix6")
        ->type_name("СПИСОК");
    parser
        .add_option("--format", raw.format,
                    "форматы документов через запятую: rtf, xlsx, pdf (по умолчанию rtf,xlsx)")
        ->type_name("СПИСОК");
}

std::optional<ReportOptions> CheckReportArguments(const ReportArguments& raw, std::string& error) {
    ReportOptions options;
    if (raw.image.empty() == !raw.fromArchive) {
        error = raw.fromArchive ? "укажите образ или --from-archive, не то и другое"
                                : "не указан образ";
        return std::nullopt;
    }
    if (raw.outDir.empty()) {
        error = "не указана папка --out";
        return std::nullopt;
    }
    options.image = PathOfUtf8(raw.image);
    options.fromArchive = raw.fromArchive;
    options.outDir = PathOfUtf8(raw.outDir);
    if (raw.passport) options.passport = PathOfUtf8(*raw.passport);
    options.charts = raw.charts;
    if (raw.columns && !ParseColumns(*raw.columns, options.columns, error)) return std::nullopt;
    if (raw.protect && !ParseProtections(*raw.protect, options.filter, error)) return std::nullopt;
    if (raw.format && !ParseFormats(*raw.format, options.formats, error)) return std::nullopt;
    if (raw.only) {
        for (const std::string& name : SplitList(*raw.only)) {
            if (FindDocument(name) == nullptr) {
                error = "--only: неизвестный документ \"" + name + "\"";
                return std::nullopt;
            }
            options.only.insert(name);
        }
    }
    return options;
}

std::optional<ReportOptions> ParseReportOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    ReportArguments raw;
    CLI::App parser(kReportDescription, kReportName);
    AddReportOptions(parser, raw);
    std::ostringstream help;
    if (const auto code = Parse(parser, args, help, error)) {
        if (*code == 0) error = "справка вместо отчёта";
        return std::nullopt;
    }
    return CheckReportArguments(raw, error);
}

}  // namespace zorvek::cli
