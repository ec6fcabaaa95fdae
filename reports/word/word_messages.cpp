#include "reports/word/word_messages.h"

#include "model/cp1251.h"

namespace zorvek {

std::string MissingTemplateMessage(std::string_view name) {
    static const std::string kBefore = Cp1251FromUtf8("Файл ");
    static const std::string kAfter = Cp1251FromUtf8(" не найден.");
    std::string text = kBefore;
    text += name;
    text += kAfter;
    return text;
}

std::string DamagedTemplateMessage() {
    static const std::string kText = Cp1251FromUtf8(
        "Исходные файлы программы повреждены.\rНеобходимо переустановить программу.");
    return kText;
}

}  // namespace zorvek
