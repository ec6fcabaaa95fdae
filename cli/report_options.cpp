#include "cli/report_options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "flows/document_table.h"

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

}  // namespace

std::optional<ReportOptions> ParseReportOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    ReportOptions options;
    bool haveImage = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--out" || arg == "--passport" || arg == "--columns" ||
                                arg == "--protect" || arg == "--only";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + ": не указано значение";
            return std::nullopt;
        }
        if (arg == "--out") {
            options.outDir = args[++i];
        } else if (arg == "--passport") {
            options.passport = args[++i];
        } else if (arg == "--charts") {
            options.charts = true;
        } else if (arg == "--columns") {
            if (!ParseColumns(args[++i], options.columns, error)) return std::nullopt;
        } else if (arg == "--protect") {
            if (!ParseProtections(args[++i], options.filter, error)) return std::nullopt;
        } else if (arg == "--only") {
            for (const std::string& name : SplitList(args[++i])) {
                if (FindDocument(name) == nullptr) {
                    error = "--only: неизвестный документ \"" + name + "\"";
                    return std::nullopt;
                }
                options.only.insert(name);
            }
        } else if (!arg.empty() && arg[0] == '-') {
            error = "неизвестный параметр " + arg;
            return std::nullopt;
        } else if (!haveImage) {
            options.image = arg;
            haveImage = true;
        } else {
            error = "указано больше одного образа";
            return std::nullopt;
        }
    }
    if (!haveImage) error = "не указан образ";
    if (options.outDir.empty() && error.empty()) error = "не указана папка --out";
    if (!error.empty()) return std::nullopt;
    return options;
}

}  // namespace zorvek::cli
