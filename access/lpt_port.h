#pragma once

#include <cstdint>
#include <memory>

#include "model/transfer_result.h"

namespace zorvek {

// A register of a PC parallel port, named by a port code: LPT number 1..3 in
// bits 4..7, the register's offset from the port's base in bits 0..2 (0 data,
// 1 status, 2 control); bit 3 is unused. 0x20 is the data register of LPT2.
enum class LptRegister : std::uint8_t { Data = 0, Status = 1, Control = 2 };

constexpr std::uint8_t LptPortCode(int lptNumber, LptRegister reg) {
    return static_cast<std::uint8_t>((lptNumber << 4) | static_cast<int>(reg));
}
constexpr int LptNumberOf(std::uint8_t portCode) { return portCode >> 4; }
constexpr std::uint8_t LptRegisterOffset(std::uint8_t portCode) { return portCode & 0x07; }
// A code names a register only for LPT1..3 and offsets 0..2.
constexpr bool LptPortCodeValid(std::uint8_t portCode) {
    return LptNumberOf(portCode) >= 1 && LptNumberOf(portCode) <= 3 &&
           LptRegisterOffset(portCode) <= 2;
}

// The record every access passes: the port code, and the value to write or
// the value read.
struct LptPortRecord {
    std::uint8_t code = 0;
    std::uint8_t value = 0;
};

// Byte-wide access to the registers of a parallel port, with the PC's raw
// register semantics: the status register's bit 7 is the BUSY pin inverted,
// as the hardware presents it. One object per port; not thread-safe.
class LptPortAccess {
  public:
    virtual ~LptPortAccess() = default;
    // Gains access to the port. A missing or busy device fails with the
    // system's reason (Refused with ENOENT, EBUSY, EACCES, ...).
    virtual TransferResult LptOpenAccess() = 0;
    // Releases the port; harmless when it was not open.
    virtual void LptCloseAccess() = 0;
    virtual bool LptAccessReady() const = 0;
    // Reads the register `record.code` into `record.value`. Not open:
    // NotOpen and the value untouched; an invalid code: OutOfRange; the
    // status register cannot be written (OutOfRange).
    virtual TransferResult LptReadPort(LptPortRecord& record) = 0;
    virtual TransferResult LptWritePort(const LptPortRecord& record) = 0;
};

// The status register of the port whose data register is `dataCode`, as
// pin levels: bit 7 is un-inverted here and nowhere else, so every bit reads
// 1 for a high pin. A failed read gives 0x80 and the failure in `result`.
struct LptStatus {
    TransferResult result;
    std::uint8_t value = 0x80;
};
LptStatus LptReadStatus(LptPortAccess& port, std::uint8_t dataCode);

TransferResult LptWriteRegister(LptPortAccess& port, std::uint8_t code, std::uint8_t value);

// The operating system's parallel-port device: on Linux the ppdev device
// named by ZORVEK_LPT, /dev/parport0 when it is unset.
std::unique_ptr<LptPortAccess> MakeSystemLptPort();

}  // namespace zorvek
