#pragma once

#include "reports/common/report_inputs.h"
#include "reports/word/word_layer.h"

// Appendices 4 and 5: one table line per valid cycle of a recorder list,
// oldest first, then the crane's identification and the legend of the
// notes. Landscape documents typed from nothing.
namespace zorvek {

// N15Click: appendix 4, the last cycles. N16Click: appendix 5, the cycles in
// which a protection tripped. The bar shows the list being read, then 100;
// it is back at 0 when the document is handed over. False, with nothing
// typed and no message, when the list cannot be read; otherwise whether
// WordShow handed it over.
bool N15Click(const ReportInputs& inputs, WordLayer& word);
bool N16Click(const ReportInputs& inputs, WordLayer& word);

}  // namespace zorvek
