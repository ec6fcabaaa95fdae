#include "access/serial_link.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>

#include "model/bits.h"

namespace zorvek {
namespace {

bool IsMissingDevice(int error) { return error == ENOENT || error == ENODEV || error == ENXIO; }

constexpr std::uint8_t kReadCommand = 0x80;
constexpr std::uint8_t kWriteCommand = 0xC0;
// The reply header is the echoed command with its top two bits flipped.
constexpr std::uint8_t kReplyHeaderFlip = 0xC0;
constexpr std::size_t kRequestHeaderSize = 4;
constexpr std::size_t kEchoSize = 5;
constexpr std::uint32_t kProbeAddress = 0;

constexpr std::uint32_t kAcceptedBaudRates[] = {110,   300,   600,    1200,   2400,
                                                4800,  9600,  14400,  19200,  38400,
                                                56000, 57600, 115200, 128000, 256000};

// A 64-byte frame carries 0 in its 6-bit length field.
std::uint8_t Command(std::uint8_t kind, std::uint32_t n) {
    return static_cast<std::uint8_t>(kind | (n & 0x3F));
}

}  // namespace

bool IsAcceptedBaudRate(std::uint32_t baud) {
    return std::find(std::begin(kAcceptedBaudRates), std::end(kAcceptedBaudRates), baud) !=
           std::end(kAcceptedBaudRates);
}

SerialLink::SerialLink(SerialPort& port, WaitClock& clock, PortPathLookup paths)
    : m_port(port), m_clock(clock), m_paths(std::move(paths)) {}

SerialLink::State SerialLink::LinkState() const {
    if (!m_port.IsOpen()) return State::Closed;
    return m_linkClosed ? State::Broken : State::Open;
}

TransferResult SerialLink::ComOpenPort(int port, std::uint32_t baud) {
    if (m_port.IsOpen()) return TransferResult::Fail(TransferError::Refused, EBUSY);
    if (port < 1 || port > kPortCount) return TransferResult::Fail(TransferError::Refused, ENODEV);
    if (!IsAcceptedBaudRate(baud)) return TransferResult::Fail(TransferError::IoError, EINVAL);
    const std::filesystem::path device = m_paths(port);
    if (device.empty()) return TransferResult::Fail(TransferError::Refused, ENODEV);
    const TransferResult opened = m_port.Open(device, baud);
    if (!opened) return opened;
    m_portNumber = port;
    m_portPath = device;
    m_baud = baud;
    ComPurge();
    return opened;
}

void SerialLink::ComClosePort() {
    m_port.Close();
    m_portNumber = 0;
    m_portPath.clear();
}

void SerialLink::ComDisconnect() {
    ComClosePort();
    m_linkClosed = true;
    m_breakReason = TransferResult::Fail(TransferError::NotOpen);
}

int SerialLink::ComConnect(int port) {
    m_connectFailure = TransferResult::Fail(TransferError::Refused, ENODEV);
    if (port < 1 || port > kPortCount) return 0;
    ComClosePort();
    m_connectFailure = ComOpenPort(port, kBaud);
    if (!m_connectFailure) return 0;
    // The recorder's line interface is powered from DTR; RTS stays low. A
    // line that refuses the modem lines may still reach a recorder powered
    // otherwise: the probe decides, not this.
    static_cast<void>(m_port.SetModemLines(true, false));
    m_clock.Wait(kSettleWait);
    ComPurge();
    m_linkClosed = false;
    m_breakReason = TransferResult::Fail(TransferError::NotOpen);
    return port;
}

int SerialLink::ComFindRecorder() {
    std::optional<TransferResult> busy;    // a port another program holds may be the recorder's
    std::optional<TransferResult> denied;  // a permission only the user can fix
    bool anyOpened = false;
    int openError = ENOENT;  // a missing port says least, any other open failure more
    for (int port = 1; port <= kPortCount; ++port) {
        ComDisconnect();
        if (m_clock.Cancelled()) {
            m_searchFailure = TransferResult::Fail(TransferError::Cancelled);
            return 0;
        }
        // A number without a device is not tried at all.
        if (m_paths(port).empty()) continue;
        if (ComConnect(port) != port) {
            const int error = m_connectFailure.SystemError();
            if (error == EBUSY && !busy) busy = m_connectFailure;
            if ((error == EACCES || error == EPERM) && !denied) denied = m_connectFailure;
            if (error != 0 && !IsMissingDevice(error)) openError = error;
            continue;
        }
        anyOpened = true;
        std::uint8_t probe = 0;
        const TransferResult probed = ComReadBlock(kProbeAddress, &probe, 1, nullptr);
        if (probed) {
            m_searchFailure = probed;
            return port;
        }
    }
    m_searchFailure =
        busy     ? *busy
        : denied ? *denied
                 : TransferResult::Fail(TransferError::NoRecorder, anyOpened ? 0 : openError);
    return 0;
}

void SerialLink::ComPurge() {
    if (m_port.IsOpen()) m_port.Purge();
}

TransferResult SerialLink::ComReadExact(std::uint8_t* buffer, std::size_t count) {
    if (count == 0) return TransferResult::Ok();
    if (!m_port.IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    const auto perByte = WaitClock::Duration(80000 / m_baud + 1);
    const ReadTimeouts timeouts{perByte * static_cast<long>(count) + kGapTimeout, kGapTimeout};
    return m_port.Read(buffer, count, timeouts);
}

TransferResult SerialLink::ComWriteExact(const std::uint8_t* buffer, std::size_t count) {
    if (count == 0) return TransferResult::Ok();
    if (!m_port.IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    return m_port.Write(buffer, count);
}

TransferResult SerialLink::ComReadBlock(std::uint32_t address, std::uint8_t* destination,
                                        std::uint32_t count, ProgressSink* progress) {
    return TransferBlock(address, count, progress,
                         [&](std::uint32_t frameAddress, std::uint32_t offset, std::uint32_t n) {
                             return ReadFrame(frameAddress, destination + offset, n);
                         });
}

TransferResult SerialLink::ComWriteBlock(std::uint32_t address, const std::uint8_t* source,
                                         std::uint32_t count, ProgressSink* progress) {
    return TransferBlock(address, count, progress,
                         [&](std::uint32_t frameAddress, std::uint32_t offset, std::uint32_t n) {
                             return WriteFrame(frameAddress, source + offset, n);
                         });
}

TransferResult SerialLink::TransferBlock(std::uint32_t address, std::uint32_t count,
                                         ProgressSink* progress, const FrameTransfer& frame) {
    if (count == 0) return TransferResult::Ok();
    constexpr int kAttempts = 2;
    TransferResult failure = m_breakReason;
    for (int attempt = 0;; ++attempt) {
        if (m_linkClosed) return m_breakReason;
        if (progress != nullptr) progress->SetPosition(1);
        if (attempt == kAttempts) {
            if (progress != nullptr) progress->SetPosition(0);
            m_linkClosed = true;
            m_breakReason = failure;
            return failure;
        }
        if (attempt > 0) m_clock.Wait(kSettleWait);
        ComPurge();
        failure = TransferFrames(address, count, progress, frame);
        // A stopped read is not retried.
        if (failure || failure.Error() == TransferError::Cancelled) {
            if (progress != nullptr) progress->SetPosition(0);
            return failure;
        }
    }
}

// Every attempt starts the block over from its first byte and its start
// address; bytes a failed attempt copied are simply overwritten.
TransferResult SerialLink::TransferFrames(std::uint32_t address, std::uint32_t count,
                                          ProgressSink* progress, const FrameTransfer& frame) {
    std::uint32_t done = 0;
    while (done < count) {
        if (m_clock.Cancelled()) return TransferResult::Fail(TransferError::Cancelled);
        const std::uint32_t n = std::min(count - done, kMaxFrameData);
        if (const TransferResult moved = frame(address + done, done, n); !moved) return moved;
        done += n;
        if (progress != nullptr) {
            const auto percent = static_cast<int>(std::uint64_t{done} * 100 / count);
            if (percent != 0) progress->SetPosition(percent);
        }
    }
    return TransferResult::Ok();
}

TransferResult SerialLink::ReadFrame(std::uint32_t address, std::uint8_t* destination,
                                     std::uint32_t n) {
    m_frame[0] = Command(kReadCommand, n);
    StoreLe(m_frame, 1, 3, Mask24(address));
    m_frame[kRequestHeaderSize] = Crc8(std::span(m_frame).first(kRequestHeaderSize));
    if (const TransferResult sent = ComWriteExact(m_frame.data(), kEchoSize); !sent) return sent;
    if (const TransferResult got = ComReadExact(m_frame.data(), n + 7); !got) return got;
    // Byte 0 is our command as the line gave it back; the reply follows the
    // five echoed bytes and its checksum covers header and data.
    const std::uint8_t header = m_frame[kEchoSize];
    const auto reply = std::span(m_frame).subspan(kEchoSize, n + 1);
    if (header != (m_frame[0] ^ kReplyHeaderFlip) || Crc8(reply) != m_frame[kEchoSize + 1 + n]) {
        return TransferResult::Fail(TransferError::BadChecksum);
    }
    std::memcpy(destination, m_frame.data() + kEchoSize + 1, n);
    return TransferResult::Ok();
}

TransferResult SerialLink::WriteFrame(std::uint32_t address, const std::uint8_t* source,
                                      std::uint32_t n) {
    m_frame[0] = Command(kWriteCommand, n);
    StoreLe(m_frame, 1, 3, Mask24(address));
    std::memcpy(m_frame.data() + kRequestHeaderSize, source, n);
    m_frame[kRequestHeaderSize + n] = Crc8(std::span(m_frame).first(kRequestHeaderSize + n));
    if (const TransferResult sent = ComWriteExact(m_frame.data(), n + 5); !sent) return sent;
    if (const TransferResult got = ComReadExact(m_frame.data(), n + 7); !got) return got;
    if (m_frame[n + 5] != 0 || m_frame[n + 6] != 0) {
        return TransferResult::Fail(TransferError::NotAcknowledged);
    }
    return TransferResult::Ok();
}

}  // namespace zorvek
