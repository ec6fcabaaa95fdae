#include "access/lpt_reader.h"

namespace zorvek {
namespace {

constexpr std::uint32_t kImageSize = 0x10000;
constexpr std::uint32_t kUpperStart = 0x8000;
constexpr std::uint32_t kPageSize = 64;

// Device bytes (I2C address and direction bit) of the EEPROM holding `offset`.
std::uint8_t WriteDeviceByte(std::uint32_t offset) { return offset < kUpperStart ? 0xA4 : 0xA2; }
std::uint8_t ReadDeviceByte(std::uint32_t offset) { return offset < kUpperStart ? 0xA5 : 0xA3; }

std::uint8_t Inverted(std::uint8_t value) { return static_cast<std::uint8_t>(~value); }

// Moves the progress display per byte and leaves it at 0 however the
// transfer ends.
class TransferProgress {
  public:
    TransferProgress(ProgressSink* sink, std::uint32_t count) : m_sink(sink), m_count(count) {
        if (m_sink != nullptr) m_sink->SetPosition(1);
    }
    ~TransferProgress() {
        if (m_sink != nullptr) m_sink->SetPosition(0);
    }
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    void Done(std::uint32_t remaining) {
        if (m_sink != nullptr)
            m_sink->SetPosition(static_cast<int>((m_count - remaining) * 100 / m_count));
    }

  private:
    ProgressSink* m_sink;
    std::uint32_t m_count;
};

bool InImage(std::uint32_t offset, std::uint32_t count) {
    return offset < kImageSize && count <= kImageSize - offset;
}

}  // namespace

LptReader::LptReader(LptPortAccess& port, WaitClock& clock) : m_bus(port, clock) {}

LptReader::LptReader(std::unique_ptr<LptPortAccess> port, WaitClock& clock)
    : m_ownedPort(std::move(port)), m_bus(*m_ownedPort, clock) {}

TransferResult LptReader::Failed(TransferError kind) const {
    return m_bus.Faulted() ? m_bus.Fault() : TransferResult::Fail(kind);
}

bool LptReader::LptReaderStart() {
    m_bus.ClearLine(LptI2cBus::kD1);
    m_bus.ClearLine(LptI2cBus::kD0);
    const bool started = m_bus.I2cStart();
    if (started) m_bus.SetLine(LptI2cBus::kD0);
    return started;
}

bool LptReader::LptReaderStop() {
    m_bus.ClearLine(LptI2cBus::kD1);
    m_bus.ClearLine(LptI2cBus::kD0);
    const bool stopped = m_bus.I2cStop();
    if (stopped) m_bus.SetLine(LptI2cBus::kD1);
    // The stop that ends a transfer is its last word: a port lost at it
    // fails the transfer.
    return stopped && !m_bus.Faulted();
}

TransferResult LptReader::FreeBus() {
    m_bus.ClearFault();
    if (m_bus.SclIn() && m_bus.SdaIn()) return TransferResult::Ok();
    if (!m_bus.I2cRecover()) return Failed(TransferError::NoAnswer);
    return TransferResult::Ok();
}

TransferResult LptReader::LptReaderOpen() {
    if (const TransferResult opened = m_bus.I2cOpen(); !opened) return opened;
    m_bus.SetLine(LptI2cBus::kD2);
    m_bus.I2cWait(kPowerOnSettle);
    // The reader ties PE low; with no reader the line floats high.
    if (m_bus.StatusBit(LptI2cBus::kPresence)) return Failed(TransferError::NoAnswer);
    if (!LptReaderStop()) return Failed(TransferError::NoAnswer);
    return TransferResult::Ok();
}

void LptReader::LptReaderClose() { m_bus.I2cClose(); }

TransferResult LptReader::LptReaderSelect(std::uint16_t offset) {
    LptReaderStop();
    if (!LptReaderStart()) return Failed(TransferError::NoAnswer);
    const std::uint8_t bytes[] = {WriteDeviceByte(offset),
                                  static_cast<std::uint8_t>((offset >> 8) & 0x7F),
                                  static_cast<std::uint8_t>(offset & 0xFF)};
    for (const std::uint8_t byte : bytes) {
        if (!m_bus.I2cWriteByte(byte)) {
            LptReaderStop();
            return Failed(TransferError::NotAcknowledged);
        }
    }
    return TransferResult::Ok();
}

TransferResult LptReader::LptReaderRead(std::uint32_t offset, std::uint8_t* buffer,
                                        std::uint32_t count, ProgressSink* progress) {
    if (!InImage(offset, count)) return TransferResult::Fail(TransferError::OutOfRange);
    if (count == 0) return TransferResult::Ok();
    if (const TransferResult freed = FreeBus(); !freed) return freed;
    TransferProgress shown(progress, count);
    std::uint32_t remaining = count;
    for (;;) {
        // One segment: address the EEPROM, then read on with a repeated
        // selection in read direction until the count or the EEPROM ends.
        if (const TransferResult selected = LptReaderSelect(static_cast<std::uint16_t>(offset));
            !selected) {
            return selected;
        }
        if (!LptReaderStop() || !LptReaderStart()) return Failed(TransferError::NoAnswer);
        if (!m_bus.I2cWriteByte(ReadDeviceByte(offset))) {
            LptReaderStop();
            return Failed(TransferError::NotAcknowledged);
        }
        do {
            // The last byte of the block, and of the lower EEPROM, is not
            // acknowledged: that ends the EEPROM's sending.
            const bool ack = remaining > 1 && offset != kUpperStart - 1;
            const std::uint8_t byte = m_bus.I2cReadByte(ack);
            if (m_bus.Faulted()) return m_bus.Fault();
            *buffer++ = Inverted(byte);
            ++offset;
            --remaining;
            if (remaining == 0) {
                if (!LptReaderStop()) return Failed(TransferError::NoAnswer);
                return TransferResult::Ok();
            }
            shown.Done(remaining);
            if (m_bus.Cancelled()) {
                LptReaderStop();
                return TransferResult::Fail(TransferError::Cancelled);
            }
        } while (offset != kUpperStart);
        LptReaderStop();
    }
}

TransferResult LptReader::LptReaderWrite(std::uint32_t offset, const std::uint8_t* buffer,
                                         std::uint32_t count, ProgressSink* progress) {
    if (!InImage(offset, count)) return TransferResult::Fail(TransferError::OutOfRange);
    if (count == 0) return TransferResult::Ok();
    if (const TransferResult freed = FreeBus(); !freed) return freed;
    TransferProgress shown(progress, count);
    std::uint32_t remaining = count;
    for (;;) {
        if (const TransferResult selected = LptReaderSelect(static_cast<std::uint16_t>(offset));
            !selected) {
            return selected;
        }
        // A page ends at a 64-byte boundary, which includes the boundary
        // between the EEPROMs; the EEPROM writes it after the stop.
        do {
            if (!m_bus.I2cWriteByte(Inverted(*buffer))) {
                LptReaderStop();
                return Failed(TransferError::NotAcknowledged);
            }
            ++buffer;
            ++offset;
            --remaining;
            shown.Done(remaining);
        } while (remaining != 0 && offset % kPageSize != 0);
        const bool stopped = LptReaderStop();
        m_bus.I2cWait(kPageWriteWait);
        if (remaining == 0) return stopped ? TransferResult::Ok() : Failed(TransferError::NoAnswer);
    }
}

}  // namespace zorvek
