#include "sim/recorder_twin.h"

#include <algorithm>
#include <charconv>

#include "model/bits.h"

namespace zorvek::sim {
namespace {

constexpr std::uint8_t kCommandFlag = 0x80;
constexpr std::uint8_t kWriteFlag = 0x40;
constexpr std::size_t kRequestHead = 4;  // command and address

struct FaultName {
    std::string_view name;
    TwinFaultKind kind;
};

constexpr FaultName kFaultNames[] = {
    {"lose-byte", TwinFaultKind::LoseByte},     {"bad-crc", TwinFaultKind::BadCrc},
    {"bad-header", TwinFaultKind::BadHeader},   {"no-answer", TwinFaultKind::NoAnswer},
    {"silent-from", TwinFaultKind::SilentFrom}, {"hang-up", TwinFaultKind::HangUp},
};

unsigned DataCount(std::uint8_t command) {
    const unsigned n = command & 0x3F;
    return n == 0 ? 64 : n;
}

}  // namespace

std::optional<std::vector<TwinFault>> ParseTwinFaults(std::string_view list, std::string& error) {
    std::vector<TwinFault> faults;
    if (list.empty()) return faults;
    for (bool more = true; more;) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        more = comma != std::string_view::npos;
        if (more) list.remove_prefix(comma + 1);
        const std::size_t colon = item.find(':');
        const std::string_view name = item.substr(0, colon);
        const auto* known = std::find_if(std::begin(kFaultNames), std::end(kFaultNames),
                                         [&](const FaultName& f) { return f.name == name; });
        unsigned request = 0;
        const std::string_view number =
            colon == std::string_view::npos ? std::string_view() : item.substr(colon + 1);
        const auto [end, parsed] =
            std::from_chars(number.data(), number.data() + number.size(), request);
        if (known == std::end(kFaultNames) || number.empty() || parsed != std::errc() ||
            end != number.data() + number.size() || request == 0) {
            error = "not a fault: '" + std::string(item) +
                    "' (lose-byte, bad-crc, bad-header, no-answer, silent-from or hang-up, "
                    "then ':' and a request number from 1)";
            return std::nullopt;
        }
        faults.push_back({known->kind, request});
    }
    return faults;
}

RecorderTwin::RecorderTwin(const Image& stored, std::span<const std::uint8_t> liveCounters,
                           std::vector<TwinFault> faults)
    : m_stored(stored), m_ram(kWorkingMemorySize, 0), m_faults(std::move(faults)) {
    const std::size_t size =
        std::min<std::size_t>(liveCounters.size(), kWorkingMemorySize - kLiveCountersOffset);
    std::copy_n(liveCounters.begin(), size, m_ram.begin() + kLiveCountersOffset);
}

std::vector<std::uint8_t> RecorderTwin::Receive(std::span<const std::uint8_t> received) {
    std::vector<std::uint8_t> out;
    for (const std::uint8_t byte : received) {
        if (m_hungUp) break;
        out.push_back(byte);
        if (m_pending.empty() && (byte & kCommandFlag) == 0) continue;
        m_pending.push_back(byte);
        if (m_pending.size() == ExpectedLength()) {
            Answer(out);
            m_pending.clear();
        }
    }
    return out;
}

std::size_t RecorderTwin::ExpectedLength() const {
    const std::uint8_t command = m_pending.front();
    const bool write = (command & kWriteFlag) != 0;
    return kRequestHead + (write ? DataCount(command) : 0) + 1;
}

bool RecorderTwin::Hits(TwinFaultKind kind, unsigned request) const {
    return std::any_of(m_faults.begin(), m_faults.end(), [&](const TwinFault& fault) {
        if (fault.kind != kind) return false;
        return kind == TwinFaultKind::SilentFrom ? request >= fault.request
                                                 : request == fault.request;
    });
}

void RecorderTwin::Answer(std::vector<std::uint8_t>& out) {
    const std::span<const std::uint8_t> request(m_pending);
    if (Crc8(request.first(request.size() - 1)) != request.back()) return;
    const std::uint8_t command = request[0];
    const bool write = (command & kWriteFlag) != 0;
    const unsigned n = DataCount(command);
    const std::uint32_t address = LoadLe(request, 1, 3);
    m_requests.push_back({write, address, n});
    const auto number = static_cast<unsigned>(m_requests.size());

    if (Hits(TwinFaultKind::HangUp, number)) {
        m_hungUp = true;
        return;
    }
    if (Hits(TwinFaultKind::NoAnswer, number) || Hits(TwinFaultKind::SilentFrom, number)) return;
    const bool refuse =
        Hits(TwinFaultKind::BadCrc, number) || Hits(TwinFaultKind::BadHeader, number);
    const bool lose = Hits(TwinFaultKind::LoseByte, number);

    if (write) {
        if (!refuse) {
            for (unsigned i = 0; i < n; ++i) Poke(address + i, request[kRequestHead + i]);
        }
        out.push_back(refuse ? 0xFF : 0x00);
        if (!lose) out.push_back(0x00);
        return;
    }
    std::vector<std::uint8_t> reply;
    reply.push_back(static_cast<std::uint8_t>(command ^ 0xC0));
    if (Hits(TwinFaultKind::BadHeader, number)) reply[0] ^= 0x01;
    for (unsigned i = 0; i < n; ++i) reply.push_back(Peek(address + i));
    std::uint8_t crc = Crc8(reply);
    if (Hits(TwinFaultKind::BadCrc, number)) crc ^= 0xFF;
    reply.push_back(crc);
    if (lose) reply.erase(reply.begin() + 1);
    out.insert(out.end(), reply.begin(), reply.end());
}

std::uint8_t RecorderTwin::Peek(std::uint32_t address) const {
    const std::uint32_t offset = memory_map::Offset(address);
    switch (memory_map::Bank(Mask24(address))) {
        case 0:
            return m_ram[offset];
        case 3:
            return m_stored[offset];
        default:
            return 0xFF;
    }
}

void RecorderTwin::Poke(std::uint32_t address, std::uint8_t value) {
    const std::uint32_t offset = memory_map::Offset(address);
    switch (memory_map::Bank(Mask24(address))) {
        case 0:
            m_ram[offset] = value;
            break;
        case 3:
            m_stored[offset] = value;
            break;
        default:
            break;
    }
}

}  // namespace zorvek::sim
