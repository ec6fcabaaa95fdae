#include "access/usb_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "tests/support/usb_twin.h"

namespace zorvek {
namespace {

using Request = sim::UsbReaderDevice::Request;
using RegisterWrite = sim::UsbReaderDevice::RegisterWrite;
using State = UsbDevicePort::State;
using Ports = std::vector<std::string>;
using namespace std::chrono_literals;

TEST(UsbFrameLengthTest, RequestsAndResponsesOfEverySize) {
    struct Case {
        std::uint8_t command;
        std::size_t length;
    };
    const Case cases[] = {
        {0x40, 5}, {0x47, 5},                // read requests
        {0x48, 6}, {0x4B, 13}, {0x4F, 133},  // write requests carry 2^k bytes
        {0xC8, 3}, {0xCC, 18}, {0xCF, 130},  // read responses carry 2^k bytes
        {0xC0, 2}, {0xC7, 2},                // write responses
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsbDevicePort::UsbFrameLength(c.command), c.length) << int(c.command);
    }
}

class UsbReaderTest : public test::UsbTwinTest {
  protected:
    void SetUp() override {
        UsbTwinTest::SetUp();
        m_port.emplace(Finder(), m_clock);
        m_reader.emplace(*m_port);
    }

    std::optional<UsbDevicePort> m_port;
    std::optional<UsbReader> m_reader;
    int m_attached = 0;
    int m_detached = 0;

    void Watch() {
        m_reader->ReaderOnAttached = [this] { ++m_attached; };
        m_reader->ReaderOnDetached = [this] { ++m_detached; };
        EXPECT_EQ(m_reader->ReaderInit(), 20ms);
    }
    // A twin plugged in and past the connect handshake.
    void Attach() {
        Plug();
        Watch();
        EXPECT_EQ(m_port->UsbWatchTick(), 500ms);
        ASSERT_EQ(m_port->CurrentState(), State::Ready);
    }
    std::vector<Request> RequestsSince(std::size_t first) {
        return Device([&](sim::UsbReaderDevice& d) {
            return std::vector<Request>(d.Requests().begin() + static_cast<long>(first),
                                        d.Requests().end());
        });
    }
    std::uint32_t Frames() {
        return Device([](sim::UsbReaderDevice& d) { return d.FramesSeen(); });
    }
};

TEST_F(UsbReaderTest, FindsOnlyTheReadersRevisionOnTheDeviceItself) {
    struct Case {
        std::uint16_t device;
        std::uint16_t hub;
        bool found;
    };
    // The hub above the device has a bcdDevice too; only the device's counts.
    const Case cases[] = {{0x0001, 0x0600, true}, {0x0600, 0x0001, false}, {0x0000, 0x0000, false}};
    for (const Case& c : cases) {
        m_twins.clear();
        std::filesystem::remove_all(m_dir / "sys");
        Plug("ttyACM0", c.device, c.hub);
        EXPECT_EQ(Finder().FindPorts(1), c.found ? Ports{"ttyACM0"} : Ports{})
            << c.device << "/" << c.hub;
    }
    EXPECT_EQ(Finder().FindPorts(0), Ports{});
}

TEST_F(UsbReaderTest, SkipsTtysThatAreNotOnUsbAndTwinsOfAnotherRevision) {
    std::filesystem::create_directories(m_dir / "sys/devices/virtual/tty/tty0");
    std::filesystem::create_directories(m_dir / "sys/class/tty");
    std::filesystem::create_directory_symlink("../../devices/virtual/tty/tty0",
                                              m_dir / "sys/class/tty/tty0");
    Plug("ttyACM0", 0x0600);
    Plug("ttyACM1", 0x0001);
    EXPECT_EQ(Finder().FindPorts(1), Ports{"ttyACM1"});
}

TEST_F(UsbReaderTest, ConnectHandshakeThenReadyAndDisconnectOnRelease) {
    Plug();
    Device([](sim::UsbReaderDevice& d) { d.busy = true; });
    Watch();
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->CurrentState(), State::OpenNotReady);
    EXPECT_EQ(m_attached, 0);

    Device([](sim::UsbReaderDevice& d) { d.busy = false; });
    m_clock.waits.clear();
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->CurrentState(), State::Ready);
    EXPECT_EQ(m_attached, 1);
    EXPECT_EQ(m_clock.waits, (std::vector<WaitClock::Duration>{500ms, 500ms}));
    EXPECT_EQ(Device([](sim::UsbReaderDevice& d) { return d.RegisterWrites(); }),
              (std::vector<RegisterWrite>{{245, 1}, {246, 1}, {243, 2}}));

    // The reader asks to be let go: the disconnect sequence, port kept open.
    Device([](sim::UsbReaderDevice& d) { d.busy = true; });
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->CurrentState(), State::OpenNotReady);
    EXPECT_EQ(m_detached, 1);
    EXPECT_EQ(
        Device([](sim::UsbReaderDevice& d) { return d.RegisterWrites(); }),
        (std::vector<RegisterWrite>{{245, 1}, {246, 1}, {243, 2}, {245, 0}, {243, 0}, {247, 1}}));
}

// The line as the reader meets it, and as the twin left it after.
TEST_F(UsbReaderTest, ThePortRunsAt38400Baud8N2AndGivesTheLineBackOnClose) {
    sim::UsbReaderTwin& twin = Plug();
    const sim::LineSettings before = twin.Line();
    ASSERT_NE(before.stopBits, 2);
    Watch();
    m_port->UsbWatchTick();
    EXPECT_EQ(twin.Line(), (sim::LineSettings{38400, 8, 2, false, true}));
    m_port->UsbClosePort();
    EXPECT_EQ(twin.Line(), before);
}

TEST_F(UsbReaderTest, ReplugUnderAnotherNameMovesThePortInOneTick) {
    Attach();
    EXPECT_EQ(m_port->PortName(), "ttyACM0");
    m_twins.front()->Plug("ttyACM3");
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->PortName(), "ttyACM3");
    EXPECT_EQ(m_port->CurrentState(), State::Ready);
    EXPECT_EQ(m_detached, 1);
    EXPECT_EQ(m_attached, 2);

    m_twins.front()->Unplug();
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->CurrentState(), State::Idle);
    EXPECT_EQ(m_detached, 2);
}

TEST_F(UsbReaderTest, BlocksGoAsDescendingPowerOfTwoFrames) {
    Attach();
    struct Case {
        std::uint32_t offset;
        std::uint32_t count;
        std::vector<Request> frames;
    };
    const Case cases[] = {
        {0x0100, 3, {{0x41, 0x030100}, {0x40, 0x030102}}},
        {0x0000, 128, {{0x47, 0x030000}}},
        {0x1000,
         300,
         {{0x47, 0x031000},
          {0x47, 0x031080},
          {0x45, 0x031100},
          {0x43, 0x031120},
          {0x42, 0x031128}}},
    };
    for (const Case& c : cases) {
        const std::size_t before = Device([](auto& d) { return d.Requests().size(); });
        std::vector<std::uint8_t> stored(c.count);
        ASSERT_TRUE(m_reader->ReaderReadImage(static_cast<std::uint16_t>(c.offset), stored.data(),
                                              c.count, nullptr));
        std::vector<Request> expected{{0x48, 243}};
        expected.insert(expected.end(), c.frames.begin(), c.frames.end());
        expected.push_back({0x48, 243});
        EXPECT_EQ(RequestsSince(before), expected) << c.count;
        for (std::uint32_t i = 0; i < c.count; ++i) {
            ASSERT_EQ(stored[i], static_cast<std::uint8_t>(~m_image[c.offset + i])) << i;
        }
    }
    // Writes go the same way and land as sent.
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    const std::size_t before = Device([](auto& d) { return d.Requests().size(); });
    ASSERT_TRUE(m_reader->ReaderWriteImage(0x20, bytes.data(), 3, nullptr));
    EXPECT_EQ(RequestsSince(before),
              (std::vector<Request>{{0x48, 243}, {0x49, 0x030020}, {0x48, 0x030022}, {0x48, 243}}));
    EXPECT_EQ(Device([](auto& d) { return d.Image()[0x22]; }), 0xFC);
}

TEST_F(UsbReaderTest, OneFailedFramePerBlockIsRepeated) {
    Attach();
    struct Case {
        const char* name;
        std::vector<std::uint32_t> noAnswer;  // frames of the block, from 1
        std::vector<std::uint32_t> badCrc;
        TransferError error;
    };
    // A 300-byte read is five frames.
    const Case cases[] = {
        {"one lost answer", {2}, {}, TransferError::None},
        {"one bad CRC", {}, {1}, TransferError::None},
        {"the same frame twice", {}, {3, 4}, TransferError::BadChecksum},
        {"two different frames", {2}, {5}, TransferError::BadChecksum},
    };
    for (const Case& c : cases) {
        Device([](sim::UsbReaderDevice& d) { d.faults = {}; });
        // The reader serves its image only in link mode 1.
        ASSERT_TRUE(m_reader->ReaderSetMode(false, true));
        const std::uint32_t base = Frames();
        Device([&](sim::UsbReaderDevice& d) {
            for (auto k : c.noAnswer) d.faults.noAnswer.insert(base + k);
            for (auto k : c.badCrc) d.faults.badCrc.insert(base + k);
        });
        m_clock.waits.clear();
        std::vector<std::uint8_t> bytes(300);
        test::ProgressLog progress;
        const TransferResult result = m_port->UsbReadBlock(0x030000, bytes.data(), 300, &progress);
        EXPECT_EQ(result.Error(), c.error) << c.name;
        EXPECT_EQ(m_clock.waits, std::vector<WaitClock::Duration>{200ms}) << c.name;
        EXPECT_EQ(progress.positions.back(), 0) << c.name;
    }
}

TEST_F(UsbReaderTest, NoPortFailsAtOnce) {
    std::uint8_t byte = 0;
    EXPECT_EQ(m_port->UsbReadByte(244, byte).Error(), TransferError::NotOpen);
    EXPECT_EQ(m_port->UsbWriteBlock(243, &byte, 1, nullptr).Error(), TransferError::NotOpen);
    EXPECT_TRUE(m_clock.waits.empty());
}

TEST_F(UsbReaderTest, CopyRestoresTheImageAndTakes512Chunks) {
    Attach();
    m_clock.waits.clear();
    // A window pumps its events from the progress display, so the watcher
    // ticks inside the dump; a reader asking to be released meanwhile must
    // not be disconnected under it.
    struct TickingProgress : test::ProgressLog {
        UsbDevicePort* port = nullptr;
        void SetPosition(int percent) override {
            ProgressLog::SetPosition(percent);
            port->UsbWatchTick();
        }
    } progress;
    progress.port = &*m_port;
    Device([](sim::UsbReaderDevice& d) { d.busy = true; });
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(m_reader->ReaderCopyImage(0, 0x10000, image, &progress));
    EXPECT_EQ(image, m_image);
    EXPECT_EQ(m_clock.waits, std::vector<WaitClock::Duration>(512, 30ms));
    ASSERT_EQ(progress.positions.size(), 514u);
    EXPECT_EQ(progress.positions.front(), 1);
    EXPECT_EQ(progress.positions[512], 100);
    EXPECT_EQ(progress.positions.back(), 0);
    EXPECT_EQ(m_detached, 0);
    EXPECT_EQ(m_port->CurrentState(), State::Ready);
}

TEST_F(UsbReaderTest, ACopyFailsOnTheSecondFailedFrameOfAChunkOrAnUnplug) {
    Attach();
    const std::uint32_t base = Frames();
    // Each chunk is three frames: link mode 1, the read, link mode 2. The
    // 200th chunk's read and its repeat go unanswered.
    Device([&](sim::UsbReaderDevice& d) {
        d.faults.noAnswer = {base + 3 * 199 + 2, base + 3 * 199 + 3};
    });
    std::vector<std::uint8_t> image;
    test::ProgressLog progress;
    EXPECT_EQ(m_reader->ReaderCopyImage(0, 0x10000, image, &progress).Error(),
              TransferError::NoAnswer);
    EXPECT_EQ(progress.positions.back(), 0);
    EXPECT_EQ(m_reader->ReaderCopyImage(0, 0, image, nullptr).Error(), TransferError::OutOfRange);

    Device([&](sim::UsbReaderDevice& d) {
        d.faults = {};
        d.faults.unplugAfter = d.FramesSeen() + 100;
    });
    EXPECT_EQ(m_reader->ReaderCopyImage(0, 0x10000, image, nullptr).Error(),
              TransferError::DeviceGone);
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->CurrentState(), State::Idle);
    EXPECT_EQ(m_detached, 1);
}

// With two readers attached, one that does not become ready must not hide
// the other; a reader alone is kept, whatever it answers.
TEST_F(UsbReaderTest, AReaderThatDoesNotBecomeReadyIsPassedOverForTheNext) {
    struct Case {
        const char* name;
        bool busy;
        bool silent;
    };
    const Case cases[] = {{"busy", true, false}, {"silent", false, true}};
    for (const Case& c : cases) {
        m_twins.clear();
        std::filesystem::remove_all(m_dir / "sys");
        m_port.emplace(Finder(), m_clock);
        m_reader.emplace(*m_port);
        m_attached = 0;
        Plug("ttyACM0");
        Plug("ttyACM1");
        Device([&](sim::UsbReaderDevice& d) {
            d.busy = c.busy;
            if (c.silent) d.faults.noAnswer = {1, 2};  // the ready check and its repeat
        });
        Watch();
        m_port->UsbWatchTick();
        EXPECT_EQ(m_port->CurrentState(), State::Idle) << c.name;
        m_port->UsbWatchTick();
        EXPECT_EQ(m_port->PortName(), "ttyACM1") << c.name;
        EXPECT_EQ(m_port->CurrentState(), State::Ready) << c.name;
        EXPECT_EQ(m_attached, 1) << c.name;
    }
    // Alone, a busy reader stays open and waits for its release.
    Device([](sim::UsbReaderDevice& d) { d.busy = true; });
    m_twins.back()->Unplug();
    m_port->UsbWatchTick();
    EXPECT_EQ(m_port->PortName(), "ttyACM0");
    EXPECT_EQ(m_port->CurrentState(), State::OpenNotReady);
}

}  // namespace
}  // namespace zorvek
