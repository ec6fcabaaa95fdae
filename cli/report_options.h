#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "reports/excel/appendix3/column_switches.h"
#include "reports/excel/appendix3/filter_mask.h"

namespace zorvek::cli {

// Which files each document is written as.
struct DocumentFormats {
    bool rtf = true;
    bool xlsx = true;
    bool pdf = false;
};

// zorvek-cli report IMAGE|--from-archive ID --out DIR [--passport FILE] [--charts]
//                   [--columns LIST|all] [--protect LIST|all] [--only NAME,...]
//                   [--format rtf,xlsx,pdf]
struct ReportOptions {
    // The image file, or the read-out of the archive whose image is used.
    std::filesystem::path image;
    std::optional<std::int64_t> fromArchive;
    std::filesystem::path outDir;
    std::optional<std::filesystem::path> passport;
    // "Гистограмы в картинках": appendix 1 carries the three pictures.
    bool charts = false;
    ColumnSwitches columns = DefaultColumnSwitches();
    FilterMask filter;
    // Document names to make; empty means all of them.
    std::set<std::string> only;
    DocumentFormats formats;
};

// The words of the report command as typed (UTF-8), before they are checked.
struct ReportArguments {
    std::string image;
    std::optional<std::int64_t> fromArchive;
    std::string outDir;
    std::optional<std::string> passport;
    bool charts = false;
    std::optional<std::string> columns;
    std::optional<std::string> protect;
    std::optional<std::string> only;
    std::optional<std::string> format;
};

inline constexpr const char* kReportName = "zorvek-cli report";
inline constexpr const char* kReportDescription =
    "Все документы проверки крана по одному образу накопителя.";

// Sets up the report command's parser to fill `raw`.
void AddReportOptions(CLI::App& parser, ReportArguments& raw);

// Checks what the parser took and turns it into options; on a mistake
// returns nothing and says what was wrong in `error` (UTF-8).
std::optional<ReportOptions> CheckReportArguments(const ReportArguments& raw, std::string& error);

// Parses and checks the arguments after "report" (help counts as a mistake). On a mistake returns
// nothing and says what was wrong in `error` (UTF-8).
std::optional<ReportOptions> ParseReportOptions(const std::vector<std::string>& args,
                                                std::string& error);

}  // namespace zorvek::cli
