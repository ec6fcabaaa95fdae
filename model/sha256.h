#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zorvek {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The SHA-256 digest of `bytes` (FIPS 180-4).
Sha256Digest Sha256(std::span<const std::uint8_t> bytes);

// Two lower-case hex digits a byte.
std::string HexOf(std::span<const std::uint8_t> bytes);

// What the documents and `info` name an image by: the first 16 hex digits
// of its SHA-256, the start of the digest the archive files it under.
std::string ImageFingerprint(std::span<const std::uint8_t> image);

}  // namespace zorvek
