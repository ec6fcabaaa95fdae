#pragma once

#include <cstdint>

#include "access/lpt_port.h"
#include "access/wait_clock.h"
#include "model/transfer_result.h"

namespace zorvek {

// The adapter's lines on the parallel port, and an I2C master bit-banged on
// them. Outputs are bits of the data register, driven through a shadow copy
// (`Latch`): every line change alters one bit and writes the whole latch, so
// SCL and SDA never change in the same write. Inputs are pin levels of the
// status register.
//
// Failures: the first failed register access or SCL time-out is kept as the
// bus's fault. From then on no register is touched, inputs read high (every
// byte goes unacknowledged, every clock reads 1), and the reader layer ends
// its transfer with the fault; `ClearFault` starts afresh.
class LptI2cBus {
  public:
    // Data register bits of the adapter's outputs.
    static constexpr int kD0 = 0;      // reader indication: a start succeeded
    static constexpr int kD1 = 1;      // reader indication: a stop succeeded
    static constexpr int kD2 = 2;      // reader switched on
    static constexpr int kSdaOut = 5;  // 1 releases SDA, 0 drives it low
    static constexpr int kSclOut = 6;  // 1 releases SCL, 0 drives it low
    // Status register bits, as pin levels.
    static constexpr int kPresence = 5;  // PE: 0 while a reader is attached
    static constexpr int kSdaIn = 6;     // ACK
    static constexpr int kSclIn = 7;     // BUSY

    // The adapter sits on LPT2 (I/O base 0x378).
    static constexpr std::uint8_t kLptPortCode = LptPortCode(2, LptRegister::Data);
    // How long a slave may hold SCL low before the transfer is given up: the
    // first polls follow each other at once (a stretching slave lets go within
    // microseconds), then the bus is polled every millisecond up to the limit.
    static constexpr int kSclFastPolls = 16;
    static constexpr WaitClock::Duration kSclPollInterval{1};
    static constexpr WaitClock::Duration kSclStretchLimit{25};
    // A slave may be in the middle of a byte: eight data bits and the
    // acknowledge.
    static constexpr int kRecoveryPulses = 9;

    LptI2cBus(LptPortAccess& port, WaitClock& clock);

    // Gains port access, writes an all-low latch and lets the lines settle
    // for 100 ms. Fails with the port's reason.
    TransferResult I2cOpen();
    // Drops every line (SCL before SDA) and releases the port.
    void I2cClose();
    void I2cWait(WaitClock::Duration duration) { m_clock.Wait(duration); }
    bool Cancelled() const { return m_clock.Cancelled(); }

    // True when both lines were high, the start condition was made and SDA
    // is free again for the first data bit.
    bool I2cStart();
    // True when SCL and SDA are both high after the stop condition and no
    // fault came up; SCL may be stretched before it as before any clock.
    bool I2cStop();
    // Frees a bus a transfer left held (cut off by a time-out or a fault):
    // clocks SCL until SDA is released, at most nine pulses, then a stop.
    // False when SCL stays low or SDA is still held.
    bool I2cRecover();
    // One clock pulse, waiting while a slave stretches SCL; the SDA level
    // seen while SCL was high. SCL held past kSclStretchLimit is a NoAnswer
    // fault (and reads 1).
    bool I2cClock();
    // Most significant bit first; true when the slave acknowledged.
    bool I2cWriteByte(std::uint8_t value);
    // `ack`: the master acknowledges (more bytes wanted) or not (the last).
    std::uint8_t I2cReadByte(bool ack);

    void SetLine(int bit);
    void ClearLine(int bit);
    bool StatusBit(int bit);
    bool SclIn() { return StatusBit(kSclIn); }
    bool SdaIn() { return StatusBit(kSdaIn); }

    std::uint8_t Latch() const { return m_latch; }
    bool Faulted() const { return !m_fault.Succeeded(); }
    const TransferResult& Fault() const { return m_fault; }
    void ClearFault() { m_fault = TransferResult::Ok(); }

  private:
    // Waits while a slave holds SCL low after the master let it go; a
    // NoAnswer fault past kSclStretchLimit. False on any fault.
    bool WaitForScl();
    void WriteLatch();
    void Fail(TransferResult failure);

    LptPortAccess& m_port;
    WaitClock& m_clock;
    std::uint8_t m_latch = 0;
    TransferResult m_fault;
};

}  // namespace zorvek
