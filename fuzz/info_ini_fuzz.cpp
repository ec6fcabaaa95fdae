// Any text as Info.ini, and the passport values it leaves read as the duty
// figures read them: the rated capacity and the classification group.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/duty_class.h"
#include "model/passport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvek;
    PassportSheet sheet;
    ReadInfoIniText(sheet, std::string_view(reinterpret_cast<const char*>(data), size));
    for (int row = 0; row < PassportSheet::kRows; ++row) {
        ParseCapacity(sheet.Value(row));
        ParseGroup(sheet.Value(row));
    }
    CopyPassportLines(sheet);
    return 0;
}
