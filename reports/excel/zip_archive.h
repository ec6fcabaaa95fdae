#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/excel/zip_entry.h"

struct zip;
struct zip_source;

namespace zorvek {

// A ZIP archive held in memory and changed through libzip: open it from its
// bytes (or start an empty one), change entries, and Close gives the bytes
// of the changed archive. Entries that were not changed keep their packed
// data as it was.
//
// libzip replaced a ZIP writer of our own because appendix 3 stays as fast:
// appendix3_bench with every column, files on tmpfs so that only the work
// counts, median of 3 x 5 runs: 128 ms with our writer, 130 ms with libzip
// (CPU 73 and 76 ms), which includes checking every part of the package.
class MemoryZip {
  public:
    // The archive in `bytes`, or a new empty one for no bytes. Nothing when
    // the bytes are not a ZIP archive.
    static std::unique_ptr<MemoryZip> Open(std::string bytes = {});
    ~MemoryZip();
    MemoryZip(const MemoryZip&) = delete;
    MemoryZip& operator=(const MemoryZip&) = delete;

    bool Contains(std::string_view name) const;
    // The unpacked data of the entry `name`, its check sum compared. Nothing
    // when there is no such entry or it is damaged.
    std::optional<std::string> Read(std::string_view name);
    // Every entry, unpacked, in the archive's order; nothing when one is damaged.
    std::optional<std::vector<ZipEntry>> Entries();

    // Adds `data` as the entry `name`, replacing an entry of that name. It
    // is deflated at the fastest level when the archive is closed, and dated
    // 1 January 1980 so that equal entries make equal archives.
    bool Put(std::string name, std::string data);
    // Adds every entry of `other` packed as it is there, without unpacking it
    // and packing it again; `other` is kept until this archive is closed.
    bool TakeAll(std::unique_ptr<MemoryZip> other);

    // The bytes of the archive with every change; nothing when libzip fails
    // (an entry too large, a name too long for the format). Nothing more may
    // be done with the archive afterwards.
    std::optional<std::string> Close();

  private:
    MemoryZip() = default;
    std::optional<std::string> ReadIndex(std::uint64_t index);

    std::string m_original;  // libzip reads the opened archive from here
    zip_source* m_source = nullptr;
    zip* m_archive = nullptr;
    std::deque<std::string> m_added;  // data of the entries put, read when closing
    std::vector<std::unique_ptr<MemoryZip>> m_taken;
};

}  // namespace zorvek
