#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/image_bytes.h"

namespace zorvek::sim {

// How the twin misbehaves on request K (requests are counted from 1 in the
// order they arrive, the port search's probe included).
enum class TwinFaultKind : std::uint8_t {
    LoseByte,    // the reply to K lacks its first data byte
    BadCrc,      // the reply to K carries a wrong checksum (a write: a refusal)
    BadHeader,   // the reply to K carries a wrong header (a write: a refusal)
    NoAnswer,    // K is echoed but not answered
    SilentFrom,  // K and every later request are echoed but not answered
    HangUp,      // the line goes away when K arrives
};

struct TwinFault {
    TwinFaultKind kind;
    unsigned request;
};

// "bad-crc:3,no-answer:7": kinds lose-byte, bad-crc, bad-header, no-answer,
// silent-from, hang-up, each with the request number it hits. Nothing and
// the reason in `error` when the list does not read.
std::optional<std::vector<TwinFault>> ParseTwinFaults(std::string_view list, std::string& error);

// A request as the twin understood it.
struct TwinRequest {
    bool write = false;
    std::uint32_t address = 0;
    unsigned count = 0;

    bool operator==(const TwinRequest&) const = default;
};

// The recorder's end of the serial line. Its memory: bank 3 the stored
// data, bank 0 the working memory with the pending counter increments at
// 0x200; other banks read as 0xFF and ignore writes.
//
// Requests: a command byte (0x80 + n read, 0xC0 + n write, n of 64 sent as
// 0), a 24-bit address low byte first, for a write the n data bytes, and the
// Crc8 of everything before it. A read is answered with 0x40 + n, the data
// and the Crc8 of those; a write with two zero bytes. A request whose
// checksum fails, and bytes that do not start a request, go unanswered.
class RecorderTwin {
  public:
    static constexpr std::uint32_t kWorkingMemorySize = 0x10000;
    static constexpr std::uint32_t kLiveCountersOffset = 0x200;

    RecorderTwin(const Image& stored, std::span<const std::uint8_t> liveCounters,
                 std::vector<TwinFault> faults);

    // What the line carries back for the bytes received: each of them
    // echoed (the line is half-duplex), then the reply to each request they
    // complete.
    std::vector<std::uint8_t> Receive(std::span<const std::uint8_t> received);
    // A request cut off half-way is forgotten (the line went quiet).
    bool HasPartialRequest() const { return !m_pending.empty(); }
    void DropPartialRequest() { m_pending.clear(); }

    bool HungUp() const { return m_hungUp; }
    const std::vector<TwinRequest>& Requests() const { return m_requests; }
    const Image& Stored() const { return m_stored; }

  private:
    std::size_t ExpectedLength() const;
    void Answer(std::vector<std::uint8_t>& out);
    bool Hits(TwinFaultKind kind, unsigned request) const;
    std::uint8_t Peek(std::uint32_t address) const;
    void Poke(std::uint32_t address, std::uint8_t value);

    Image m_stored;
    std::vector<std::uint8_t> m_ram;
    std::vector<TwinFault> m_faults;
    std::vector<std::uint8_t> m_pending;
    std::vector<TwinRequest> m_requests;
    bool m_hungUp = false;
};

}  // namespace zorvek::sim
