#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "access/lpt_port.h"
#include "access/wait_clock.h"

namespace zorvek::sim {

// How the twin behaves, and which faults it shows.
struct LptReaderTwinSetup {
    // How long an EEPROM is busy writing a page after the stop that ends
    // it; it acknowledges nothing in that time.
    WaitClock::Duration writeTime{5};
    // After every byte it receives, the reader stretches the clock: SCL
    // stays low for this many reads of the status register.
    unsigned stretchReads = 0;

    // Faults. Bytes the reader receives (device, address and data bytes)
    // are counted from 1 since the twin was made.
    bool readerAbsent = false;                   // no reader on the adapter: PE floats high
    std::optional<std::uint32_t> nackAtByte;     // this byte is not acknowledged
    std::optional<std::uint32_t> holdSclAtByte;  // after this byte SCL stays low for good
    // Every register access after this many fails, as when the port's
    // device goes away (ENODEV).
    std::optional<std::uint64_t> unplugAfterAccesses;
    // LptOpenAccess fails with this errno (EBUSY: another program has the
    // port; ENOENT: no such device).
    int openError = 0;

    // Keep every value written to the data register, and a log of the bus.
    bool keepDataWrites = false;
    bool keepBusLog = false;
};

// A register-level twin of the LPT reader and its adapter, serving the port
// interface in-process. Data bit 6 and 5 release (1) or pull low (0) the
// open-drain SCL and SDA lines, data bit 2 powers the reader; the status
// register shows SCL on BUSY (inverted in bit 7 as on every PC port), SDA on
// ACK and the presence line on PE, which the powered reader ties low.
//
// On the bus sit two 32 KiB EEPROMs with 15-bit addresses: I2C address 0x52
// holds image offsets 0x0000..0x7FFF, 0x51 the upper half, both with every
// byte inverted. They acknowledge their address, take two address bytes and
// then data into a 64-byte page (wrapping within it) that is written at the
// stop; reads run on from the address pointer until the master does not
// acknowledge. A start condition while SCL is high begins a transfer, a stop
// ends it, whatever the state.
class LptReaderTwin final : public LptPortAccess {
  public:
    static constexpr std::uint32_t kImageSize = 0x10000;
    static constexpr std::uint32_t kEepromSize = 0x8000;
    static constexpr std::uint32_t kPageSize = 64;

    // `image` is the recorder image the reader holds (not inverted); a
    // shorter one is padded with 0xFF. `clock` times the page writes.
    LptReaderTwin(std::span<const std::uint8_t> image, const WaitClock& clock,
                  LptReaderTwinSetup setup = {});

    TransferResult LptOpenAccess() override;
    void LptCloseAccess() override;
    bool LptAccessReady() const override { return m_open; }
    TransferResult LptReadPort(LptPortRecord& record) override;
    TransferResult LptWritePort(const LptPortRecord& record) override;

    // The image as a reader of it sees it (storage inverted back).
    std::vector<std::uint8_t> Image() const;
    // The byte as the EEPROM stores it.
    std::uint8_t StoredByte(std::uint32_t offset) const;

    // Register accesses since the twin was made (reads and writes).
    std::uint64_t Accesses() const { return m_accesses; }
    const std::vector<std::uint8_t>& DataWrites() const { return m_dataWrites; }
    // The bus as an analyser shows it: "S" start, "P" stop, ">A4+" a byte
    // the master sent and its acknowledge ("-" none), "<5A-" a byte an
    // EEPROM sent and the master's acknowledge; separated by spaces.
    const std::string& BusLog() const { return m_busLog; }
    void ClearBusLog() { m_busLog.clear(); }
    // Pages the EEPROMs have written: I2C address, first offset within the
    // EEPROM, byte count, and when the write began.
    struct PageWrite {
        std::uint8_t device;
        std::uint16_t first;
        std::uint32_t count;
        WaitClock::Duration at;
    };
    const std::vector<PageWrite>& PageWrites() const { return m_pageWrites; }

  private:
    struct Eeprom {
        std::uint8_t address;
        std::vector<std::uint8_t> cells;
        std::uint16_t pointer = 0;
        WaitClock::Duration busyUntil{0};
    };
    enum class Phase { Idle, Receive, Transmit };

    TransferResult Access();
    bool Powered() const;
    bool SclLevel() const;
    bool SdaLevel() const;
    std::uint8_t StatusRegister() const;
    // Follows the lines after any change of a driver, master's or slave's.
    void Settle();
    void OnStart();
    void OnStop();
    void OnSclRise();
    void OnSclFall();
    bool ByteReceived(std::uint8_t value);
    void Log(const std::string& token);

    const WaitClock& m_clock;
    LptReaderTwinSetup m_setup;
    std::array<Eeprom, 2> m_eeproms;

    bool m_open = false;
    std::uint64_t m_accesses = 0;
    std::uint8_t m_data = 0;
    std::uint8_t m_control = 0;

    // Line state as last settled.
    bool m_scl = true;
    bool m_sda = true;
    // What the reader drives: SDA low, SCL held low (for some status reads,
    // or for good).
    bool m_slaveSdaLow = false;
    unsigned m_sclHoldReads = 0;
    bool m_sclHeldForGood = false;

    Phase m_phase = Phase::Idle;
    int m_bit = 0;  // clocks of the current 9-clock frame completed (-1 before the first)
    std::uint8_t m_shift = 0;
    int m_byteInTransfer = 0;
    bool m_acked = false;
    bool m_masterAck = false;
    Eeprom* m_selected = nullptr;
    bool m_reading = false;
    std::vector<std::uint8_t> m_pageData;
    std::uint16_t m_pageStart = 0;
    std::uint32_t m_bytesReceived = 0;

    std::vector<std::uint8_t> m_dataWrites;
    std::string m_busLog;
    std::vector<PageWrite> m_pageWrites;
};

}  // namespace zorvek::sim
