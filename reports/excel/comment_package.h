#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/excel/sheet.h"
#include "reports/excel/zip_entry.h"

namespace zorvek {

// The package entries of the workbook's one sheet, its relationships and
// the package's content types.
inline constexpr std::string_view kSheetPart = "xl/worksheets/sheet1.xml";
inline constexpr std::string_view kSheetRelsPart = "xl/worksheets/_rels/sheet1.xml.rels";
inline constexpr std::string_view kContentTypesPart = "[Content_Types].xml";

// The sheet's comments, in a one-sheet workbook written without them, are
// two parts of their own (see comment_parts.h) and the links to them.
inline constexpr std::string_view kCommentsPart = "xl/comments1.xml";
inline constexpr std::string_view kCommentsDrawingPart = "xl/drawings/vmlDrawing1.vml";

// Both parts built and packed, the drawing first, as a ZIP archive of their
// own; nothing when they cannot be packed. They depend on the sheet alone,
// so this may run beside the writing of the rest of the workbook.
std::optional<std::string> PackCommentParts(const Sheet& sheet);

// Links the two parts into the package: the sheet's relationships to them,
// their content types and the sheet's <legacyDrawing> in its place among the
// sheet's elements. Adding the comment entries themselves is the caller's job. False,
// with the package possibly half changed, when the package lacks the sheet
// or its content types, already carries comments, or its sheet does not
// declare the relationships namespace.
bool LinkCommentParts(std::vector<ZipEntry>& package);

}  // namespace zorvek
