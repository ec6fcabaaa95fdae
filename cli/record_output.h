#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvek::cli {

// How the archive commands print what they found.
enum class OutputFormat { Table, Csv, CsvExcel, Json };

// "table", "csv", "csv-excel", "json"; nothing for anything else.
std::optional<OutputFormat> OutputFormatOf(std::string_view name);

// One value of a record: text (UTF-8), a number already written, a yes/no,
// or nothing known.
struct Field {
    enum class Kind { Text, Number, Flag, None };
    std::string key;    // csv's header and json's name
    std::string title;  // the table's heading (UTF-8)
    Kind kind = Kind::Text;
    std::string text;
    bool flag = false;
};

using Record = std::vector<Field>;

Field TextField(std::string key, std::string title, std::string utf8);
Field NumberField(std::string key, std::string title, std::string number);
Field FlagField(std::string key, std::string title, bool flag);
Field NoneField(std::string key, std::string title);

// Records of one shape, printed as a table with a heading line, as CSV with
// a header line (RFC 4180 quoting; a text that begins with =, +, -, @, tab
// or CR gets a leading ' so that a spreadsheet never runs it as a formula)
// or as a JSON array of objects. CsvExcel is the CSV a spreadsheet set to
// Russian opens as it is: a UTF-8 byte-order mark first, ";" between
// fields, a decimal comma in numbers. `single`
// prints one record as a two-column table or a JSON object. No records
// still get the heading or header line of `emptyShape`.
void PrintRecords(const std::vector<Record>& records, OutputFormat format, std::ostream& out,
                  bool single = false, const Record& emptyShape = {});

}  // namespace zorvek::cli
