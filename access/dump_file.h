#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "access/memory_source.h"
#include "model/binary_file.h"

namespace zorvek {

// How the next DumpOpen picks its file. Shared with the window program,
// which owns the start-up state it describes.
struct DumpFileChoice {
    // 1..3 crane variants from the command line, 10 without parameters,
    // 0 when the command line named a dump file.
    int craneKind = 10;
    // Set by a device load just before it stores the default dump file.
    bool freshRead = false;
    // A file a command names for the next open only (an image taken from
    // the archive); that open clears it.
    std::filesystem::path namedFile;
    // The dump file named on the command line.
    std::filesystem::path startupArgument;
    // "dannie.krd": beside the executable, or in the user's data folder
    // where that one may not be written.
    std::filesystem::path defaultFile;
    // The open dialog; empty result when the user cancels. Gets the folder
    // the dialog starts in.
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)> chooseFile;
    // Where the open dialog starts: set by the program (the user's documents
    // folder), then the folder of each file chosen in it.
    std::filesystem::path dialogFolder;
};

// A dump file: exactly the 65,536 bytes of the recorder's stored data.
// Its offsets are the recorder's bank-3 offsets (address & 0xFFFF).
class DumpFile final : public MemorySource {
  public:
    explicit DumpFile(DumpFileChoice& choice);
    ~DumpFile() override;
    DumpFile(const DumpFile&) = delete;
    DumpFile& operator=(const DumpFile&) = delete;

    // Chooses the file (a named file, the default file after a device
    // load, the command-line file, or the chooser) and opens it. Fails with
    // Cancelled for a cancelled choice, Refused (ENOENT) for no name or a
    // missing file, OutOfRange (EFBIG) for a file of any other size than
    // 65,536 bytes, or the system's reason.
    TransferResult DumpOpen();
    bool DumpClose();
    // offset + count must not exceed 65,536 (OutOfRange otherwise); count 0
    // fails with OutOfRange too.
    TransferResult DumpRead(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t count,
                            ProgressSink* progress);
    TransferResult DumpWrite(std::uint32_t offset, const std::uint8_t* buffer, std::uint32_t count,
                             ProgressSink* progress);

    bool IsOpen() const { return m_file.IsOpen(); }
    const std::filesystem::path& FileName() const { return m_fileName; }

    TransferResult Open() override { return DumpOpen(); }
    bool Close() override { return DumpClose(); }
    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink* progress) override {
        return DumpRead(address & 0xFFFF, buffer, count, progress);
    }
    TransferResult Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                         ProgressSink* progress) override {
        return DumpWrite(address & 0xFFFF, buffer, count, progress);
    }

  private:
    template <typename Transfer>
    TransferResult InSteps(std::uint32_t offset, std::uint32_t count, ProgressSink* progress,
                           Transfer transfer);

    DumpFileChoice& m_choice;
    std::filesystem::path m_fileName;
    BinaryFile m_file;
};

}  // namespace zorvek
