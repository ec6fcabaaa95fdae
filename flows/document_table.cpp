#include "flows/document_table.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>

#include "flows/failure_text.h"
#include "model/cp1251.h"
#include "reports/excel/appendix3/appendix3.h"
#include "reports/word/documents/actual_duty.h"
#include "reports/word/documents/appendix_one.h"
#include "reports/word/documents/protocol_forms.h"
#include "reports/word/tables/cycle_tables.h"
#include "reports/word/tables/mechanism_statistics.h"

namespace zorvek {
namespace {

using Tools = DocumentTools;

const std::array kDocuments = {
    DocumentEntry{"form1", "form1.rtf", "N11", "Форма 1",
                  [](Tools& t) { return N11Click(t.inputs, t.word); }},
    DocumentEntry{"form2", "form2.rtf", "N21", "Форма 2",
                  [](Tools& t) { return N21Click(t.inputs, t.word); }},
    DocumentEntry{"form3", "form3.rtf", "N31", "Форма 3",
                  [](Tools& t) { return N31Click(t.inputs, t.word); }},
    DocumentEntry{"form4", "form4.rtf", "N41", "Форма 4",
                  [](Tools& t) { return N41Click(t.inputs, t.word); }},
    DocumentEntry{"appendix1-total", "appendix1-total.rtf", "N7", "Приложение 1 за весь период",
                  [](Tools& t) { return N7Click(t.inputs, t.word, t.charts, t.pictures); }},
    DocumentEntry{"appendix1-since", "appendix1-since.rtf", "N8", "Приложение 1 между считываниями",
                  [](Tools& t) { return N8Click(t.inputs, t.word, t.charts, t.pictures); }},
    DocumentEntry{"appendix2-total", "appendix2-total.rtf", "N17", "Приложение 2 за весь период",
                  [](Tools& t) { return N17Click(t.inputs, t.word); }},
    DocumentEntry{"appendix2-since", "appendix2-since.rtf", "N18",
                  "Приложение 2 между считываниями",
                  [](Tools& t) { return N18Click(t.inputs, t.word); }},
    DocumentEntry{"appendix3", "appendix3.xlsx", "N14", "Приложение 3",
                  [](Tools& t) {
                      t.busy.Begin();
                      return RunAppendix3(t.inputs, t.excel, t.columns, t.filter, t.title, t.busy);
                  }},
    DocumentEntry{"appendix4", "appendix4.rtf", "N15", "Приложение 4",
                  [](Tools& t) { return N15Click(t.inputs, t.word); }},
    DocumentEntry{"appendix5", "appendix5.rtf", "N16", "Приложение 5",
                  [](Tools& t) { return N16Click(t.inputs, t.word); }},
    DocumentEntry{
        "appendix6", "appendix6.rtf", "N22", "Приложение 6",
        [](Tools& t) { return BuildActualDutyAppendix(t.inputs, t.word, t.charts, t.pictures); }},
};

template <typename Key>
const DocumentEntry* Find(Key key, std::string_view value) {
    const auto found =
        std::find_if(kDocuments.begin(), kDocuments.end(),
                     [&](const DocumentEntry& entry) { return entry.*key == value; });
    return found == kDocuments.end() ? nullptr : &*found;
}

}  // namespace

std::span<const DocumentEntry> Documents() { return kDocuments; }

const DocumentEntry* FindDocument(std::string_view name) {
    return Find(&DocumentEntry::name, name);
}

const DocumentEntry* FindDocumentByMenuItem(std::string_view menuItem) {
    return Find(&DocumentEntry::menuItem, menuItem);
}

bool IsWorkbook(const DocumentEntry& entry) { return entry.fileName.ends_with(".xlsx"); }

std::optional<PaperDocument> PaperOf(const DocumentEntry& entry, const WordLayer& word,
                                     const ExcelLayer& excel) {
    return IsWorkbook(entry) ? excel.Paper() : word.Paper();
}

bool BuildDocument(const DocumentEntry& entry, DocumentTools& tools) {
    tools.word.SetTitle(entry.title);
    tools.word.SetFooter(tools.footer);
    tools.excel.SetFooter(tools.footer);
    return entry.build(tools);
}

std::string NotCreatedMessage(const DocumentEntry& entry, const DocumentTools& tools) {
    const bool workbook = IsWorkbook(entry);
    const TransferResult write = workbook ? tools.excel.LastWrite() : tools.word.LastWrite();
    const std::filesystem::path file =
        workbook ? tools.excel.LastWriteFile() : tools.word.LastWriteFile();
    if (write || !file.has_filename()) return NotCreatedMessage(entry.fileName, write);
    const std::u8string name = file.filename().u8string();
    return NotCreatedMessage(std::string(name.begin(), name.end()), write);
}

std::string NotCreatedMessage(std::string_view fileName, const TransferResult& write) {
    const std::string start = Cp1251FromUtf8("Документ " + std::string(fileName) + " не создан");
    return write ? start + '.' : start + ": " + FailureText(write);
}

}  // namespace zorvek
