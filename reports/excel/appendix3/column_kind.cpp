#include "reports/excel/appendix3/column_kind.h"

#include <array>
#include <string_view>

#include "model/cp1251.h"

namespace zorvek {

std::string ColumnHeader(ColumnKind kind) {
    static const std::array<std::string, kColumnKindCount> kHeaders = [] {
        constexpr std::array<std::string_view, kColumnKindCount> kUtf8 = {
            "№",
            "Дата и время",
            "Загрузка,%",
            "Вылет,м",
            "Дл. стрелы,м",
            "Вес груза,т",
            "Г-подъёмность,т",
            "Азимут, град",
            "Режим",
            "Уст-ка к.з.",
            "Состояние к.з.",
            "Предупреждения",
            "Сраб. защиты",
            "Механизм",
            "ЛЭП",
            "Продольный крен",
            "Поперечный крен",
            "Ветер, м/с",
            "Примечание",
        };
        std::array<std::string, kColumnKindCount> headers;
        for (std::size_t i = 0; i < kUtf8.size(); ++i) headers[i] = Cp1251FromUtf8(kUtf8[i]);
        return headers;
    }();
    const int index = static_cast<int>(kind) - kFirstColumnKind;
    if (index < 0 || index >= kColumnKindCount) return {};
    return kHeaders[static_cast<std::size_t>(index)];
}

}  // namespace zorvek
