#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zorvek {

// A text field of the recorder: up to the first 0 byte or `size` characters,
// trimmed of characters with codes up to 32 at both ends. cp1251.
std::string TextFromBuffer(std::span<const std::uint8_t> field, std::size_t size);

}  // namespace zorvek
