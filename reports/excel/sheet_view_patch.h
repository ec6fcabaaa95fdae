#pragma once

#include <filesystem>

namespace zorvek {

// Makes the first sheet of a closed workbook open in page-break preview. The
// XLSX writer has no setting for that view, so the attribute is put into the
// sheet's <sheetView> afterwards, in place of any view set before. False
// when the file cannot be patched.
bool SetPageBreakPreview(const std::filesystem::path& xlsx);

}  // namespace zorvek
