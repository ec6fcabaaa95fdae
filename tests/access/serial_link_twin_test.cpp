// The link with the system's serial backend against the recorder twin on a
// pseudo-terminal, in real time. Faults that cost time-outs are kept few.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "access/dispatch.h"
#include "access/dump_file.h"
#include "access/recorder_source.h"
#include "access/serial_port_names.h"
#include "model/decoders.h"
#include "sim/image_generator.h"
#include "sim/line_settings.h"
#include "sim/recorder_line.h"
#include "tests/support/param_name.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

namespace map = memory_map;
using Bytes = std::vector<std::uint8_t>;

const sim::Image& Image() {
    static const sim::Image image = sim::GenerateImage({});
    return image;
}

std::unique_ptr<sim::RecorderLine> StartTwin(std::string_view faults = "",
                                             const sim::Image& image = Image(),
                                             const Bytes& live = {}) {
    std::string error;
    auto line = std::make_unique<sim::RecorderLine>(
        sim::RecorderTwin(image, live, *sim::ParseTwinFaults(faults, error)), 0);
    line->Start();
    return line;
}

class TwinLinkTest : public ::testing::Test {
  protected:
    // Port 1 is the twin.
    void Connect(const sim::RecorderLine& twin) {
        m_recorder =
            std::make_unique<RecorderSource>(MakeSystemSerialPort(SystemWaits()), SystemWaits(),
                                             [path = twin.DevicePath()](int port) {
                                                 return port == 1 ? path : std::filesystem::path();
                                             });
        ASSERT_TRUE(m_recorder->Open());
    }
    SerialLink& Link() { return m_recorder->Link(); }

    std::unique_ptr<RecorderSource> m_recorder;
};

struct Split {
    std::uint32_t count;
    std::vector<unsigned> frames;
};

TEST_F(TwinLinkTest, BlocksAreCutIntoFramesOfAtMost64Bytes) {
    const auto twin = StartTwin();
    Connect(*twin);
    std::uint32_t address = 0x30100;
    for (const Split& split :
         {Split{1, {1}}, Split{64, {64}}, Split{65, {64, 1}}, Split{130, {64, 64, 2}}}) {
        const std::size_t before = twin->Requests().size();
        Bytes block(split.count);
        ASSERT_TRUE(Link().ComReadBlock(address, block.data(), split.count, nullptr));
        const auto requests = twin->Requests();
        std::vector<unsigned> frames;
        for (std::size_t i = before; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].address, address + 64 * (i - before));
            frames.push_back(requests[i].count);
        }
        EXPECT_EQ(frames, split.frames) << split.count;
        const auto stored = Bytes(Image().begin() + map::Offset(address),
                                  Image().begin() + map::Offset(address) + split.count);
        EXPECT_EQ(block, stored);
        address += 0x100;
    }
}

TEST_F(TwinLinkTest, AWriteIsStoredAndReadsBack) {
    const auto twin = StartTwin();
    Connect(*twin);
    Bytes data(70);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0xA0 + i);
    ASSERT_TRUE(Link().ComWriteBlock(0x30005, data.data(), 70, nullptr));
    Bytes back(70);
    ASSERT_TRUE(Link().ComReadBlock(0x30005, back.data(), 70, nullptr));
    EXPECT_EQ(back, data);
    EXPECT_EQ(twin->Stored()[5 + 69], data[69]);
}

// Request 1 is the probe; a 130-byte block is requests 2..4, its retry 5..7.
struct TwinFaultCase {
    std::string_view faults;
    TransferError error;
};
void PrintTo(const TwinFaultCase& c, std::ostream* out) { *out << c.faults; }

class TwinFaultTest : public TwinLinkTest, public ::testing::WithParamInterface<TwinFaultCase> {};

TEST_P(TwinFaultTest, EachFaultIsRetriedOnceThenBreaksTheLink) {
    const auto twin = StartTwin(GetParam().faults);
    Connect(*twin);
    Bytes block(130);
    EXPECT_EQ(Link().ComReadBlock(0x30000, block.data(), 130, nullptr).Error(), GetParam().error);
    if (GetParam().error == TransferError::None) {
        EXPECT_EQ(block, Bytes(Image().begin(), Image().begin() + 130));
        return;
    }
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Broken);
    const std::size_t traffic = twin->Requests().size();
    EXPECT_FALSE(Link().ComReadBlock(0x30000, block.data(), 1, nullptr));
    EXPECT_EQ(twin->Requests().size(), traffic);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TwinFaultTest,
    ::testing::Values(TwinFaultCase{"lose-byte:3", TransferError::None},
                      TwinFaultCase{"bad-crc:4", TransferError::None},
                      TwinFaultCase{"bad-header:2", TransferError::None},
                      TwinFaultCase{"no-answer:3", TransferError::None},
                      TwinFaultCase{"lose-byte:2,lose-byte:5", TransferError::NoAnswer},
                      TwinFaultCase{"bad-crc:4,bad-crc:5", TransferError::BadChecksum},
                      TwinFaultCase{"bad-header:3,bad-header:6", TransferError::BadChecksum},
                      TwinFaultCase{"silent-from:3", TransferError::NoAnswer}),
    [](const auto& param) { return test::ParamName(param.param.faults); });

TEST_F(TwinLinkTest, ATwinThatHangsUpMidReadEndsTheReadWithAFailure) {
    const auto twin = StartTwin("hang-up:6");
    Connect(*twin);
    Bytes block(1000);
    const auto started = std::chrono::steady_clock::now();
    const TransferResult read = Link().ComReadBlock(0x30000, block.data(), 1000, nullptr);
    EXPECT_EQ(read.Error(), TransferError::DeviceGone);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(Link().LinkState(), SerialLink::State::Broken);
}

// The line as the recorder meets it: 19200 baud 8N2 raw while the program
// has the port, and as the twin left it (38400 baud, one stop bit) after.
TEST_F(TwinLinkTest, TheLineIsSetUpWhileOpenAndGivenBackOnClose) {
    const auto twin = StartTwin();
    const sim::LineSettings before = twin->Line();
    ASSERT_NE(before.stopBits, 2);
    Connect(*twin);
    EXPECT_EQ(twin->Line(), (sim::LineSettings{19200, 8, 2, false, true}));
    m_recorder->Close();
    EXPECT_EQ(twin->Line(), before);
}

// A reply that lacks a byte is given up 200 ms after its last byte, not at
// the frame's whole time-out (64 data bytes: 71 x 5 + 200 = 555 ms). Both
// attempts of the block lose a byte: two gaps and the retry's 50 ms.
TEST_F(TwinLinkTest, ALostByteEndsTheReadAtTheGapBetweenBytes) {
    const auto twin = StartTwin("lose-byte:2,lose-byte:3");
    Connect(*twin);
    Bytes block(64);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Link().ComReadBlock(0x30000, block.data(), 64, nullptr).Error(),
              TransferError::NoAnswer);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(2 * 200 + 50));
    EXPECT_LT(took, std::chrono::milliseconds(2 * 555));
}

TEST_F(TwinLinkTest, TheWholeImageReadsBackEqual) {
    const auto twin = StartTwin();
    Connect(*twin);
    Bytes whole(map::kImageSize);
    ASSERT_TRUE(m_recorder->Read(map::kStoredBank, whole.data(), map::kImageSize, nullptr));
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), Image().begin()));
}

TEST_F(TwinLinkTest, LiveCountersAreAddedSaturating) {
    sim::Image image = Image();
    MechanismCounters stored;
    const auto block = sim::ImageSpan(image, map::kCountersTotalAddress, stored.kSize);
    StoreLe(block, MechanismCounters::SwitchOnOffset(0, 0), 2, 0xFFF8);
    StoreLe(block, MechanismCounters::SwitchOnOffset(3, 2), 2, 500);
    StoreLe(block, 14, 3, 0xFFFFF0);  // range 0, mechanism 0: operating seconds
    sim::SealBlock(block);
    Bytes live(map::kLiveCountersSize, 0);
    StoreLe(live, 0, 2, 10);                // range 0, mechanism 0: switch-ons
    StoreLe(live, 2 * 5, 2, 100);           // range 0, mechanism 0: seconds
    StoreLe(live, 2 * (10 * 3 + 2), 2, 7);  // range 3, mechanism 2: switch-ons
    const auto twin = StartTwin("", image, live);

    DumpFileChoice choice;
    DumpFile dumpFile(choice);
    PassportSheet sheet;
    Dispatch dispatch(dumpFile, sheet);
    m_recorder = std::make_unique<RecorderSource>(
        MakeSystemSerialPort(SystemWaits()), SystemWaits(), [path = twin->DevicePath()](int port) {
            return port == 1 ? path : std::filesystem::path();
        });
    dispatch.AttachRecorder(m_recorder.get());
    ASSERT_TRUE(dispatch.OpenSource(SourceKind::Recorder));
    MechanismCounters counters;
    ASSERT_TRUE(ReadMechanismCounters(dispatch, map::kCountersTotalAddress, counters));
    EXPECT_EQ(LoadLe(counters.bytes, MechanismCounters::SwitchOnOffset(0, 0), 2), 0xFFFFu);
    EXPECT_EQ(LoadLe(counters.bytes, 14, 3), 0xFFFFFFu);
    EXPECT_EQ(LoadLe(counters.bytes, MechanismCounters::SwitchOnOffset(3, 2), 2), 507u);
}

// Ports 1..4 each fail their own way; the recorder is on the fifth.
TEST(TwinSearchTest, TheSearchFindsTheRecorderOnTheFifthPort) {
    const auto silent = StartTwin("silent-from:1");
    const auto twin = StartTwin();
    const std::filesystem::path notSerial = test::TestFolder("zorvek-not-a-serial-line-");
    std::ofstream(notSerial) << "x";
    const std::string paths[8] = {"/nonexistent/ttyUSB7",
                                  notSerial.string(),
                                  "",
                                  silent->DevicePath().string(),
                                  twin->DevicePath().string(),
                                  "",
                                  "",
                                  ""};
    for (int port = 1; port <= 8; ++port) {
        ::setenv(("ZORVEK_COM" + std::to_string(port)).c_str(), paths[port - 1].c_str(), 1);
    }
    EXPECT_EQ(ComPortPath(5), twin->DevicePath());
    const auto recorder = MakeRecorder(SystemWaits());
    EXPECT_TRUE(recorder->Open());
    EXPECT_EQ(recorder->FoundPort(), 5);
    EXPECT_EQ(silent->Requests().size(), 2u);  // the probe and its retry
    EXPECT_EQ(twin->Requests(), (std::vector<sim::TwinRequest>{{false, 0, 1}}));
    for (int port = 1; port <= 8; ++port) {
        ::unsetenv(("ZORVEK_COM" + std::to_string(port)).c_str());
    }
    std::filesystem::remove(notSerial);
}

// When no port answers, the reason speaks of the search, not of whichever
// port came last: the ports that opened stayed silent, or none opened and
// the most telling open failure says why.
TEST(TwinSearchTest, ASearchWithoutTheRecorderSaysWhyNoPortAnswered) {
    const auto silent = StartTwin("silent-from:1");
    const std::filesystem::path folder = test::TestFolder("zorvek-ports-");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "file") << "x";
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    struct Case {
        std::string last;
        int systemError;
    };
    const Case cases[] = {
        {"/dev/null", ENOTTY},
        {(folder / "fifo").string(), ENOTTY},
        // A missing port 6 does not hide that port 2 is no serial line.
        {(folder / "missing").string(), ENOTTY},
        {silent->DevicePath().string(), 0},  // a port opened: none answered
        {"", ENOENT},                        // no port names a device
    };
    for (const Case& c : cases) {
        // Port 2 fails otherwise; port 6 is the last one with a device.
        ::setenv("ZORVEK_COM2", (folder / "file").c_str(), 1);
        ::setenv("ZORVEK_COM6", c.last.c_str(), 1);
        for (const int port : {1, 3, 4, 5, 7, 8}) {
            ::setenv(("ZORVEK_COM" + std::to_string(port)).c_str(), "", 1);
        }
        if (c.last.empty()) ::setenv("ZORVEK_COM2", "", 1);
        const auto recorder = MakeRecorder(SystemWaits());
        const TransferResult opened = recorder->Open();
        EXPECT_EQ(opened.Error(), TransferError::NoRecorder) << c.last;
        EXPECT_EQ(opened.SystemError(), c.systemError) << c.last;
    }
    for (int port = 1; port <= 8; ++port) {
        ::unsetenv(("ZORVEK_COM" + std::to_string(port)).c_str());
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zorvek
