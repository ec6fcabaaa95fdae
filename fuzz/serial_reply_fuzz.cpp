// Any bytes as the recorder's replies on its serial line. The port echoes
// every request, as the half-duplex line does, and then gives the next
// reply from the input: a length byte and that many bytes. The link finds
// the recorder, reads and writes a block, as a load and the new-data mark's
// clearing do.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>

#include "access/serial_link.h"
#include "tests/support/virtual_wait_clock.h"

namespace {

using namespace zorvek;

class ScriptedPort final : public SerialPort {
  public:
    ScriptedPort(std::span<const std::uint8_t> replies, test::VirtualWaitClock& clock)
        : m_replies(replies), m_clock(clock) {}

    TransferResult Open(const std::filesystem::path&, std::uint32_t) override {
        m_open = true;
        return TransferResult::Ok();
    }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    TransferResult SetModemLines(bool, bool) override { return TransferResult::Ok(); }
    void Purge() override { m_in.clear(); }
    TransferResult Write(const std::uint8_t* data, std::size_t count) override {
        m_in.insert(m_in.end(), data, data + count);
        if (!m_replies.empty()) {
            const std::size_t length = std::min<std::size_t>(m_replies[0], m_replies.size() - 1);
            m_in.insert(m_in.end(), m_replies.begin() + 1, m_replies.begin() + 1 + length);
            m_replies = m_replies.subspan(1 + length);
        }
        return TransferResult::Ok();
    }
    TransferResult Read(std::uint8_t* data, std::size_t count, ReadTimeouts timeouts) override {
        const std::size_t got = std::min(count, m_in.size());
        std::copy_n(m_in.begin(), got, data);
        m_in.erase(m_in.begin(), m_in.begin() + static_cast<std::ptrdiff_t>(got));
        if (got == count) return TransferResult::Ok();
        m_clock.Advance(got == 0 ? timeouts.total : timeouts.interByte);
        return TransferResult::Fail(TransferError::NoAnswer);
    }

  private:
    std::span<const std::uint8_t> m_replies;
    test::VirtualWaitClock& m_clock;
    std::deque<std::uint8_t> m_in;
    bool m_open = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the block: its length (up to three frames)
    // and whether the recorder's working memory is written as well.
    const std::uint32_t count = 1 + data[0] % 192;
    const bool write = (data[1] & 1) != 0;
    test::VirtualWaitClock clock;
    ScriptedPort port(std::span(data + 2, size - 2), clock);
    SerialLink link(port, clock, [](int number) {
        return std::filesystem::path("/dev/port" + std::to_string(number));
    });
    if (link.ComFindRecorder() == 0) return 0;
    std::array<std::uint8_t, 192> block{};
    if (!link.ComReadBlock(0x030000, block.data(), count, nullptr)) return 0;
    if (write) static_cast<void>(link.ComWriteBlock(0x000200, block.data(), count, nullptr));
    return 0;
}
