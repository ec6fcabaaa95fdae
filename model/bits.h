#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zorvek {

constexpr std::uint32_t kInvalidTime = 0xFFFFFFFF;

// CRC-8/MAXIM (reflected 0x8C, initial 0, no final inversion), the checksum of
// every block and record of the recorder and of the link frames. 0 for no data.
std::uint8_t Crc8(std::span<const std::uint8_t> data);

constexpr std::uint32_t Mask24(std::uint32_t value) { return value & 0xFFFFFF; }

// The recorder's packed 16-bit real: low byte sign and seven mantissa bits,
// high byte two more mantissa bits and a 6-bit exponent; high byte 0 is 0.0.
float UnpackFloat16(std::uint16_t word);

// Takes the n most significant bits of value as a number and shifts value
// left by n (n from 0 to 32).
std::uint32_t TakeBits(std::uint32_t& value, int n);

// Month 1..12, day 1..31, hour < 24, minute and second < 60; the year is not
// tested.
bool IsValidDateTime(std::uint32_t packed);

// Little-endian loads from a byte span. Reading past the end yields 0 for
// the missing bytes: a view never reads outside its block.
std::uint32_t LoadLe(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width);
void StoreLe(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width,
             std::uint32_t value);
float LoadFloat32(std::span<const std::uint8_t> bytes, std::size_t offset);

}  // namespace zorvek
