#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "reports/common/report_inputs.h"
#include "reports/excel/appendix3/build_busy.h"
#include "reports/excel/appendix3/column_switches.h"
#include "reports/excel/appendix3/filter_mask.h"
#include "reports/excel/appendix3/title_sink.h"
#include "reports/excel/excel_layer.h"
#include "reports/word/documents/histogram_pictures.h"
#include "reports/word/word_layer.h"

namespace zorvek {

// Everything a document's builder may need, as the program that runs it
// has set it up: the window with its bar and message boxes, or the batch
// with its terminal.
struct DocumentTools {
    const ReportInputs& inputs;
    WordLayer& word;
    ExcelLayer& excel;
    HistogramPictures& pictures;
    // "Гистограмы в картинках": appendix 1 carries the three pictures, the
    // crane's duty appendix its load spectra.
    bool charts = false;
    const ColumnSwitches& columns;
    const FilterMask& filter;
    // Appendix 3 shows its progress in the window's title.
    TitleSink& title;
    BuildBusy& busy;
    // The line at the foot of every page (cp1251; StampLine of the image's
    // ReadoutStamp).
    std::string footer;
};

// One document of the inspection file.
struct DocumentEntry {
    // The name on the command line ("form1", "appendix1-total").
    std::string_view name;
    // The file the batch command writes ("form1.rtf").
    std::string_view fileName;
    // The main window's menu item that makes it ("N11"); appendix 3's item
    // N14 opens the options window, whose fill button makes it.
    std::string_view menuItem;
    // What the document is filed under (UTF-8, "Форма 1").
    std::string_view title;
    bool (*build)(DocumentTools& tools);
};

// The documents in the order the batch command makes them.
std::span<const DocumentEntry> Documents();

// Nothing for an unknown name or menu item.
const DocumentEntry* FindDocument(std::string_view name);
const DocumentEntry* FindDocumentByMenuItem(std::string_view menuItem);

// Appendix 3 is the spreadsheet's workbook; every other document is the word
// processor's.
bool IsWorkbook(const DocumentEntry& entry);

// The entry's document as the layer that made it last lays it out for paper.
std::optional<PaperDocument> PaperOf(const DocumentEntry& entry, const WordLayer& word,
                                     const ExcelLayer& excel);

// Names the word processor's document after the entry, gives both layers
// the tools' footer line, then builds it.
// True when the document was handed to the document sink.
bool BuildDocument(const DocumentEntry& entry, DocumentTools& tools);

// What the user is told when BuildDocument gave false (cp1251): "Документ
// form1.rtf не создан." or, when writing the file failed, with the file's
// name as the document sink gave it and the reason after a colon
// ("Документ Приложение 4 2026-12-07 19-40-12.rtf не создан: нет места на
// диске").
std::string NotCreatedMessage(const DocumentEntry& entry, const DocumentTools& tools);
// The same for a file of the document the layers did not write themselves
// (its PDF), by the file's name and how writing it went.
std::string NotCreatedMessage(std::string_view fileName, const TransferResult& write);

}  // namespace zorvek
