#include "sim/usb_reader_device.h"

#include <algorithm>

#include "model/bits.h"

namespace zorvek::sim {
namespace {

constexpr std::uint32_t kImageBank = 3;
constexpr std::uint32_t kImageSize = 0x10000;
constexpr std::uint32_t kRegisterCount = 256;
constexpr std::uint32_t kFirstRegister = 243;
constexpr std::uint32_t kLastRegister = 247;

bool StartsFrame(std::uint8_t byte) { return (byte & 0xF0) == 0x40; }
bool IsWrite(std::uint8_t command) { return (command & 0x08) != 0; }
std::uint32_t DataSize(std::uint8_t command) { return 1u << (command & 0x07); }
std::size_t RequestLength(std::uint8_t command) {
    return 5 + (IsWrite(command) ? DataSize(command) : 0);
}

}  // namespace

UsbReaderDevice::UsbReaderDevice(std::span<const std::uint8_t> image)
    : m_stored(kImageSize, 0xFF), m_registers(kRegisterCount, 0) {
    for (std::size_t i = 0; i < std::min<std::size_t>(image.size(), kImageSize); ++i) {
        m_stored[i] = static_cast<std::uint8_t>(~image[i]);
    }
}

std::vector<std::uint8_t> UsbReaderDevice::Image() const {
    std::vector<std::uint8_t> image(m_stored);
    for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(~byte);
    return image;
}

std::vector<std::uint8_t> UsbReaderDevice::Receive(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    while (!m_pending.empty() && !Unplugged()) {
        if (!StartsFrame(m_pending.front())) {
            m_pending.erase(m_pending.begin());
            continue;
        }
        const std::size_t length = RequestLength(m_pending.front());
        if (m_pending.size() < length) break;
        const std::vector<std::uint8_t> frame(m_pending.begin(),
                                              m_pending.begin() + static_cast<long>(length));
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(length));
        ++m_frames;
        m_requests.push_back(
            {frame[0], static_cast<std::uint32_t>(frame[1] | (frame[2] << 8) | (frame[3] << 16))});
        std::vector<std::uint8_t> answer = Answer(frame);
        if (faults.noAnswer.contains(m_frames)) answer.clear();
        if (!answer.empty() && faults.badCrc.contains(m_frames)) answer.back() ^= 0x5A;
        out.insert(out.end(), answer.begin(), answer.end());
    }
    return out;
}

bool UsbReaderDevice::Holds(std::uint32_t address, std::uint32_t size) const {
    const std::uint32_t bank = address >> 16;
    const std::uint32_t offset = address & 0xFFFF;
    if (bank == 0) return offset + size <= kRegisterCount;
    if (bank != kImageBank || offset + size > kImageSize) return false;
    return m_registers[kLinkMode] == 1;
}

std::vector<std::uint8_t> UsbReaderDevice::Answer(std::span<const std::uint8_t> frame) {
    const std::size_t length = frame.size();
    if (Crc8(frame.first(length - 1)) != frame[length - 1]) return {};
    const std::uint8_t command = frame[0];
    const std::uint32_t address = frame[1] | (frame[2] << 8) | (frame[3] << 16);
    const std::uint32_t size = DataSize(command);
    if (!Holds(address, size)) return {};
    const std::uint32_t offset = address & 0xFFFF;
    std::vector<std::uint8_t>& memory = (address >> 16) == 0 ? m_registers : m_stored;

    std::vector<std::uint8_t> answer{static_cast<std::uint8_t>(command ^ 0x88)};
    if (IsWrite(command)) {
        std::copy(frame.begin() + 4, frame.begin() + 4 + size, memory.begin() + offset);
        if ((address >> 16) == 0) {
            for (std::uint32_t reg = offset; reg < offset + size; ++reg) {
                if (reg >= kFirstRegister && reg <= kLastRegister) {
                    m_registerWrites.push_back({static_cast<std::uint8_t>(reg), memory[reg]});
                }
            }
        }
    } else {
        if ((address >> 16) == 0) m_registers[kReleaseRequest] = busy ? 1 : 0;
        answer.insert(answer.end(), memory.begin() + offset, memory.begin() + offset + size);
    }
    answer.push_back(Crc8(answer));
    return answer;
}

}  // namespace zorvek::sim
