#include "model/text_field.h"

#include <algorithm>

namespace zorvek {

std::string TextFromBuffer(std::span<const std::uint8_t> field, std::size_t size) {
    const std::size_t limit = std::min(size, field.size());
    std::size_t end = 0;
    while (end < limit && field[end] != 0) ++end;
    std::size_t begin = 0;
    while (begin < end && field[begin] <= 32) ++begin;
    while (end > begin && field[end - 1] <= 32) --end;
    return std::string(field.begin() + static_cast<std::ptrdiff_t>(begin),
                       field.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace zorvek
