#include "access/serial_link.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "model/bits.h"
#include "sim/recorder_twin.h"
#include "tests/support/param_name.h"
#include "tests/support/virtual_wait_clock.h"

namespace zorvek {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

sim::Image CountingImage() {
    sim::Image image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
    return image;
}

// A serial port with the recorder twin behind it and no real time: what the
// twin sends is there at once, and a read that wants more waits out its
// whole time-out on the virtual clock.
class TwinPort final : public SerialPort {
  public:
    TwinPort(test::VirtualWaitClock& clock, std::string_view faults) : m_clock(clock) {
        std::string error;
        twin.emplace(CountingImage(), Bytes{}, *sim::ParseTwinFaults(faults, error));
    }

    TransferResult Open(const std::filesystem::path& device, std::uint32_t) override {
        opens.push_back(device);
        if (!devices.contains(device)) return TransferResult::Fail(TransferError::Refused, ENOENT);
        m_open = true;
        m_answers = devices[device];
        return TransferResult::Ok();
    }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    TransferResult SetModemLines(bool, bool) override { return TransferResult::Ok(); }
    void Purge() override { m_in.clear(); }
    TransferResult Write(const std::uint8_t* data, std::size_t count) override {
        if (!m_open) return TransferResult::Fail(TransferError::NotOpen);
        written.emplace_back(data, data + count);
        // A port with nothing behind it returns nothing, not even the echo.
        if (!m_answers) return TransferResult::Ok();
        const Bytes out = twin->Receive(written.back());
        m_in.insert(m_in.end(), out.begin(), out.end());
        return TransferResult::Ok();
    }
    TransferResult Read(std::uint8_t* data, std::size_t count, ReadTimeouts timeouts) override {
        if (!m_open) return TransferResult::Fail(TransferError::NotOpen);
        readTimeouts.push_back(timeouts.total);
        const std::size_t got = std::min(count, m_in.size());
        std::copy_n(m_in.begin(), got, data);
        m_in.erase(m_in.begin(), m_in.begin() + static_cast<std::ptrdiff_t>(got));
        if (got == count) return TransferResult::Ok();
        m_clock.Advance(got == 0 ? timeouts.total : timeouts.interByte);
        return TransferResult::Fail(TransferError::NoAnswer);
    }

    // Paths that exist, and whether the recorder is behind each.
    std::map<std::filesystem::path, bool> devices{{"/dev/rec", true}};
    std::optional<sim::RecorderTwin> twin;
    std::vector<std::filesystem::path> opens;
    std::vector<Bytes> written;
    std::vector<WaitClock::Duration> readTimeouts;

  private:
    test::VirtualWaitClock& m_clock;
    bool m_open = false;
    bool m_answers = false;
    Bytes m_in;
};

struct Positions : ProgressSink {
    void SetPosition(int percent) override { seen.push_back(percent); }
    std::vector<int> seen;
};

class SerialLinkTest : public ::testing::Test {
  protected:
    void Use(std::string_view faults) { m_port.emplace(m_clock, faults); }
    SerialLink& Link() {
        if (!m_port) Use("");
        if (!m_link) m_link.emplace(*m_port, m_clock, [this](int port) { return m_paths[port]; });
        return *m_link;
    }
    void Connect() { ASSERT_EQ(Link().ComFindRecorder(), 1); }

    test::VirtualWaitClock m_clock;
    std::map<int, std::filesystem::path> m_paths{{1, "/dev/rec"}};
    std::optional<TwinPort> m_port;
    std::optional<SerialLink> m_link;
};

TEST_F(SerialLinkTest, SearchProbesOneByteAtAddressZero) {
    Connect();
    EXPECT_EQ(m_port->written.at(0), (Bytes{0x81, 0x00, 0x00, 0x00, 0x56}));
    EXPECT_EQ(m_clock.waits, (std::vector<WaitClock::Duration>{50ms}));
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Open);
    EXPECT_FALSE(Link().ComLinkClosed());
}

TEST_F(SerialLinkTest, FramesCarryTheLowThreeAddressBytesAndTheirChecksum) {
    Connect();
    std::uint8_t byte = 0;
    ASSERT_TRUE(Link().ComReadBlock(0xFF030005, &byte, 1, nullptr));
    EXPECT_EQ(m_port->written.back(), (Bytes{0x81, 0x05, 0x00, 0x03, 0x81}));
    EXPECT_EQ(byte, CountingImage()[5]);

    const Bytes data{0x11, 0x22, 0x33};
    ASSERT_TRUE(Link().ComWriteBlock(0x030005, data.data(), 3, nullptr));
    Bytes frame{0xC3, 0x05, 0x00, 0x03, 0x11, 0x22, 0x33};
    frame.push_back(Crc8(frame));
    EXPECT_EQ(m_port->written.back(), frame);
    EXPECT_EQ(m_port->twin->Stored()[6], 0x22);
    // n + 7 bytes at 5 ms each plus 200 ms.
    EXPECT_EQ(m_port->readTimeouts.back(), 5ms * 10 + 200ms);
}

TEST_F(SerialLinkTest, AFullFrameSendsZeroInItsLengthField) {
    Connect();
    Bytes block(64);
    ASSERT_TRUE(Link().ComReadBlock(0x30000, block.data(), 64, nullptr));
    EXPECT_EQ(m_port->written.back()[0], 0x80);
    EXPECT_EQ(m_port->readTimeouts.back(), 555ms);
    ASSERT_TRUE(Link().ComWriteBlock(0x30000, block.data(), 64, nullptr));
    EXPECT_EQ(m_port->written.back()[0], 0xC0);
}

// Request 1 is the search's probe; the block's frames are 2, 3, ...
struct FaultCase {
    std::string_view faults;
    bool write;
    TransferError error;  // None: recovered by the retry
};
void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << (c.write ? "write " : "read ") << c.faults;
}

class SerialLinkFaultTest : public SerialLinkTest,
                            public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SerialLinkFaultTest, OneFailureIsRetriedAfter50msTwoBreakTheLink) {
    const FaultCase& c = GetParam();
    Use(c.faults);
    Connect();
    Bytes block(130, 0x5A);
    const auto transfer = [&](std::uint32_t count) {
        return c.write ? Link().ComWriteBlock(0x30100, block.data(), count, nullptr)
                       : Link().ComReadBlock(0x30100, block.data(), count, nullptr);
    };
    const TransferResult result = transfer(130);
    EXPECT_EQ(result.Error(), c.error);
    EXPECT_EQ(m_clock.waits, (std::vector<WaitClock::Duration>{50ms, 50ms}));
    if (c.error == TransferError::None) {
        EXPECT_EQ(Link().LinkState(), SerialLink::State::Open);
        if (!c.write) {
            EXPECT_EQ(block[129], CountingImage()[0x100 + 129]);
        }
        return;
    }
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Broken);
    EXPECT_TRUE(Link().ComLinkClosed());
    const std::size_t traffic = m_port->written.size();
    EXPECT_EQ(transfer(1).Error(), c.error);
    EXPECT_TRUE(transfer(0));
    EXPECT_EQ(m_port->written.size(), traffic);
    // A new search makes the link usable again.
    ASSERT_EQ(Link().ComFindRecorder(), 1);
    EXPECT_TRUE(transfer(1));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SerialLinkFaultTest,
    ::testing::Values(FaultCase{"no-answer:3", false, TransferError::None},
                      FaultCase{"bad-crc:2", false, TransferError::None},
                      FaultCase{"bad-header:4", false, TransferError::None},
                      FaultCase{"lose-byte:3", false, TransferError::None},
                      FaultCase{"bad-crc:3", true, TransferError::None},
                      FaultCase{"no-answer:3,no-answer:6", false, TransferError::NoAnswer},
                      FaultCase{"bad-crc:2,bad-crc:5", false, TransferError::BadChecksum},
                      FaultCase{"bad-header:4,bad-header:5", false, TransferError::BadChecksum},
                      FaultCase{"lose-byte:2,lose-byte:3", false, TransferError::NoAnswer},
                      FaultCase{"bad-crc:3,bad-crc:6", true, TransferError::NotAcknowledged}),
    [](const auto& param) {
        return test::ParamName(std::string(param.param.write ? "write_" : "read_") +
                               std::string(param.param.faults));
    });

TEST_F(SerialLinkTest, ARetryStartsTheBlockOverAtItsFirstFrame) {
    Use("no-answer:4");
    Connect();
    Bytes block(130);
    ASSERT_TRUE(Link().ComReadBlock(0x30200, block.data(), 130, nullptr));
    std::vector<std::uint32_t> addresses;
    for (const auto& request : m_port->twin->Requests()) addresses.push_back(request.address);
    EXPECT_EQ(addresses, (std::vector<std::uint32_t>{0, 0x30200, 0x30240, 0x30280, 0x30200, 0x30240,
                                                     0x30280}));
}

TEST_F(SerialLinkTest, ProgressStartsAt1FollowsTheBytesAndEndsAt0) {
    Connect();
    Bytes block(6464);
    Positions bar;
    ASSERT_TRUE(Link().ComReadBlock(0x30000, block.data(), 130, &bar));
    EXPECT_EQ(bar.seen, (std::vector<int>{1, 49, 98, 100, 0}));
    // 64 of 6,464 bytes is 0 %: the bar stays at 1 until 1 % is reached.
    bar.seen.clear();
    ASSERT_TRUE(Link().ComReadBlock(0x30000, block.data(), 6464, &bar));
    EXPECT_EQ(std::vector<int>(bar.seen.begin(), bar.seen.begin() + 3),
              (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(bar.seen.back(), 0);
}

TEST_F(SerialLinkTest, PortsAndBaudRatesOutsideTheirListsOpenNothing) {
    Link();
    for (const int port : {0, 9, 255}) EXPECT_FALSE(Link().ComOpenPort(port, 19200)) << port;
    for (const std::uint32_t baud : {0u, 19201u, 31250u}) EXPECT_FALSE(Link().ComOpenPort(1, baud));
    EXPECT_TRUE(m_port->opens.empty());
    EXPECT_EQ(Link().ComConnect(0), 0);
    EXPECT_EQ(Link().ComConnect(9), 0);
    EXPECT_TRUE(Link().ComOpenPort(1, 256000));
    EXPECT_EQ(Link().ComOpenPort(1, 19200).Error(), TransferError::Refused);
}

TEST_F(SerialLinkTest, SearchSkipsPortsWithoutDeviceAtOnce) {
    m_paths = {{2, "/dev/missing"}, {3, "/dev/rec"}};
    EXPECT_EQ(Link().ComFindRecorder(), 3);
    EXPECT_EQ(m_port->opens, (std::vector<std::filesystem::path>{"/dev/missing", "/dev/rec"}));
    EXPECT_EQ(m_clock.now, 50ms);
}

TEST_F(SerialLinkTest, ASearchWithoutAnswerLeavesOnlyTheLastPortOpen) {
    Link();
    m_port->devices = {{"/dev/a", false}, {"/dev/b", false}};
    m_paths = {{4, "/dev/a"}, {8, "/dev/b"}};
    EXPECT_EQ(Link().ComFindRecorder(), 0);
    EXPECT_EQ(Link().SearchFailure().Error(), TransferError::NoRecorder);
    EXPECT_EQ(Link().SearchFailure().SystemError(), 0);
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Broken);
    EXPECT_EQ(Link().PortNumber(), 8);
    // Per port: the settling wait, two probes of 5 x 8 + 200 ms, one retry wait.
    EXPECT_EQ(m_clock.now, 2 * (50ms + 240ms + 50ms + 240ms));
    Link().ComDisconnect();
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Closed);

    m_paths.clear();
    EXPECT_EQ(Link().ComFindRecorder(), 0);
    EXPECT_EQ(Link().SearchFailure().Error(), TransferError::NoRecorder);
    EXPECT_EQ(Link().SearchFailure().SystemError(), ENOENT);
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Closed);
    std::uint8_t byte = 0;
    EXPECT_EQ(Link().ComReadBlock(0, &byte, 1, nullptr).Error(), TransferError::NotOpen);
}

}  // namespace
}  // namespace zorvek
