#include "reports/charts/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <future>
#include <string_view>

namespace zorvek {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint8_t kFilterSub = 1;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kUnitMetre = 1;
// A zlib stream with a 32 KiB window packed at the fastest level.
constexpr std::array<std::uint8_t, 2> kZlibHeader = {0x78, 0x01};
// The rows are packed in this many bands, each on a thread where one can be
// had. Run-length matching looks one byte back, so a band needs nothing of
// the one before it and packs as small alone. The count is fixed, not taken
// from the machine, so that every machine writes the same file.
constexpr int kBands = 4;

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

// Rows `first` to `end` as the PNG filter sees them: a filter byte, then each
// byte less the same byte of the pixel to its left.
std::vector<std::uint8_t> FilteredRows(int width, int first, int end,
                                       const std::function<const std::uint32_t*(int)>& row) {
    const std::size_t stride = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(end - first));
    std::uint8_t* out = rows.data();
    for (int y = first; y < end; ++y) {
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

// One band deflated without a zlib frame, ended on a byte boundary (a sync
// flush) so that the next band's blocks follow it, or as the final block.
struct PackedBand {
    std::vector<std::uint8_t> deflated;
    uLong adler = 0;
    uLong length = 0;
    bool ok = false;
};

PackedBand PackBand(int width, int first, int end, bool last,
                    const std::function<const std::uint32_t*(int)>& row) {
    std::vector<std::uint8_t> rows = FilteredRows(width, first, end, row);
    PackedBand band;
    band.length = static_cast<uLong>(rows.size());
    band.adler = adler32(adler32(0L, nullptr, 0), rows.data(), static_cast<uInt>(rows.size()));
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK) return band;
    // Room for the flush's empty stored block besides the bound.
    band.deflated.resize(deflateBound(&stream, band.length) + 16);
    stream.next_in = rows.data();
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = band.deflated.data();
    stream.avail_out = static_cast<uInt>(band.deflated.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    band.ok = (last ? result == Z_STREAM_END : result == Z_OK) && stream.avail_in == 0;
    band.deflated.resize(stream.total_out);
    deflateEnd(&stream);
    return band;
}

// The zlib stream of the filtered rows: the bands' blocks one after
// another, with the checksum of them all.
std::vector<std::uint8_t> PackedRows(int width, int height,
                                     const std::function<const std::uint32_t*(int)>& row) {
    const int bands = std::min(kBands, height);
    auto pack = [&](int i) {
        return PackBand(width, height * i / bands, height * (i + 1) / bands, i == bands - 1, row);
    };
    // The first band is packed here while the others are packed elsewhere.
    std::array<std::future<PackedBand>, kBands> packing;
    for (int i = 1; i < bands; ++i) packing[i] = std::async(pack, i);
    std::vector<std::uint8_t> packed(kZlibHeader.begin(), kZlibHeader.end());
    uLong adler = adler32(0L, nullptr, 0);
    bool ok = true;
    for (int i = 0; i < bands; ++i) {
        const PackedBand band = i == 0 ? pack(0) : packing[i].get();
        ok = ok && band.ok;
        packed.insert(packed.end(), band.deflated.begin(), band.deflated.end());
        adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.length));
    }
    if (!ok) return {};
    PutU32(packed, static_cast<std::uint32_t>(adler));
    return packed;
}

}  // namespace

std::vector<std::uint8_t> EncodeRgbPng(int width, int height, int dotsPerMetre,
                                       const std::function<const std::uint32_t*(int)>& row) {
    if (width <= 0 || height <= 0) return {};
    const std::vector<std::uint8_t> packed = PackedRows(width, height, row);
    if (packed.empty()) return {};

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
