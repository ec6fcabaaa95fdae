#pragma once

#include "reports/common/report_inputs.h"
#include "reports/word/documents/histogram_pictures.h"
#include "reports/word/word_layer.h"

// Appendix 1: the load statistics of a period filled into "Приложение.rtf":
// powered, idle and working time, cycles and lifted mass per load range with
// a text bar each, and, when `withPictures` is set (the menu mark
// "Гистограмы в картинках"), the three histograms below. N7Click covers the
// whole service life, N8Click the period since the last reading.
//
// Each returns true when the document was handed over by WordShow. It
// returns false with no document started when the statistics block cannot
// be read or is damaged (the notifier shows "Гистограмма не загружена\rили
// содержит ошибки.") and when the template is missing (the layer has said
// so). A picture that comes out empty is left out. A template that lacks a
// bookmark still gives a document; the caller then asks word.MustTerminate().
// The caller has made sure a word processor is there to take the document.
namespace zorvek {

bool N7Click(const ReportInputs& inputs, WordLayer& word, bool withPictures,
             HistogramPictures& pictures);
bool N8Click(const ReportInputs& inputs, WordLayer& word, bool withPictures,
             HistogramPictures& pictures);

}  // namespace zorvek
