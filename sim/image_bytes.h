#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/bits.h"
#include "model/memory_map.h"

namespace zorvek::sim {

// The recorder's stored data, bank 3: byte n is address 0x30000 + n.
using Image = std::array<std::uint8_t, memory_map::kImageSize>;

// The bytes of a block at a bank-3 address.
inline std::span<std::uint8_t> ImageSpan(Image& image, std::uint32_t address, std::size_t size) {
    return std::span(image).subspan(memory_map::Offset(address), size);
}

// Every block and record ends in the checksum of the bytes before it.
inline void SealBlock(std::span<std::uint8_t> block) {
    block.back() = Crc8(block.first(block.size() - 1));
}

}  // namespace zorvek::sim
