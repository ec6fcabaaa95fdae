#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "access/memory_source.h"

namespace zorvek {

// How the next DumpOpen picks its file. Shared with the window program,
// which owns the start-up state it describes.
struct DumpFileChoice {
    // 1..3 crane variants from the command line, 10 without parameters,
    // 0 when the command line named a dump file.
    int craneKind = 10;
    // Set by a device load just before it stores the default dump file.
    bool freshRead = false;
    // The dump file named on the command line.
    std::filesystem::path startupArgument;
    // "dannie.krd" beside the executable.
    std::filesystem::path defaultFile;
    // The open dialog; empty result when the user cancels. Gets the folder
    // the dialog starts in.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)> chooseFile;
};

// A dump file: exactly the 65,536 bytes of the recorder's stored data.
class DumpFile final : public MemorySource {
  public:
    explicit DumpFile(DumpFileChoice& choice);
    ~DumpFile() override;
    DumpFile(const DumpFile&) = delete;
    DumpFile& operator=(const DumpFile&) = delete;

    // Chooses the file (default file after a device load, the command-line
    // file, or the chooser) and opens it. False for a cancelled choice, a
    // missing file or a file of any other size than 65,536 bytes.
    bool DumpOpen();
    bool DumpClose();
    // offset + count must not exceed 65,536; count 0 fails.
    bool DumpRead(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t count,
                  ProgressSink* progress);
    bool DumpWrite(std::uint32_t offset, const std::uint8_t* buffer, std::uint32_t count,
                   ProgressSink* progress);

    bool IsOpen() const { return m_file != nullptr; }
    const std::filesystem::path& FileName() const { return m_fileName; }

    bool Open() override { return DumpOpen(); }
    bool Close() override { return DumpClose(); }
    bool Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
              ProgressSink* progress) override {
        return DumpRead(address, buffer, count, progress);
    }
    bool Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
               ProgressSink* progress) override {
        return DumpWrite(address, buffer, count, progress);
    }

  private:
    template <typename Transfer>
    bool Transfer32(std::uint32_t offset, std::uint32_t count, ProgressSink* progress,
                    Transfer transfer);

    DumpFileChoice& m_choice;
    std::filesystem::path m_fileName;
    std::FILE* m_file = nullptr;
};

}  // namespace zorvek
