// Any text as a document to put on paper: read into pages' blocks without a
// fault, and every table's cells left to right, as the paper writer expects.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "reports/word/rtf_paper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvek;
    const auto paper = PaperFromRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!paper) return 0;
    for (const PaperBlock& block : paper->blocks) {
        const auto* table = std::get_if<PaperTable>(&block);
        if (table == nullptr) continue;
        for (const PaperRow& row : table->rows) {
            for (std::size_t i = 1; i < row.cells.size(); ++i) {
                if (row.cells[i].right < row.cells[i - 1].right) std::abort();
            }
        }
    }
    return 0;
}
