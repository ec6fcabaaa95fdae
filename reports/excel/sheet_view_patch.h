#pragma once

#include <string>

namespace zorvek {

// Makes a sheet open in page-break preview. The XLSX writer has no setting
// for that view, so the attribute is put into the first <sheetView> of the
// sheet's XML afterwards, in place of any view set before. False, and the
// text unchanged, when it has no sheet view.
bool SetPageBreakPreview(std::string& sheetXml);

}  // namespace zorvek
