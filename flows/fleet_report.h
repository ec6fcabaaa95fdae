#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/fleet_due.h"
#include "archive/readout_archive.h"
#include "model/format.h"
#include "model/transfer_result.h"
#include "reports/common/paper_document.h"
#include "reports/excel/sheet.h"
#include "reports/word/word_layer.h"

namespace zorvek {

// What is due on a crane, as the fleet list and the report say it (cp1251,
// comma-separated): "срок службы истёк, ресурс от 80 %"; empty when nothing is.
std::string DueText(const archive::DueItems& due);

// One cell of the fleet report: the text the paper shows ("12 112",
// "85,3"), and for a figure the plain number a spreadsheet keeps ("12112",
// "85.3").
struct FleetReportCell {
    std::string text;  // cp1251
    std::optional<std::string> number;
};

// The fleet report as one description for every format: its heading, a
// summary of the fleet, then a line per crane, the most urgent first.
struct FleetReport {
    std::string title;                 // cp1251
    std::vector<std::string> heading;  // when and from which archive it was made
    std::vector<std::string> summary;
    std::string note;  // what the table's figures are
    std::vector<std::string> columns;
    std::vector<int> widths;  // of the columns, relative to each other
    std::vector<std::vector<FleetReportCell>> lines;
    std::vector<bool> due;  // per line: something is due on the crane
};

// The report of `cranes` on `today` (the local day), made at `madeAt`
// (local time) from the archive at `location` (UTF-8, as it may be shown:
// without a password). Cycles, hours and overloads above 110 % are those
// since the crane's read-out before its newest, blank for a crane read once.
FleetReport MakeFleetReport(const std::vector<archive::FleetCrane>& cranes,
                            std::chrono::sys_days today, const LocalDateTime& madeAt,
                            std::string_view location);

// Types the report into a new landscape document of the word processor
// (the table's header row repeats on every page) and shows it.
bool TypeFleetReport(const FleetReport& report, WordLayer& word);

// The report as a landscape sheet: heading and summary above the table, the
// table's header row repeated on every printed page, pages numbered.
Sheet FleetReportSheet(const FleetReport& report);

// What writing the report's files gave: the files written, in order, and
// the document to show or print (read from the RTF), or why a file failed.
struct FleetReportFiles {
    std::vector<std::filesystem::path> written;
    std::optional<PaperDocument> paper;
    std::filesystem::path failedFile;  // empty when every file was written
    TransferResult failure;
};

// Writes `stem`.rtf and `stem`.xlsx, each to a temporary name renamed once
// complete, and reads the RTF for paper. The PDF (`stem`.pdf) is its
// caller's, which has the window toolkit for it.
FleetReportFiles WriteFleetReport(const FleetReport& report, const std::filesystem::path& stem);

// The local day of a local time.
std::chrono::sys_days DayOf(const LocalDateTime& time);

}  // namespace zorvek
