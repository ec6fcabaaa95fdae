#pragma once

#include "model/format.h"
#include "model/records.h"
#include "reports/common/report_inputs.h"
#include "reports/excel/appendix3/build_busy.h"
#include "reports/excel/appendix3/column_switches.h"
#include "reports/excel/appendix3/filter_mask.h"
#include "reports/excel/appendix3/title_sink.h"
#include "reports/excel/excel_layer.h"

// Appendix 3: the crane's recorded states over its last hours, one sheet row
// per valid hour record in time order, in the columns the options window
// chose and through the protection filter.
namespace zorvek {

// The fill command of the options window: it has begun `busy` and hidden its
// fill button before the call. Sets the progress display to 0, reads the
// hour list from inputs.source (records later than `clock`'s present are
// invalid) and builds the sheet. A failed read starts no spreadsheet, shows
// no message, clears `busy` and gives false. Otherwise the result of
// BuildAppendix3.
bool RunAppendix3(const ReportInputs& inputs, ExcelLayer& excel, const ColumnSwitches& columns,
                  const FilterMask& filter, TitleSink& window, BuildBusy& busy,
                  const Clock& clock = SystemClock());

// Builds the sheet from a list sorted by time, invalid records last. The
// window's title counts "Зорвек  -  0%" to "Зорвек  -  99%" over the 1900
// records and reads "Зорвек" at the end, when `busy` is cleared too (also
// when the spreadsheet layer throws). True when ExcelShow handed the
// workbook over.
bool BuildAppendix3(const HourList& list, ExcelLayer& excel, const ColumnSwitches& columns,
                    const FilterMask& filter, TitleSink& window, BuildBusy& busy);

}  // namespace zorvek
