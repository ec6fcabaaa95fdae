#include "sim/lpt_reader_twin.h"

#include <cerrno>
#include <cstdio>

namespace zorvek::sim {
namespace {

constexpr std::uint8_t kSclOut = 0x40;
constexpr std::uint8_t kSdaOut = 0x20;
constexpr std::uint8_t kPower = 0x04;
// Status bits 0..4 of an idle PC port read high (SELECT, no ERROR, and the
// unused ones); the reader uses only bits 5..7.
constexpr std::uint8_t kStatusIdleBits = 0x1F;

constexpr std::uint8_t kLowerAddress = 0x52;
constexpr std::uint8_t kUpperAddress = 0x51;

std::string Hex(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

}  // namespace

LptReaderTwin::LptReaderTwin(std::span<const std::uint8_t> image, const WaitClock& clock,
                             LptReaderTwinSetup setup)
    : m_clock(clock),
      m_setup(setup),
      m_eeproms{Eeprom{kLowerAddress, std::vector<std::uint8_t>(kEepromSize)},
                Eeprom{kUpperAddress, std::vector<std::uint8_t>(kEepromSize)}} {
    for (std::uint32_t offset = 0; offset < kImageSize; ++offset) {
        const std::uint8_t value = offset < image.size() ? image[offset] : 0xFF;
        m_eeproms[offset / kEepromSize].cells[offset % kEepromSize] =
            static_cast<std::uint8_t>(~value);
    }
}

std::vector<std::uint8_t> LptReaderTwin::Image() const {
    std::vector<std::uint8_t> image(kImageSize);
    for (std::uint32_t offset = 0; offset < kImageSize; ++offset)
        image[offset] = static_cast<std::uint8_t>(~StoredByte(offset));
    return image;
}

std::uint8_t LptReaderTwin::StoredByte(std::uint32_t offset) const {
    return m_eeproms[(offset / kEepromSize) % 2].cells[offset % kEepromSize];
}

TransferResult LptReaderTwin::LptOpenAccess() {
    if (m_setup.openError != 0) return FailureFromErrno(m_setup.openError, false);
    m_open = true;
    return TransferResult::Ok();
}

void LptReaderTwin::LptCloseAccess() { m_open = false; }

TransferResult LptReaderTwin::Access() {
    if (!m_open) return TransferResult::Fail(TransferError::NotOpen);
    if (m_setup.unplugAfterAccesses && m_accesses >= *m_setup.unplugAfterAccesses)
        return FailureFromErrno(ENODEV, true);
    ++m_accesses;
    return TransferResult::Ok();
}

TransferResult LptReaderTwin::LptReadPort(LptPortRecord& record) {
    if (!LptPortCodeValid(record.code)) return TransferResult::Fail(TransferError::OutOfRange);
    if (const TransferResult access = Access(); !access) return access;
    switch (static_cast<LptRegister>(LptRegisterOffset(record.code))) {
        case LptRegister::Data:
            record.value = m_data;
            break;
        case LptRegister::Control:
            record.value = m_control;
            break;
        case LptRegister::Status:
            record.value = StatusRegister();
            // A stretching reader lets SCL go after so many looks at it.
            if (m_sclHoldReads > 0 && --m_sclHoldReads == 0) Settle();
            break;
    }
    return TransferResult::Ok();
}

TransferResult LptReaderTwin::LptWritePort(const LptPortRecord& record) {
    if (!LptPortCodeValid(record.code)) return TransferResult::Fail(TransferError::OutOfRange);
    const auto reg = static_cast<LptRegister>(LptRegisterOffset(record.code));
    if (reg == LptRegister::Status) return TransferResult::Fail(TransferError::OutOfRange);
    if (const TransferResult access = Access(); !access) return access;
    if (reg == LptRegister::Control) {
        m_control = record.value;
        return TransferResult::Ok();
    }
    const bool wasPowered = Powered();
    m_data = record.value;
    if (m_setup.keepDataWrites) m_dataWrites.push_back(m_data);
    if (wasPowered && !Powered()) {
        // Power gone: the EEPROMs forget the transfer and let go of the lines.
        m_phase = Phase::Idle;
        m_selected = nullptr;
        m_slaveSdaLow = false;
        m_sclHoldReads = 0;
    }
    Settle();
    return TransferResult::Ok();
}

bool LptReaderTwin::Powered() const { return !m_setup.readerAbsent && (m_data & kPower) != 0; }

bool LptReaderTwin::SclLevel() const {
    const bool held = Powered() && (m_sclHoldReads > 0 || m_sclHeldForGood);
    return (m_data & kSclOut) != 0 && !held;
}

bool LptReaderTwin::SdaLevel() const {
    return (m_data & kSdaOut) != 0 && !(Powered() && m_slaveSdaLow);
}

std::uint8_t LptReaderTwin::StatusRegister() const {
    const bool presenceHigh = !Powered();
    // The port shows the BUSY pin inverted.
    return static_cast<std::uint8_t>((SclLevel() ? 0x00 : 0x80) | (SdaLevel() ? 0x40 : 0x00) |
                                     (presenceHigh ? 0x20 : 0x00) | kStatusIdleBits);
}

void LptReaderTwin::Settle() {
    // A change of the lines can make the reader change its own drivers
    // (acknowledge, next data bit), which is followed again.
    for (int round = 0; round < 4; ++round) {
        const bool scl = SclLevel();
        const bool sda = SdaLevel();
        if (scl == m_scl && sda == m_sda) return;
        const bool sclChanged = scl != m_scl;
        m_scl = scl;
        m_sda = sda;
        if (sclChanged) {
            if (scl)
                OnSclRise();
            else
                OnSclFall();
        } else if (scl) {
            if (sda)
                OnStop();
            else
                OnStart();
        }
    }
}

void LptReaderTwin::Log(const std::string& token) {
    if (!m_setup.keepBusLog) return;
    if (!m_busLog.empty()) m_busLog += ' ';
    m_busLog += token;
}

void LptReaderTwin::OnStart() {
    Log("S");
    if (!Powered()) return;
    // A repeated start drops a page not yet ended by a stop.
    m_pageData.clear();
    m_phase = Phase::Receive;
    // SCL falling after the start condition ends no bit.
    m_bit = -1;
    m_shift = 0;
    m_byteInTransfer = 0;
    m_selected = nullptr;
    m_slaveSdaLow = false;
}

void LptReaderTwin::OnStop() {
    Log("P");
    if (!Powered()) return;
    if (m_selected != nullptr && !m_reading && !m_pageData.empty()) {
        // The page is written now, at most 64 bytes, wrapping within it.
        const std::uint16_t base = static_cast<std::uint16_t>(m_pageStart & ~(kPageSize - 1));
        std::uint32_t at = m_pageStart % kPageSize;
        for (const std::uint8_t value : m_pageData) {
            m_selected->cells[base + at] = value;
            at = (at + 1) % kPageSize;
        }
        const auto count =
            static_cast<std::uint32_t>(std::min<std::size_t>(m_pageData.size(), kPageSize));
        m_pageWrites.push_back({m_selected->address, m_pageStart, count, m_clock.Now()});
        m_selected->busyUntil = m_clock.Now() + m_setup.writeTime;
    }
    m_pageData.clear();
    m_phase = Phase::Idle;
    m_selected = nullptr;
    m_slaveSdaLow = false;
}

void LptReaderTwin::OnSclRise() {
    if (!Powered()) return;
    if (m_phase == Phase::Receive && m_bit < 8)
        m_shift = static_cast<std::uint8_t>((m_shift << 1) | (m_sda ? 1 : 0));
    else if (m_phase == Phase::Transmit && m_bit == 8)
        m_masterAck = !m_sda;
}

void LptReaderTwin::OnSclFall() {
    if (!Powered() || m_phase == Phase::Idle) return;
    ++m_bit;
    if (m_phase == Phase::Receive) {
        if (m_bit == 8) {
            m_acked = ByteReceived(m_shift);
            Log(">" + Hex(m_shift) + (m_acked ? "+" : "-"));
            m_slaveSdaLow = m_acked;
        } else if (m_bit == 9) {
            m_slaveSdaLow = false;
            m_bit = 0;
            m_shift = 0;
            if (!m_acked) {
                m_phase = Phase::Idle;
            } else if (m_reading) {
                m_phase = Phase::Transmit;
                m_shift = m_selected->cells[m_selected->pointer];
                m_selected->pointer = (m_selected->pointer + 1) % kEepromSize;
                m_slaveSdaLow = (m_shift & 0x80) == 0;
            }
        }
        return;
    }
    // Transmitting: the next bit goes out while SCL is low.
    if (m_bit < 8) {
        m_slaveSdaLow = ((m_shift >> (7 - m_bit)) & 1) == 0;
    } else if (m_bit == 8) {
        m_slaveSdaLow = false;  // the master's acknowledge
    } else {
        Log("<" + Hex(m_shift) + (m_masterAck ? "+" : "-"));
        m_bit = 0;
        if (!m_masterAck) {
            m_phase = Phase::Idle;
            return;
        }
        m_shift = m_selected->cells[m_selected->pointer];
        m_selected->pointer = (m_selected->pointer + 1) % kEepromSize;
        m_slaveSdaLow = (m_shift & 0x80) == 0;
    }
}

bool LptReaderTwin::ByteReceived(std::uint8_t value) {
    const std::uint32_t number = ++m_bytesReceived;
    if (m_setup.holdSclAtByte && *m_setup.holdSclAtByte == number)
        m_sclHeldForGood = true;
    else if (m_setup.stretchReads > 0)
        m_sclHoldReads = m_setup.stretchReads;
    if (m_setup.nackAtByte && *m_setup.nackAtByte == number) return false;

    const int index = m_byteInTransfer++;
    if (index == 0) {
        m_selected = nullptr;
        for (Eeprom& eeprom : m_eeproms) {
            // Busy with a page write, an EEPROM ignores its address.
            if (eeprom.address == value >> 1 && m_clock.Now() >= eeprom.busyUntil)
                m_selected = &eeprom;
        }
        m_reading = (value & 1) != 0;
        return m_selected != nullptr;
    }
    if (index == 1) {
        m_selected->pointer = static_cast<std::uint16_t>((value & 0x7F) << 8);
        return true;
    }
    if (index == 2) {
        m_selected->pointer = static_cast<std::uint16_t>(m_selected->pointer | value);
        m_pageStart = m_selected->pointer;
        return true;
    }
    // Data bytes fill the page; the address pointer wraps within it.
    m_pageData.push_back(value);
    const std::uint16_t pointer = m_selected->pointer;
    m_selected->pointer =
        static_cast<std::uint16_t>((pointer & ~(kPageSize - 1)) | ((pointer + 1) % kPageSize));
    return true;
}

}  // namespace zorvek::sim
