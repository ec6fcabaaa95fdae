#include "cli/record_output.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

namespace zorvek {
namespace {

// A passport text or note a spreadsheet would run as a formula stays text
// in CSV; numbers, negative ones included, stay numbers.
TEST(RecordOutput, CsvNeverHandsASpreadsheetAFormula) {
    const std::pair<std::string, std::string> cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+7 495", "'+7 495"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"41328-к", "41328-к"},
        {"a=b", "a=b"},
        {"", ""},
    };
    for (const auto& [text, cell] : cases) {
        std::ostringstream out;
        cli::PrintRecords({{cli::TextField("note", "Примечание", text),
                            cli::NumberField("cycles", "Циклов", "-5")}},
                          cli::OutputFormat::Csv, out);
        EXPECT_EQ(out.str(), "note,cycles\r\n" + cell + ",-5\r\n") << text;
    }
}

}  // namespace
}  // namespace zorvek
