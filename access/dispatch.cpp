#include "access/dispatch.h"

#include <algorithm>
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

bool Dispatch::OpenSource(SourceKind kind) {
    if (m_kind != SourceKind::None) return false;
    m_kind = kind;
    MemorySource* source = SourceOf(kind);
    const bool opened = source != nullptr && source->Open();
    if (opened && kind != SourceKind::Recorder) m_ramWindow.fill(0);
    return opened;
}

bool Dispatch::CloseSource() {
    if (m_kind == SourceKind::None) return false;
    MemorySource* source = SourceOf(m_kind);
    bool closed = true;
    if (m_kind == SourceKind::DumpFile) {
        closed = m_dumpFile.DumpClose();
    } else if (source) {
        source->Close();
    }
    m_kind = SourceKind::None;
    return closed;
}

bool Dispatch::InRamWindow(std::uint32_t address, std::uint32_t count) const {
    const std::uint32_t offset = memory_map::Offset(address);
    return count <= kRamWindowSize && offset <= kRamWindowSize - count;
}

bool Dispatch::ReadMemory(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                          ProgressSink* progress) {
    if (count == 0) return true;
    m_currentBank = memory_map::Bank(address);
    switch (m_kind) {
        case SourceKind::Recorder:
            // Transfers from the recorder always show on the main progress display.
            return m_recorder && m_recorder->Read(address, buffer, count, m_mainProgress);
        case SourceKind::LptReader:
        case SourceKind::DumpFile: {
            if (m_currentBank == 0) {
                if (!InRamWindow(address, count)) return false;
                std::memcpy(buffer, m_ramWindow.data() + memory_map::Offset(address), count);
                return true;
            }
            MemorySource* source = SourceOf(m_kind);
            return source && source->Read(memory_map::Offset(address), buffer, count, progress);
        }
        default:
            return false;
    }
}

void Dispatch::WriteMemory(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                           ProgressSink* progress) {
    if (count == 0) return;
    m_currentBank = memory_map::Bank(address);
    switch (m_kind) {
        case SourceKind::Recorder:
            if (m_recorder) m_recorder->Write(address, buffer, count, progress);
            return;
        case SourceKind::LptReader:
        case SourceKind::DumpFile: {
            if (m_currentBank == 0) {
                if (InRamWindow(address, count)) {
                    std::memcpy(m_ramWindow.data() + memory_map::Offset(address), buffer, count);
                }
                return;
            }
            if (MemorySource* source = SourceOf(m_kind)) {
                source->Write(memory_map::Offset(address), buffer, count, progress);
            }
            return;
        }
        default:
            return;
    }
}

bool Dispatch::LoadPassportFromRecorder() {
    std::array<std::uint8_t, memory_map::kPassportSize> passport{};
    if (!ReadMemory(memory_map::kPassportAddress, passport.data(), memory_map::kPassportSize,
                    m_mainProgress)) {
        return false;
    }
    for (std::uint32_t row = 0; row < memory_map::kPassportTextCount; ++row) {
        const auto field = std::span(passport).subspan(row * memory_map::kPassportTextSize,
                                                       memory_map::kPassportTextSize);
        m_sheet.SetValue(static_cast<int>(row),
                         TextFromBuffer(field, memory_map::kPassportTextSize));
    }
    return true;
}

void Dispatch::ClearReaderNewMark() {
    std::uint8_t mark[4];
    if (!ReadMemory(memory_map::kNewDataMarkAddress, mark, sizeof mark, m_mainProgress)) return;
    if (LoadLe(mark, 0, 4) != memory_map::kReaderNewDataValue) return;
    // 123 sits in the low byte alone; clearing three bytes leaves the dword 0.
    const std::uint8_t zeros[3] = {0, 0, 0};
    WriteMemory(memory_map::kNewDataMarkAddress, zeros, sizeof zeros, m_mainProgress);
}

}  // namespace zorvek
