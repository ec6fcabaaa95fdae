#pragma once

#include "reports/common/report_inputs.h"
#include "reports/word/word_layer.h"

// Appendix 2: per mechanism, its operating time and switch-ons over the
// eight load ranges, each range with a bar of its share of the mechanism's
// total. A portrait document typed from nothing.
namespace zorvek {

// N17Click: over the whole service life; the bar goes to 20 once each
// mechanism's first table is started and to 40 at the end of its section.
// N18Click: since the last reading; the bar climbs by 20 per mechanism.
// Both end with the bar at 0. False, with nothing typed and no message, when
// the counters cannot be read or fail their checksum; otherwise whether
// WordShow handed the document over.
bool N17Click(const ReportInputs& inputs, WordLayer& word);
bool N18Click(const ReportInputs& inputs, WordLayer& word);

}  // namespace zorvek
