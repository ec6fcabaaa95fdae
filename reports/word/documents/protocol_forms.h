#pragma once

#include "reports/common/report_inputs.h"
#include "reports/word/word_layer.h"

// The four protocol forms, each filled into its template ("Форма 1.rtf" ..
// "Форма 4.rtf") from the passport sheet and one statistics block: form 1
// over the period since the last reading, forms 2 to 4 over the whole
// service life.
//
// Each returns true when the document was handed over by WordShow. It
// returns false with no document started when the statistics block cannot
// be read or is damaged (the notifier shows "Данные не загружены.") and when
// the template is missing (the layer has said so). A template that lacks a
// bookmark still gives a document; the caller then asks word.MustTerminate().
// The caller has made sure a word processor is there to take the document.
namespace zorvek {

bool N11Click(const ReportInputs& inputs, WordLayer& word);
bool N21Click(const ReportInputs& inputs, WordLayer& word);
bool N31Click(const ReportInputs& inputs, WordLayer& word);
bool N41Click(const ReportInputs& inputs, WordLayer& word);

}  // namespace zorvek
