#pragma once

#include "reports/common/report_inputs.h"
#include "reports/word/documents/histogram_pictures.h"
#include "reports/word/word_layer.h"

// Appendix 6, "Фактический режим работы крана": the load spectrum of the
// whole service life and of the period since the last reading, the load
// spectrum factor two ways, the classes and group they give, the whole
// life projected over the normative term, and how much of the passport
// group's design life is used and when the rest runs out. Typed from
// nothing; with `withPictures` each period's spectrum is also drawn.
namespace zorvek {

// False, with the notifier's message and no document, when either
// statistics block cannot be read or is damaged.
bool BuildActualDutyAppendix(const ReportInputs& inputs, WordLayer& word, bool withPictures,
                             HistogramPictures& pictures);

}  // namespace zorvek
