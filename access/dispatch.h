#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "access/memory_source.h"
#include "model/memory_map.h"
#include "model/memory_reader.h"
#include "model/passport.h"

namespace zorvek {

class DumpFile;

// Reads and writes recorder memory by address from whichever source is
// open, and stands in for the recorder's working memory (bank 0) when the
// source cannot reach it.
class Dispatch final : public MemoryReader {
  public:
    static constexpr std::uint32_t kRamWindowSize = 1536;

    // `mainProgress` is the progress display the recorder's reads always
    // report to; it may be null.
    Dispatch(DumpFile& dumpFile, PassportSheet& sheet, ProgressSink* mainProgress = nullptr);

    // The device sources arrive with their own drivers; until one is
    // attached, opening its kind fails.
    void AttachRecorder(MemorySource* recorder) { m_recorder = recorder; }
    void AttachLptReader(MemorySource* reader) { m_lptReader = reader; }

    // Fails with Refused (EBUSY) and without change while a source is open.
    // A failed open leaves the kind set; the caller follows it with
    // CloseSource. A device kind without an attached driver is Refused
    // (ENODEV).
    TransferResult OpenSource(SourceKind kind);
    // Closes whatever source is open and returns the source's own result: a
    // device's disconnect always succeeds, a dump file's close only when a
    // file was open. With no source at all: false.
    bool CloseSource();

    // Every source gets the full recorder address and translates it itself.
    // The recorder serves every bank; the readers and dump files serve bank
    // 3, and bank 0 comes from the zeroed working-memory window (OutOfRange
    // beyond its 1,536 bytes). Nothing open: NotOpen. See MemorySource for
    // short reads and time-outs.
    TransferResult ReadMemory(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                              ProgressSink* progress) override;
    TransferResult WriteMemory(std::uint32_t address, const std::uint8_t* buffer,
                               std::uint32_t count, ProgressSink* progress);
    SourceKind Kind() const override { return m_kind; }

    std::uint8_t CurrentBank() const { return m_currentBank; }
    std::span<const std::uint8_t> RamWindow() const { return m_ramWindow; }

    // Replaces the sheet's values of rows 0..19 with the recorder's passport
    // texts, empty ones included.
    TransferResult LoadPassportFromRecorder();
    // After a reader load: the reader's new-data mark 123 becomes 0. The
    // result of the write, or of the read when the mark was not 123.
    TransferResult ClearReaderNewMark();

  private:
    MemorySource* SourceOf(SourceKind kind) const;
    bool InRamWindow(std::uint32_t address, std::uint32_t count) const;

    DumpFile& m_dumpFile;
    PassportSheet& m_sheet;
    ProgressSink* m_mainProgress;
    MemorySource* m_recorder = nullptr;
    MemorySource* m_lptReader = nullptr;
    SourceKind m_kind = SourceKind::None;
    std::uint8_t m_currentBank = 0;
    std::array<std::uint8_t, kRamWindowSize> m_ramWindow{};
};

}  // namespace zorvek
