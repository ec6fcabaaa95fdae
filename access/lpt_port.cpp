#include "access/lpt_port.h"

namespace zorvek {

LptStatus LptReadStatus(LptPortAccess& port, std::uint8_t dataCode) {
    LptPortRecord record{static_cast<std::uint8_t>(dataCode + 1), 0};
    LptStatus status;
    status.result = port.LptReadPort(record);
    // The port inverts the BUSY pin in bit 7; give back the pin's own level.
    status.value = static_cast<std::uint8_t>(record.value ^ 0x80);
    return status;
}

TransferResult LptWriteRegister(LptPortAccess& port, std::uint8_t code, std::uint8_t value) {
    return port.LptWritePort(LptPortRecord{code, value});
}

}  // namespace zorvek
