#include "model/format_check.h"

#include <cstdio>

#include "model/bits.h"
#include "model/cp1251.h"
#include "model/memory_map.h"

namespace zorvek {
namespace {

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::uint32_t ReadDword(MemoryReader& source, std::uint32_t address, TransferResult& read) {
    std::uint8_t bytes[4] = {};
    read = source.ReadMemory(address, bytes, sizeof bytes, nullptr);
    return LoadLe(bytes, 0, 4);
}

}  // namespace

bool FormatCheck::Accepted() const { return readOk && stored == memory_map::kDataFormatSignature; }

FormatCheck CheckDataFormat(MemoryReader& source) {
    FormatCheck check;
    check.stored = ReadDword(source, memory_map::kFormatSignatureAddress, check.read);
    check.readOk = check.read.Succeeded();
    return check;
}

std::string ProgramVersionText() { return Hex8(memory_map::kDataFormatSignature); }

std::string FormatMismatchMessage(std::uint32_t stored) {
    static const std::string kHead =
        Cp1251FromUtf8("Не верный  формат  данных!\r\nВерия данных:      ");
    static const std::string kProgram = Cp1251FromUtf8("Верия программы: ");
    return kHead + Hex8(stored) + "\r\n" + kProgram + ProgramVersionText();
}

bool EndOfCopyCheck::Present() const { return read && stored == memory_map::kDataFormatSignature; }

EndOfCopyCheck CheckEndOfCopyMark(MemoryReader& source) {
    EndOfCopyCheck check;
    check.stored = ReadDword(source, memory_map::kEndOfCopyMarkAddress, check.read);
    return check;
}

}  // namespace zorvek
