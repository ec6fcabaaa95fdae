#include "access/dispatch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "access/dump_file.h"
#include "model/bits.h"
#include "model/text_field.h"

namespace zorvek {

Dispatch::Dispatch(DumpFile& dumpFile, PassportSheet& sheet, ProgressSink* mainProgress)
    : m_dumpFile(dumpFile), m_sheet(sheet), m_mainProgress(mainProgress) {}

MemorySource* Dispatch::SourceOf(SourceKind kind) const {
    switch (kind) {
        case SourceKind::Recorder:
            return m_recorder;
        case SourceKind::LptReader:
            return m_lptReader;
        case SourceKind::DumpFile:
            return &m_dumpFile;
        default:
            return nullptr;
    }
}

TransferResult Dispatch::OpenSource(SourceKind kind) {
    if (m_kind != SourceKind::None) return TransferResult::Fail(TransferError::Refused, EBUSY);
    m_kind = kind;
    MemorySource* source = SourceOf(kind);
    if (source == nullptr) return TransferResult::Fail(TransferError::Refused, ENODEV);
    const TransferResult opened = source->Open();
    if (opened && kind != SourceKind::Recorder) m_ramWindow.fill(0);
    return opened;
}

bool Dispatch::CloseSource() {
    if (m_kind == SourceKind::None) return false;
    MemorySource* source = SourceOf(m_kind);
    m_kind = SourceKind::None;
    return source == nullptr || source->Close();
}

bool Dispatch::InRamWindow(std::uint32_t address, std::uint32_t count) const {
    const std::uint32_t offset = memory_map::Offset(address);
    return count <= kRamWindowSize && offset <= kRamWindowSize - count;
}

TransferResult Dispatch::ReadMemory(std::uint32_t address, std::uint8_t* buffer,
                                    std::uint32_t count, ProgressSink* progress) {
    if (count == 0) return TransferResult::Ok();
    m_currentBank = memory_map::Bank(address);
    MemorySource* source = SourceOf(m_kind);
    if (source == nullptr) return TransferResult::Fail(TransferError::NotOpen);
    // Transfers from the recorder always show on the main progress display.
    if (m_kind == SourceKind::Recorder) return source->Read(address, buffer, count, m_mainProgress);
    if (m_currentBank == 0) {
        if (!InRamWindow(address, count)) return TransferResult::Fail(TransferError::OutOfRange);
        std::memcpy(buffer, m_ramWindow.data() + memory_map::Offset(address), count);
        return TransferResult::Ok();
    }
    return source->Read(address, buffer, count, progress);
}

TransferResult Dispatch::WriteMemory(std::uint32_t address, const std::uint8_t* buffer,
                                     std::uint32_t count, ProgressSink* progress) {
    if (count == 0) return TransferResult::Ok();
    m_currentBank = memory_map::Bank(address);
    MemorySource* source = SourceOf(m_kind);
    if (source == nullptr) return TransferResult::Fail(TransferError::NotOpen);
    if (m_kind == SourceKind::Recorder) return source->Write(address, buffer, count, progress);
    if (m_currentBank == 0) {
        if (!InRamWindow(address, count)) return TransferResult::Fail(TransferError::OutOfRange);
        std::memcpy(m_ramWindow.data() + memory_map::Offset(address), buffer, count);
        return TransferResult::Ok();
    }
    return source->Write(address, buffer, count, progress);
}

TransferResult Dispatch::LoadPassportFromRecorder() {
    std::array<std::uint8_t, memory_map::kPassportSize> passport{};
    const TransferResult read = ReadMemory(memory_map::kPassportAddress, passport.data(),
                                           memory_map::kPassportSize, m_mainProgress);
    if (!read) return read;
    for (std::uint32_t row = 0; row < memory_map::kPassportTextCount; ++row) {
        const auto field = std::span(passport).subspan(row * memory_map::kPassportTextSize,
                                                       memory_map::kPassportTextSize);
        m_sheet.SetValue(static_cast<int>(row),
                         TextFromBuffer(field, memory_map::kPassportTextSize));
    }
    return read;
}

TransferResult Dispatch::ClearReaderNewMark() {
    std::uint8_t mark[4];
    const TransferResult read =
        ReadMemory(memory_map::kNewDataMarkAddress, mark, sizeof mark, m_mainProgress);
    if (!read || LoadLe(mark, 0, 4) != memory_map::kReaderNewDataValue) return read;
    // 123 sits in the low byte alone; clearing three bytes leaves the dword 0.
    const std::uint8_t zeros[3] = {0, 0, 0};
    return WriteMemory(memory_map::kNewDataMarkAddress, zeros, sizeof zeros, m_mainProgress);
}

}  // namespace zorvek
