#pragma once

#include <filesystem>

#include "model/transfer_result.h"
#include "reports/excel/sheet.h"

namespace zorvek {

// Writes the sheet as a workbook of one sheet on A4 paper. The whole
// package is made in memory and written to `path` in one atomic write, so
// `path` never holds a partial workbook and an earlier file there stays
// until the new one is complete. The result says why the workbook could not
// be made or written. A sheet with comments has them made on a second
// thread meanwhile, which has ended when this returns.
TransferResult WriteXlsx(const Sheet& sheet, const std::filesystem::path& path);

}  // namespace zorvek
