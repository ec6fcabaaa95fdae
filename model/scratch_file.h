#pragma once

#include <filesystem>
#include <string_view>

#include "model/transfer_result.h"

namespace zorvek {

// A new empty file of a unique name in the system's temporary folder, for a
// library that will only write to a file it opens itself. The file is
// removed with this object. One implementation per OS.
class ScratchFile {
  public:
    // `stem` begins the file's name ("workbook").
    explicit ScratchFile(std::string_view stem);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Whether the file was made, and why not.
    const TransferResult& Made() const { return m_made; }
    // Empty when the file was not made.
    const std::filesystem::path& Path() const { return m_path; }

  private:
    TransferResult m_made;
    std::filesystem::path m_path;
};

}  // namespace zorvek
