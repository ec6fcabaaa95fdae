#pragma once

#include <filesystem>

#include "reports/excel/sheet.h"

namespace zorvek {

// Writes the sheet as a workbook of one sheet on A4 paper. The file is filled
// under a temporary name beside `path` and renamed when complete, so `path`
// never holds a partial workbook. False when it could not be written; the
// temporary file is removed then. A sheet with comments has them made on a
// second thread meanwhile, which has ended when this returns.
bool WriteXlsx(const Sheet& sheet, const std::filesystem::path& path);

}  // namespace zorvek
