#include "model/bits.h"

#include <array>
#include <bit>
#include <cstring>

namespace zorvek {

namespace {

// One table lookup per byte instead of eight shifts: the hour list alone
// checks 55,000 bytes.
constexpr std::array<std::uint8_t, 256> MakeCrc8Table() {
    std::array<std::uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        auto crc = static_cast<std::uint8_t>(value);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint8_t>((crc >> 1) ^ 0x8C)
                            : static_cast<std::uint8_t>(crc >> 1);
        }
        table[static_cast<std::size_t>(value)] = crc;
    }
    return table;
}

constexpr auto kCrc8Table = MakeCrc8Table();

}  // namespace

std::uint8_t Crc8(std::span<const std::uint8_t> data) {
    std::uint8_t crc = 0;
    for (std::uint8_t byte : data) crc = kCrc8Table[crc ^ byte];
    return crc;
}

float UnpackFloat16(std::uint16_t word) {
    const auto lo = static_cast<std::uint8_t>(word & 0xFF);
    const auto hi = static_cast<std::uint8_t>(word >> 8);
    if (hi == 0) return 0.0f;
    const unsigned e = (hi & 0x3Fu) + 0x60u;
    const std::uint32_t bits = (static_cast<std::uint32_t>((e >> 1) | (lo & 0x80u)) << 24) |
                               (static_cast<std::uint32_t>((lo & 0x7Fu) | ((e & 1u) << 7)) << 16) |
                               (static_cast<std::uint32_t>(hi & 0xC0u) << 8);
    return std::bit_cast<float>(bits);
}

std::uint32_t TakeBits(std::uint32_t& value, int n) {
    if (n <= 0) return 0;
    if (n >= 32) {
        const std::uint32_t all = value;
        value = 0;
        return all;
    }
    const std::uint32_t taken = value >> (32 - n);
    value <<= n;
    return taken;
}

bool IsValidDateTime(std::uint32_t packed) {
    TakeBits(packed, 6);
    const auto month = TakeBits(packed, 4);
    const auto day = TakeBits(packed, 5);
    const auto hour = TakeBits(packed, 5);
    const auto minute = TakeBits(packed, 6);
    const auto second = TakeBits(packed, 6);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24 && minute < 60 &&
           second < 60;
}

std::uint32_t LoadLe(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width && i < 4; ++i) {
        const std::size_t at = offset + i;
        if (at < bytes.size()) value |= static_cast<std::uint32_t>(bytes[at]) << (8 * i);
    }
    return value;
}

void StoreLe(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width,
             std::uint32_t value) {
    for (std::size_t i = 0; i < width && i < 4; ++i) {
        const std::size_t at = offset + i;
        if (at < bytes.size()) bytes[at] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

float LoadFloat32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::bit_cast<float>(LoadLe(bytes, offset, 4));
}

}  // namespace zorvek
