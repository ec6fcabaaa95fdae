#include "reports/excel/zip_writer.h"

#include <zlib.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

namespace zorvek {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint16_t kVersion = 20;  // 2.0: deflate
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kDosDate1980 = (0 << 9) | (1 << 5) | 1;  // 1 January 1980
constexpr std::uint16_t kDosMidnight = 0;
constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kMax16 = std::numeric_limits<std::uint16_t>::max();

// Level 1: a sheet's package entries are long runs of repeated markup, which the
// fastest level shrinks nearly as well as the default in a fraction of the
// time (the comment parts of the largest sheet: 16 MB to 0.5 MB).
constexpr int kLevel = 1;
constexpr int kRawDeflate = -MAX_WBITS;  // ZIP entries are bare deflate data
constexpr int kMemLevel = 8;

class LittleEndian {
  public:
    void U16(std::uint64_t value) { Put(value, 2); }
    void U32(std::uint64_t value) { Put(value, 4); }
    void Bytes(std::string_view bytes) { m_bytes += bytes; }
    const std::string& Data() const { return m_bytes; }

  private:
    void Put(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) m_bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    std::string m_bytes;
};

// The fields a local and a central header share, from "version needed" on.
void PutCommonFields(LittleEndian& out, const PackedEntry& entry) {
    out.U16(kVersion);
    out.U16(0);  // flags
    out.U16(entry.deflated ? kDeflated : kStored);
    out.U16(kDosMidnight);
    out.U16(kDosDate1980);
    out.U32(entry.crc);
    out.U32(entry.bytes.size());
    out.U32(entry.size);
    out.U16(entry.name.size());
    out.U16(0);  // extra field
}

struct EndDeflate {
    void operator()(z_stream* stream) const { deflateEnd(stream); }
};

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<PackedEntry> PackEntry(std::string name, std::string_view data) {
    if (name.size() > kMax16 || data.size() > kMax32) return std::nullopt;
    PackedEntry entry{std::move(name), false, 0, data.size(), {}};
    entry.crc = static_cast<std::uint32_t>(
        crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
    z_stream stream{};
    if (deflateInit2(&stream, kLevel, Z_DEFLATED, kRawDeflate, kMemLevel, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return std::nullopt;
    }
    const std::unique_ptr<z_stream, EndDeflate> end(&stream);
    const uLong bound = deflateBound(&stream, static_cast<uLong>(data.size()));
    if (bound > std::numeric_limits<uInt>::max()) return std::nullopt;
    // Not zeroed: most of a buffer sized for the worst case is never touched.
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(bound);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = buffer.get();
    stream.avail_out = static_cast<uInt>(bound);
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) return std::nullopt;
    if (stream.total_out < data.size()) {
        entry.deflated = true;
        entry.bytes.assign(reinterpret_cast<const char*>(buffer.get()), stream.total_out);
    } else {
        entry.bytes = data;
    }
    return entry;
}

bool WriteZip(const std::filesystem::path& path, std::span<const PackedEntry> entries) {
    if (entries.size() > kMax16) return false;
    std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.string().c_str(), "wb"));
    if (!file) return false;
    const auto write = [&file](std::string_view bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    };

    std::vector<std::uint64_t> offsets;
    offsets.reserve(entries.size());
    std::uint64_t offset = 0;
    for (const PackedEntry& entry : entries) {
        LittleEndian header;
        header.U32(kLocalHeaderSignature);
        PutCommonFields(header, entry);
        header.Bytes(entry.name);
        if (!write(header.Data()) || !write(entry.bytes)) return false;
        offsets.push_back(offset);
        offset += header.Data().size() + entry.bytes.size();
        if (offset > kMax32) return false;
    }

    LittleEndian directory;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        directory.U32(kCentralHeaderSignature);
        directory.U16(kVersion);  // made by: 2.0, MS-DOS attributes
        PutCommonFields(directory, entries[i]);
        directory.U16(0);  // comment
        directory.U16(0);  // disk
        directory.U16(0);  // internal attributes
        directory.U32(0);  // external attributes
        directory.U32(offsets[i]);
        directory.Bytes(entries[i].name);
    }
    const std::uint64_t directorySize = directory.Data().size();
    if (offset + directorySize > kMax32) return false;
    directory.U32(kEndSignature);
    directory.U16(0);  // this disk
    directory.U16(0);  // the directory's disk
    directory.U16(entries.size());
    directory.U16(entries.size());
    directory.U32(directorySize);
    directory.U32(offset);
    directory.U16(0);  // comment
    if (!write(directory.Data())) return false;
    return std::fclose(file.release()) == 0;
}

}  // namespace zorvek
