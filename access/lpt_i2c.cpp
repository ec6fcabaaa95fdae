#include "access/lpt_i2c.h"

namespace zorvek {

LptI2cBus::LptI2cBus(LptPortAccess& port, WaitClock& clock) : m_port(port), m_clock(clock) {}

void LptI2cBus::Fail(TransferResult failure) {
    if (!Faulted()) m_fault = failure;
}

void LptI2cBus::WriteLatch() {
    if (Faulted()) return;
    if (const TransferResult written = LptWriteRegister(m_port, kLptPortCode, m_latch); !written)
        Fail(written);
}

void LptI2cBus::SetLine(int bit) {
    m_latch = static_cast<std::uint8_t>(m_latch | (1u << bit));
    WriteLatch();
}

void LptI2cBus::ClearLine(int bit) {
    m_latch = static_cast<std::uint8_t>(m_latch & ~(1u << bit));
    WriteLatch();
}

bool LptI2cBus::StatusBit(int bit) {
    if (Faulted()) return true;
    const LptStatus status = LptReadStatus(m_port, kLptPortCode);
    if (!status.result) {
        Fail(status.result);
        return true;
    }
    return (status.value >> bit) & 1;
}

TransferResult LptI2cBus::I2cOpen() {
    ClearFault();
    if (const TransferResult opened = m_port.LptOpenAccess(); !opened) return opened;
    m_latch = 0;
    WriteLatch();
    if (Faulted()) return m_fault;
    I2cWait(WaitClock::Duration(100));
    return TransferResult::Ok();
}

void LptI2cBus::I2cClose() {
    if (m_port.LptAccessReady()) {
        ClearFault();
        // SCL falls first, so that SDA falling after it is no start condition.
        if (m_latch & (1u << kSclOut)) ClearLine(kSclOut);
        m_latch = 0;
        WriteLatch();
    }
    m_latch = 0;
    m_port.LptCloseAccess();
}

bool LptI2cBus::I2cStart() {
    if (!SclIn() || !SdaIn()) return false;
    ClearLine(kSdaOut);  // SDA falls while SCL is high: the start condition
    ClearLine(kSclOut);
    SetLine(kSdaOut);  // released for the first data bit
    if (SdaIn()) return true;
    SetLine(kSclOut);
    return false;
}

bool LptI2cBus::I2cStop() {
    ClearLine(kSdaOut);
    SetLine(kSclOut);
    WaitForScl();
    SetLine(kSdaOut);  // SDA rises while SCL is high: the stop condition
    // A port lost meanwhile reads every line high: that is no stop.
    const bool free = SclIn() && SdaIn();
    return free && !Faulted();
}

bool LptI2cBus::WaitForScl() {
    const WaitClock::Duration started = m_clock.Now();
    for (int polls = 0; !SclIn(); ++polls) {
        if (polls < kSclFastPolls) continue;
        if (m_clock.Now() - started >= kSclStretchLimit) {
            Fail(TransferResult::Fail(TransferError::NoAnswer));
            return false;
        }
        m_clock.Wait(kSclPollInterval);
    }
    return !Faulted();
}

bool LptI2cBus::I2cClock() {
    SetLine(kSclOut);
    if (!WaitForScl()) return true;
    const bool bit = SdaIn();
    ClearLine(kSclOut);
    SetLine(kSdaOut);
    return bit;
}

bool LptI2cBus::I2cRecover() {
    SetLine(kSdaOut);
    SetLine(kSclOut);
    if (!WaitForScl()) return false;
    // A slave cut off in the middle of sending holds SDA low until it has
    // clocked out its byte; the missing acknowledge then ends its sending.
    for (int pulse = 0; pulse < kRecoveryPulses && !SdaIn(); ++pulse) {
        ClearLine(kSclOut);
        SetLine(kSclOut);
        if (!WaitForScl()) return false;
    }
    if (!SdaIn()) return false;
    // SCL goes low first, so that the stop's falling SDA is no start.
    ClearLine(kSclOut);
    return I2cStop();
}

bool LptI2cBus::I2cWriteByte(std::uint8_t value) {
    for (int bit = 7; bit >= 0; --bit) {
        if (((value >> bit) & 1) == 0) ClearLine(kSdaOut);
        I2cClock();
    }
    return !I2cClock();
}

std::uint8_t LptI2cBus::I2cReadByte(bool ack) {
    unsigned value = 0;
    for (int bit = 0; bit < 8; ++bit) value = (value << 1) | (I2cClock() ? 1u : 0u);
    if (ack) ClearLine(kSdaOut);
    I2cClock();
    return static_cast<std::uint8_t>(value);
}

}  // namespace zorvek
