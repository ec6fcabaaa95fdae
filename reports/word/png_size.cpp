#include "reports/word/png_size.h"

#include <algorithm>
#include <array>

namespace zorvek {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<std::uint8_t, 4> kHeaderChunk = {'I', 'H', 'D', 'R'};
constexpr std::size_t kHeaderChunkTypeAt = 12;
constexpr std::size_t kWidthAt = 16;
constexpr std::size_t kHeightAt = 20;
constexpr std::size_t kFirstChunkAt = 8;
constexpr std::uint8_t kUnitMetre = 1;

std::uint32_t ReadU32Be(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 3]);
}

bool ChunkIs(std::span<const std::uint8_t> png, std::size_t at, const char (&type)[5]) {
    return std::equal(type, type + 4, png.begin() + static_cast<std::ptrdiff_t>(at) + 4);
}

// pHYs may stand anywhere between the header and the first image data.
int DotsPerMetre(std::span<const std::uint8_t> png) {
    std::size_t at = kFirstChunkAt;
    while (at + 12 <= png.size() && !ChunkIs(png, at, "IDAT")) {
        const std::uint32_t length = ReadU32Be(png, at);
        if (length > png.size() - at - 12) break;
        if (ChunkIs(png, at, "pHYs") && length == 9 && png[at + 16] == kUnitMetre) {
            const std::uint32_t dots = ReadU32Be(png, at + 8);
            return dots <= 0x7FFFFFFF ? static_cast<int>(dots) : 0;
        }
        at += 12 + length;
    }
    return 0;
}

}  // namespace

std::optional<PngSize> ReadPngSize(std::span<const std::uint8_t> png) {
    if (png.size() < kHeightAt + 4) return std::nullopt;
    if (!std::equal(kSignature.begin(), kSignature.end(), png.begin())) return std::nullopt;
    if (!std::equal(kHeaderChunk.begin(), kHeaderChunk.end(), png.begin() + kHeaderChunkTypeAt)) {
        return std::nullopt;
    }
    // PNG limits both sides to 2^31 - 1; zero is invalid.
    const std::uint32_t width = ReadU32Be(png, kWidthAt);
    const std::uint32_t height = ReadU32Be(png, kHeightAt);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
    return PngSize{static_cast<int>(width), static_cast<int>(height), DotsPerMetre(png)};
}

}  // namespace zorvek
