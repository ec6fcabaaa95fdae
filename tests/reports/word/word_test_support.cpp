#include "tests/reports/word/word_test_support.h"

#include <zlib.h>

namespace zorvek::test {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type.begin(), type.end());
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutU32(out,
           static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

std::vector<std::uint8_t> HeaderData(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> data;
    PutU32(data, width);
    PutU32(data, height);
    data.insert(data.end(), {8, 0, 0, 0, 0});  // 8-bit grey, no interlace
    return data;
}

}  // namespace

std::vector<std::uint8_t> PngHeader(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    PutChunk(png, "IHDR", HeaderData(width, height));
    return png;
}

std::vector<std::uint8_t> SmallPng(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = PngHeader(width, height);
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t y = 0; y < height; ++y) {
        pixels.push_back(0);  // no filter
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.push_back(static_cast<std::uint8_t>((x + y) % 2 ? 0x40 : 0xC0));
    }
    uLongf size = compressBound(static_cast<uLong>(pixels.size()));
    std::vector<std::uint8_t> packed(size);
    compress(packed.data(), &size, pixels.data(), static_cast<uLong>(pixels.size()));
    packed.resize(size);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace zorvek::test
