#include "reports/excel/excel_layer.h"

namespace zorvek {

// Columns beyond U have no letter here: the sheet never uses more than 21.
std::string_view ColumnLetters(int col) {
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTU";
    if (col < 0 || col >= static_cast<int>(kLetters.size())) return {};
    return kLetters.substr(static_cast<std::size_t>(col), 1);
}

}  // namespace zorvek
