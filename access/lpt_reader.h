#pragma once

#include <cstdint>
#include <memory>

#include "access/lpt_i2c.h"
#include "access/memory_source.h"

namespace zorvek {

// The portable reader on the parallel port: the recorder's stored image
// (bank 3, 64 KiB) in two I2C EEPROMs of 32 KiB with 64-byte write pages,
// every byte stored inverted. Offsets 0x0000..0x7FFF are the lower EEPROM
// (I2C address 0x52), 0x8000..0xFFFF the upper one (0x51). Callers see the
// image itself: bytes are inverted on the way in and out.
//
// As a MemorySource it takes full recorder addresses and uses their offset
// (address & 0xFFFF); offset + count past 0x10000 is OutOfRange.
// Failures: the port's own reason when access is refused or lost, NoAnswer
// for an absent reader, a bus that stays low or a clock held past the
// stretch limit, NotAcknowledged for an EEPROM that refused a byte. There
// are no retries; a failed read leaves the bytes already read in place.
class LptReader final : public MemorySource {
  public:
    // Waits between written pages: the EEPROM's write cycle.
    static constexpr WaitClock::Duration kPageWriteWait{50};
    // Time the reader needs after power-on before its presence line counts.
    static constexpr WaitClock::Duration kPowerOnSettle{200};

    LptReader(LptPortAccess& port, WaitClock& clock);
    LptReader(std::unique_ptr<LptPortAccess> port, WaitClock& clock);

    // Port access, reader powered (D2), presence input low, bus freed by a
    // stop. A failed presence test leaves the port open with D2 on; Close
    // switches everything off.
    TransferResult LptReaderOpen();
    void LptReaderClose();
    // Start and stop conditions with the reader's indications: D0 and D1 go
    // off first; D0 comes on after a good start, D1 after a good stop.
    bool LptReaderStart();
    bool LptReaderStop();
    // Addresses `offset` in its EEPROM (device byte, two address bytes); the
    // bus stays claimed on success.
    TransferResult LptReaderSelect(std::uint16_t offset);
    // Sequential reads, one addressed segment per EEPROM crossed; count 0
    // moves nothing.
    TransferResult LptReaderRead(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t count,
                                 ProgressSink* progress);
    // In 64-byte pages, each closed by a stop and a 50 ms write wait.
    TransferResult LptReaderWrite(std::uint32_t offset, const std::uint8_t* buffer,
                                  std::uint32_t count, ProgressSink* progress);

    TransferResult Open() override { return LptReaderOpen(); }
    bool Close() override {
        LptReaderClose();
        return true;
    }
    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink* progress) override {
        return LptReaderRead(address & 0xFFFF, buffer, count, progress);
    }
    TransferResult Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                         ProgressSink* progress) override {
        return LptReaderWrite(address & 0xFFFF, buffer, count, progress);
    }

  private:
    // Starts a transfer afresh: a bus an earlier transfer left held (cut
    // off by a time-out or a port fault) is freed first.
    TransferResult FreeBus();
    // The bus's fault when there is one, otherwise `kind`.
    TransferResult Failed(TransferError kind) const;

    std::unique_ptr<LptPortAccess> m_ownedPort;
    LptI2cBus m_bus;
};

}  // namespace zorvek
