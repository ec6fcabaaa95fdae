#pragma once

#include <string>

#include "reports/excel/sheet.h"

namespace zorvek {

// The two parts of a workbook that carry a sheet's comments, listing them in
// the sheet's order (row by row): the texts (xl/comments1.xml), in the
// spreadsheet's 8-point Tahoma, and the hidden boxes that show them, a
// legacy VML drawing (xl/drawings/vmlDrawing1.vml) placed by PlaceComment.
// A sheet of thousands of comments makes megabytes of both, so they are
// built by plain appending.
std::string CommentsXml(const Sheet& sheet);
std::string CommentsVml(const Sheet& sheet);

}  // namespace zorvek
