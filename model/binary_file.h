#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/transfer_result.h"

namespace zorvek {

// A file read and written at offsets, through the system's own calls so that
// any file name opens (Cyrillic ones included) and every failure keeps the
// system's reason. One implementation per OS.
class BinaryFile {
  public:
    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Opens an existing file for reading and writing, and for reading only
    // when writing is not allowed (a sample on a read-only medium). Others
    // may open it at the same time.
    TransferResult Open(const std::filesystem::path& file);
    void Close();
    bool IsOpen() const { return m_handle != kClosed; }

    // Size in bytes; nothing when the system will not say.
    std::optional<std::uint64_t> Size() const;
    // All `count` bytes or a failure; a file that ends early is IoError.
    TransferResult ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count);
    TransferResult WriteAt(std::uint64_t offset, const std::uint8_t* buffer, std::size_t count);

  private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t m_handle = kClosed;
};

// Reads a whole file of at most `limit` bytes. Nothing, with the reason in
// `result`, for a missing or unreadable file, a folder, or a larger file (a
// device that never ends gives OutOfRange once `limit` is passed).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& file,
                                                       std::size_t limit, TransferResult& result);

// The name a C library that opens files itself (fopen inside) must be given
// for `file`.
std::string NativeNameForCLibrary(const std::filesystem::path& file);

}  // namespace zorvek
