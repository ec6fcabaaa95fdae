#pragma once

#include "reports/common/report_inputs.h"
#include "reports/word/word_layer.h"

// Appendix 6, "Фактический режим работы крана": the load spectrum of the
// whole service life and of the period since the last reading, the load
// spectrum factor two ways, the classes and group they give, and how much
// of the passport group's design life is used. Typed from nothing.
namespace zorvek {

// False, with the notifier's message and no document, when either
// statistics block cannot be read or is damaged.
bool BuildActualDutyAppendix(const ReportInputs& inputs, WordLayer& word);

}  // namespace zorvek
