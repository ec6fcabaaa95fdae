#pragma once

#include "reports/common/paper_document.h"
#include "reports/excel/sheet.h"

namespace zorvek {

// The sheet as the spreadsheet prints its XLSX: A4 in the sheet's
// orientation with the workbook's margins (0.7 inch at the sides, 0.75 at
// the head and foot), numbered pages when the footer counts them, and the
// used range as tables of whole sheet rows: from the top left to the bottom
// right cell that exists, from row 1 when rows repeat and from column A when
// columns repeat.
//
// Columns keep their widths. A range wider than the page's text is printed
// in bands of columns that fit, one after the other, each on new pages and
// each beginning with the repeated columns; a column wider than the page on
// its own makes a band of its own. The repeated rows are header rows of
// every band. Cells show what the sheet shows: numbers in general format,
// texts overflowing over empty neighbours of the same look (a wider cell),
// the sheet's fonts, colours, fills and frame lines. Comments do not print.
//
// A sheet without cells gives one blank page. The document's title is left
// to the caller.
PaperDocument PaperFromSheet(const Sheet& sheet);

}  // namespace zorvek
