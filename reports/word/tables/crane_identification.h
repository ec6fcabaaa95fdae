#pragma once

#include "model/passport.h"
#include "reports/word/word_layer.h"

namespace zorvek {

// The three left-aligned lines under a document's tables that name the crane
// type, its registration number and the recorder's serial number, each with
// the passport sheet's value taken whole. `size` in points.
void WriteCraneIdentification(WordLayer& word, const PassportSheet& sheet, int size);

}  // namespace zorvek
