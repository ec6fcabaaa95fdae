#include "reports/word/tables/crane_identification.h"

#include <string>

#include "model/cp1251.h"

namespace zorvek {

void WriteCraneIdentification(WordLayer& word, const PassportSheet& sheet, int size) {
    static const std::string kCraneType = Cp1251FromUtf8("Тип крана:  ");
    static const std::string kRegistration = Cp1251FromUtf8("Регистрационный номер крана:  ");
    static const std::string kRecorderSerial = Cp1251FromUtf8("Заводской номер регистратора:  ");
    word.WordWriteLine(kCraneType + sheet.Value(PassportSheet::kCraneType), size, false,
                       ParagraphAlign::Left);
    word.WordWriteLine(kRegistration + sheet.Value(PassportSheet::kRegistrationNumber), size, false,
                       ParagraphAlign::Left);
    word.WordWriteLine(kRecorderSerial + sheet.Value(PassportSheet::kRecorderSerial), size, false,
                       ParagraphAlign::Left);
}

}  // namespace zorvek
