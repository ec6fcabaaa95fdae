#include "reports/charts/png_encoder.h"

#include <zlib.h>

#include <array>
#include <string_view>

namespace zorvek {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint8_t kFilterSub = 1;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kUnitMetre = 1;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

// Rows as the PNG filter sees them: a filter byte, then each byte less the
// same byte of the pixel to its left.
std::vector<std::uint8_t> FilteredRows(int width, int height,
                                       const std::function<const std::uint32_t*(int)>& row) {
    const std::size_t stride = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = rows.data() + stride * static_cast<std::size_t>(y);
        *out++ = kFilterSub;
        const std::uint32_t* pixels = row(y);
        std::uint32_t left = 0;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = pixels[x];
            for (int shift = 16; shift >= 0; shift -= 8) {
                *out++ = static_cast<std::uint8_t>((pixel >> shift) - (left >> shift));
            }
            left = pixel;
        }
    }
    return rows;
}

}  // namespace

std::vector<std::uint8_t> EncodeRgbPng(int width, int height, int dotsPerMetre,
                                       const std::function<const std::uint32_t*(int)>& row) {
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint8_t> rows = FilteredRows(width, height, row);
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<std::uint8_t> packed(packedSize);
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return {};
    stream.next_in = rows.data();
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packedSize = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END) return {};
    packed.resize(packedSize);

    std::vector<std::uint8_t> png(kSignature.begin(), kSignature.end());
    std::vector<std::uint8_t> header;
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, kColourTypeRgb, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    if (dotsPerMetre > 0) {
        std::vector<std::uint8_t> physical;
        PutU32(physical, static_cast<std::uint32_t>(dotsPerMetre));
        PutU32(physical, static_cast<std::uint32_t>(dotsPerMetre));
        physical.push_back(kUnitMetre);
        PutChunk(png, "pHYs", physical);
    }
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace zorvek
