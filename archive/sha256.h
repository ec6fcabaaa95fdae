#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zorvek::archive {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The SHA-256 digest of `bytes` (FIPS 180-4).
Sha256Digest Sha256(std::span<const std::uint8_t> bytes);

// 64 lower-case hex digits.
std::string HexOf(std::span<const std::uint8_t> bytes);

}  // namespace zorvek::archive
