#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "reports/excel/appendix3/column_switches.h"
#include "reports/excel/appendix3/filter_mask.h"

namespace zorvek::cli {

// zorvek-cli report IMAGE --out DIR [--passport FILE] [--charts]
//                   [--columns LIST|all] [--protect LIST|all] [--only NAME,...]
struct ReportOptions {
    std::filesystem::path image;
    std::filesystem::path outDir;
    std::optional<std::filesystem::path> passport;
    // "Гистограмы в картинках": appendix 1 carries the three pictures.
    bool charts = false;
    ColumnSwitches columns = DefaultColumnSwitches();
    FilterMask filter;
    // Document names to make; empty means all of them.
    std::set<std::string> only;
};

// Parses the arguments after "report". On a mistake returns nothing and
// says what was wrong in `error` (UTF-8).
std::optional<ReportOptions> ParseReportOptions(const std::vector<std::string>& args,
                                                std::string& error);

}  // namespace zorvek::cli
