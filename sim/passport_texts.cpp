#include "sim/passport_texts.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "model/cp1251.h"
#include "model/memory_map.h"

namespace zorvek::sim {
namespace {

enum class Storage {
    ZeroTerminated,
    // Fills the field; the text itself is 64 characters long.
    Full,
    // Spaces up to the end of the field, no 0 byte.
    SpacePadded,
    // Two spaces in front, then the text and a 0 byte.
    LeadingSpaces,
    // The text and its 0 byte overwrite the head of an older, longer text.
    OverOlderText,
};

std::string DateText(SimSeconds seconds) {
    const LocalDateTime t = LocalFromSeconds(seconds);
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", t.day, t.month, t.year);
    return text;
}

std::string DateTimeText(SimSeconds seconds) {
    const LocalDateTime t = LocalFromSeconds(seconds);
    char text[8];
    std::snprintf(text, sizeof text, " %02d:%02d", t.hour, t.minute);
    return DateText(seconds) + text;
}

std::string YearText(std::string_view prefix, int year) {
    return std::string(prefix) + ", " + std::to_string(year) + " г.";
}

void Store(std::span<std::uint8_t> field, std::string_view utf8, Storage storage) {
    std::string text = Cp1251FromUtf8(utf8);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    switch (storage) {
        case Storage::ZeroTerminated:
        case Storage::Full:
            break;
        case Storage::SpacePadded:
            text.resize(field.size(), ' ');
            break;
        case Storage::LeadingSpaces:
            text.insert(0, "  ");
            break;
        case Storage::OverOlderText: {
            const std::string older = Cp1251FromUtf8("16,0 т на вылете 3,5 м, опоры выдвинуты");
            std::copy_n(older.begin(), std::min(older.size(), field.size()), field.begin());
            text.push_back('\0');
            break;
        }
    }
    std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

}  // namespace

void WritePassport(Image& image, const PassportDates& dates) {
    struct Row {
        std::string text;
        Storage storage;
    };
    const int installYear = LocalFromSeconds(dates.recorderInstalled).year;
    const Row rows[memory_map::kPassportTextCount] = {
        {"ООО «Ладомир-Строймеханизация», г. Череповец, ул. Литейная, д.27", Storage::Full},
        {"КС-45717К-1", Storage::ZeroTerminated},
        {"41328-к", Storage::ZeroTerminated},
        {"ИН-000573", Storage::ZeroTerminated},
        {"АО «Крановый завод Светлояр», г. Кинешма", Storage::ZeroTerminated},
        {YearText("№ 1487", dates.craneYear), Storage::ZeroTerminated},
        {"Крюковая подвеска", Storage::LeadingSpaces},
        {"25 т", Storage::OverOlderText},
        {"А6", Storage::ZeroTerminated},
        {DateText(dates.craneCommissioned), Storage::ZeroTerminated},
        {"20 лет", Storage::ZeroTerminated},
        {"ОГБ-3.25К", Storage::ZeroTerminated},
        {YearText("№ 07312", dates.craneYear), Storage::ZeroTerminated},
        {"Стрела 9,6-30,2 м, опоры 6,2х6,2 м, противовес 4,9 т", Storage::SpacePadded},
        {"РП-12, мод. 04", Storage::ZeroTerminated},
        {YearText("№ 02118", installYear), Storage::ZeroTerminated},
        {DateTimeText(dates.recorderInstalled), Storage::ZeroTerminated},
        {"ООО «Крансервис-Приозерье», г. Вологда", Storage::SpacePadded},
        {"Тихомиров Арсений Павлович", Storage::ZeroTerminated},
        {"Версия программы РП 4.12", Storage::ZeroTerminated},
    };
    for (std::uint32_t i = 0; i < memory_map::kPassportTextCount; ++i) {
        Store(ImageSpan(image, memory_map::kPassportAddress + i * memory_map::kPassportTextSize,
                        memory_map::kPassportTextSize),
              rows[i].text, rows[i].storage);
    }
}

void WriteMechanismName(Image& image) {
    Store(ImageSpan(image, memory_map::kMechanismNameAddress, memory_map::kMechanismNameSize),
          "Механизм выдвижения опор", Storage::ZeroTerminated);
}

}  // namespace zorvek::sim
