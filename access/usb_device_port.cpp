#include "access/usb_device_port.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "model/bits.h"

namespace zorvek {
namespace {

constexpr std::uint8_t kReadCommand = 0x40;
constexpr std::uint8_t kWriteCommand = 0x48;
// A response's first byte is the request's with these bits flipped.
constexpr std::uint8_t kResponseFlip = 0x88;

// The largest frame size 2^k (k 0..7) that does not exceed `remaining`.
std::uint8_t FrameSizeCode(std::uint32_t remaining) {
    std::uint8_t k = 7;
    while ((1u << k) > remaining) --k;
    return k;
}

int Percent(std::uint32_t done, std::uint32_t count) {
    return static_cast<int>(static_cast<std::uint64_t>(done) * 100 / count);
}

void SetProgress(ProgressSink* progress, int percent) {
    if (progress != nullptr) progress->SetPosition(percent);
}

}  // namespace

UsbDevicePort::UsbDevicePort(UsbPortFinder finder, WaitClock& clock)
    : m_finder(std::move(finder)), m_clock(clock), m_link(MakeSystemSerialPort(clock)) {}

UsbDevicePort::Duration UsbDevicePort::UsbStartWatch(std::uint16_t revision) {
    if (revision != 0) m_revision = revision;
    return kFirstTick;
}

UsbDevicePort::Duration UsbDevicePort::UsbWatchTick() {
    if (m_transfers > 0) return kTickInterval;
    TransferScope tick(*this);
    const std::vector<std::string> found = UsbFindPorts();
    const auto isFound = [&found](const std::string& name) {
        return std::find(found.begin(), found.end(), name) != found.end();
    };
    if (m_link->IsOpen() && (!isFound(m_portName) || m_lost)) {
        UsbClosePort();
        // Even a reader that never became ready is told it is gone.
        RunDisconnect();
    }
    std::erase_if(m_passedOver, [&](const std::string& name) { return !isFound(name); });
    if (!m_link->IsOpen()) {
        const std::string next = NextCandidate(found);
        if (!next.empty() && !UsbOpenPort(next)) m_passedOver.push_back(next);
    }
    if (m_link->IsOpen()) {
        const ReadyAnswer answer =
            m_hooks.onReadyCheck ? m_hooks.onReadyCheck() : ReadyAnswer::Ready;
        if (!m_ready && answer != ReadyAnswer::Ready && found.size() > 1) {
            m_passedOver.push_back(m_portName);
            UsbClosePort();
        } else if (answer != ReadyAnswer::Busy && !m_ready) {
            if (m_hooks.onConnect) m_hooks.onConnect();
            m_ready = true;
        } else if (answer == ReadyAnswer::Busy && m_ready) {
            RunDisconnect();
        }
    }
    return kTickInterval;
}

std::string UsbDevicePort::NextCandidate(const std::vector<std::string>& found) {
    for (const std::string& name : found) {
        if (std::find(m_passedOver.begin(), m_passedOver.end(), name) == m_passedOver.end()) {
            return name;
        }
    }
    m_passedOver.clear();
    return found.empty() ? std::string() : found.front();
}

void UsbDevicePort::RunDisconnect() {
    if (m_hooks.onDisconnect) m_hooks.onDisconnect();
    m_ready = false;
}

std::vector<std::string> UsbDevicePort::UsbFindPorts() const {
    return m_finder.FindPorts(m_revision);
}

TransferResult UsbDevicePort::UsbOpenPort(const std::string& port) {
    m_link->Close();
    m_portName.clear();
    m_lost = false;
    if (port.empty()) return TransferResult::Fail(TransferError::Refused);
    const TransferResult opened = m_link->Open(m_finder.DeviceNode(port), kBaud);
    if (opened) m_portName = port;
    return opened;
}

void UsbDevicePort::UsbClosePort() {
    m_link->Close();
    m_portName.clear();
    m_lost = false;
    UsbDelay(kCloseDelay);
}

TransferResult UsbDevicePort::UsbReadExact(std::uint8_t* buffer, std::size_t count) {
    if (count == 0) return TransferResult::Ok();
    return m_link->Read(buffer, count, ReadTimeouts{kResponseTimeout, kResponseTimeout});
}

TransferResult UsbDevicePort::UsbWriteExact(const std::uint8_t* buffer, std::size_t count) {
    if (count == 0) return TransferResult::Ok();
    return m_link->Write(buffer, count);
}

std::size_t UsbDevicePort::UsbFrameLength(std::uint8_t command) {
    if ((command & 0x88) == 0x80) return 2;
    std::size_t length = (command & 0xC0) == 0x40 ? 5 : 2;
    if ((command & 0x08) != 0) length += std::size_t{1} << (command & 7);
    return length;
}

TransferResult UsbDevicePort::UsbTransact() {
    const std::size_t length = UsbFrameLength(m_request[0]);
    m_request[length - 1] = Crc8(std::span(m_request).first(length - 1));
    m_link->Purge();
    TransferResult result = UsbWriteExact(m_request.data(), length);
    const std::uint8_t header = m_request[0] ^ kResponseFlip;
    const std::size_t responseLength = UsbFrameLength(header);
    if (result) result = UsbReadExact(m_response.data(), responseLength);
    if (result &&
        (m_response[0] != header ||
         m_response[responseLength - 1] != Crc8(std::span(m_response).first(responseLength - 1)))) {
        result = TransferResult::Fail(TransferError::BadChecksum);
    }
    if (result.Error() == TransferError::DeviceGone) m_lost = true;
    return result;
}

template <typename Frame>
TransferResult UsbDevicePort::InFrames(std::uint32_t address, std::uint32_t count,
                                       ProgressSink* progress, bool progressBefore, Frame frame) {
    SetProgress(progress, 0);
    if (!m_link->IsOpen()) return TransferResult::Fail(TransferError::NotOpen);
    TransferScope running(*this);
    std::uint32_t done = 0;
    bool retried = false;
    while (done < count) {
        if (m_clock.Cancelled()) {
            SetProgress(progress, 0);
            return TransferResult::Fail(TransferError::Cancelled);
        }
        const std::uint8_t k = FrameSizeCode(count - done);
        const std::uint32_t size = 1u << k;
        const std::uint32_t at = Mask24(address + done);
        if (progressBefore) SetProgress(progress, Percent(done, count));
        const TransferResult result = frame(k, at, done, size);
        if (result) {
            done += size;
            if (!progressBefore) SetProgress(progress, Percent(done, count));
            continue;
        }
        if (retried) {
            SetProgress(progress, 0);
            return result;
        }
        retried = true;
        UsbDelay(kRetryDelay);
    }
    SetProgress(progress, 0);
    return TransferResult::Ok();
}

TransferResult UsbDevicePort::UsbReadBlock(std::uint32_t address, std::uint8_t* buffer,
                                           std::uint32_t count, ProgressSink* progress) {
    return InFrames(address, count, progress, false,
                    [&](std::uint8_t k, std::uint32_t at, std::uint32_t done, std::uint32_t size) {
                        m_request[0] = static_cast<std::uint8_t>(kReadCommand + k);
                        StoreLe(m_request, 1, 3, at);
                        const TransferResult result = UsbTransact();
                        if (result) std::memcpy(buffer + done, m_response.data() + 1, size);
                        return result;
                    });
}

TransferResult UsbDevicePort::UsbWriteBlock(std::uint32_t address, const std::uint8_t* buffer,
                                            std::uint32_t count, ProgressSink* progress) {
    return InFrames(address, count, progress, true,
                    [&](std::uint8_t k, std::uint32_t at, std::uint32_t done, std::uint32_t size) {
                        m_request[0] = static_cast<std::uint8_t>(kWriteCommand + k);
                        StoreLe(m_request, 1, 3, at);
                        std::memcpy(m_request.data() + 4, buffer + done, size);
                        return UsbTransact();
                    });
}

TransferResult UsbDevicePort::UsbReadByte(std::uint32_t address, std::uint8_t& value) {
    return UsbReadBlock(address, &value, 1, nullptr);
}

TransferResult UsbDevicePort::UsbWriteByte(std::uint32_t address, std::uint8_t value) {
    return UsbWriteBlock(address, &value, 1, nullptr);
}

UsbDevicePort::State UsbDevicePort::CurrentState() const {
    if (!m_link->IsOpen()) return State::Idle;
    return m_ready ? State::Ready : State::OpenNotReady;
}

}  // namespace zorvek
