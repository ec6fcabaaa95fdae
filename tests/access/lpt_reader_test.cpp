#include "access/lpt_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <numeric>
#include <vector>

#include "access/dispatch.h"
#include "access/dump_file.h"
#include "sim/lpt_reader_twin.h"
#include "tests/support/virtual_wait_clock.h"

namespace zorvek {
namespace {

using sim::LptReaderTwin;
using sim::LptReaderTwinSetup;
using std::chrono::milliseconds;

// Every byte differs from its neighbours and from its inversion.
std::vector<std::uint8_t> PatternImage() {
    std::vector<std::uint8_t> image(0x10000);
    for (std::uint32_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8) * 13 + 3) & 0xFF);
    return image;
}

struct ProgressLog final : ProgressSink {
    void SetPosition(int percent) override { positions.push_back(percent); }
    std::vector<int> positions;
};

// The twin and the real reader code on it, sharing one virtual clock.
struct Bench {
    explicit Bench(LptReaderTwinSetup setup = {})
        : image(PatternImage()), twin(image, clock, setup), reader(twin, clock) {}
    test::VirtualWaitClock clock;
    std::vector<std::uint8_t> image;
    LptReaderTwin twin;
    LptReader reader;
};

LptReaderTwinSetup Logged() {
    LptReaderTwinSetup setup;
    setup.keepBusLog = true;
    return setup;
}

std::string Hex(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

TEST(LptReader, ReadAcrossTheEepromBoundarySelectsTheUpperOneAfresh) {
    Bench bench(Logged());
    ASSERT_TRUE(bench.reader.LptReaderOpen());
    bench.twin.ClearBusLog();
    std::uint8_t bytes[4];
    ASSERT_TRUE(bench.reader.Read(0x37FFE, bytes, 4, nullptr));
    EXPECT_EQ(
        std::vector<std::uint8_t>(bytes, bytes + 4),
        std::vector<std::uint8_t>(bench.image.begin() + 0x7FFE, bench.image.begin() + 0x8002));
    // The wire carries the inverted bytes; the last byte of each EEPROM is
    // not acknowledged. A stop from an idle bus shows as "S P".
    const auto raw = [&](std::uint32_t offset) { return Hex(~bench.image[offset] & 0xFF); };
    EXPECT_EQ(bench.twin.BusLog(), "S P S >A4+ >7F+ >FE+ P S >A5+ <" + raw(0x7FFE) + "+ <" +
                                       raw(0x7FFF) + "- P S P S >A2+ >00+ >00+ P S >A3+ <" +
                                       raw(0x8000) + "+ <" + raw(0x8001) + "- P");
}

struct WriteCase {
    const char* name;
    std::uint32_t offset;
    std::uint32_t count;
    std::vector<LptReaderTwin::PageWrite> pages;  // `at` filled by the test
};
void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class LptReaderWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(LptReaderWrite, GoesInPagesEachFollowedByItsWriteTime) {
    const WriteCase& c = GetParam();
    Bench bench;
    ASSERT_TRUE(bench.reader.LptReaderOpen());
    std::vector<std::uint8_t> data(c.count);
    std::iota(data.begin(), data.end(), std::uint8_t{0});  // includes 0x00, stored as 0xFF
    bench.clock.waits.clear();
    const milliseconds started = bench.clock.now;
    ProgressLog progress;
    ASSERT_TRUE(bench.reader.Write(0x30000 + c.offset, data.data(), c.count, &progress));

    ASSERT_EQ(bench.twin.PageWrites().size(), c.pages.size());
    for (std::size_t i = 0; i < c.pages.size(); ++i) {
        const auto& page = bench.twin.PageWrites()[i];
        EXPECT_EQ(page.device, c.pages[i].device) << i;
        EXPECT_EQ(page.first, c.pages[i].first) << i;
        EXPECT_EQ(page.count, c.pages[i].count) << i;
        // Each page after the first waited out the one before.
        EXPECT_EQ(page.at, started + milliseconds(50) * static_cast<int>(i)) << i;
    }
    EXPECT_EQ(bench.clock.waits, std::vector<milliseconds>(c.pages.size(), milliseconds(50)));
    EXPECT_EQ(bench.twin.StoredByte(c.offset), 0xFF);
    std::vector<std::uint8_t> expected = bench.image;
    std::copy(data.begin(), data.end(), expected.begin() + c.offset);
    EXPECT_EQ(bench.twin.Image(), expected);
    EXPECT_EQ(progress.positions.front(), 1);
    EXPECT_EQ(progress.positions.back(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LptReaderWrite,
    testing::Values(WriteCase{"ThreeBytesAt5", 5, 3, {{0x52, 5, 3, {}}}},
                    WriteCase{"HundredBytesAt0x20",
                              0x20,
                              100,
                              {{0x52, 0x20, 32, {}}, {0x52, 0x40, 64, {}}, {0x52, 0x80, 4, {}}}},
                    WriteCase{"AcrossTheEepromBoundary",
                              0x7FFC,
                              8,
                              {{0x52, 0x7FFC, 4, {}}, {0x51, 0x0000, 4, {}}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LptReader, ThreeByteWriteSendsTheInvertedBytesAfterTheAddress) {
    Bench bench(Logged());
    ASSERT_TRUE(bench.reader.LptReaderOpen());
    bench.twin.ClearBusLog();
    const std::uint8_t data[] = {0x00, 0x5A, 0xFF};
    ASSERT_TRUE(bench.reader.LptReaderWrite(5, data, 3, nullptr));
    EXPECT_EQ(bench.twin.BusLog(), "S P S >A4+ >00+ >05+ >FF+ >A5+ >00+ P");
}

TEST(LptReader, WholeImageReadsBackEqualWithinTheAccessBudgetAndCleanLines) {
    LptReaderTwinSetup setup;
    setup.keepDataWrites = true;
    Bench bench(setup);
    ASSERT_TRUE(bench.reader.Open());
    const std::uint64_t before = bench.twin.Accesses();
    std::vector<std::uint8_t> read(0x10000);
    ASSERT_TRUE(bench.reader.Read(0x30000, read.data(), 0x10000, nullptr));
    EXPECT_EQ(read, bench.image);
    EXPECT_LE(bench.twin.Accesses() - before, 60u * 0x10000);
    bench.reader.Close();

    // Only SCL, SDA and the reader's three lines are ever driven; SCL and
    // SDA never move in one write; D0 and D1 are off whenever SDA moves
    // under a high SCL (every start and stop condition).
    std::uint8_t previous = 0;
    for (const std::uint8_t value : bench.twin.DataWrites()) {
        ASSERT_EQ(value & ~0x67, 0) << std::hex << int(value);
        const std::uint8_t changed = value ^ previous;
        ASSERT_NE(changed & 0x60, 0x60) << std::hex << int(previous) << "->" << int(value);
        if ((changed & 0x20) && (value & previous & 0x40)) {
            ASSERT_EQ(value & 0x03, 0);
        }
        previous = value;
    }
    EXPECT_EQ(bench.twin.DataWrites().back(), 0);
}

struct FaultCase {
    const char* name;
    LptReaderTwinSetup setup;
    // Where the failure shows: at the open, or at a 16-byte read at 0x7FF8.
    bool atOpen;
    TransferError error;
    int systemError;
};
void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

LptReaderTwinSetup With(void (*change)(LptReaderTwinSetup&)) {
    LptReaderTwinSetup setup;
    change(setup);
    return setup;
}

class LptReaderFault : public testing::TestWithParam<FaultCase> {};

TEST_P(LptReaderFault, EndsTheTransferWithItsKindAndTheProgressAtZero) {
    const FaultCase& c = GetParam();
    Bench bench(c.setup);
    const TransferResult opened = bench.reader.Open();
    TransferResult result = opened;
    ProgressLog progress;
    if (!c.atOpen) {
        ASSERT_TRUE(opened);
        std::uint8_t bytes[16];
        result = bench.reader.Read(0x37FF8, bytes, sizeof bytes, &progress);
    }
    EXPECT_EQ(result.Error(), c.error);
    EXPECT_EQ(result.SystemError(), c.systemError);
    if (!c.atOpen) {
        EXPECT_EQ(progress.positions.back(), 0);
    }
    bench.reader.Close();
    EXPECT_FALSE(bench.twin.LptAccessReady());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LptReaderFault,
    testing::Values(FaultCase{"ReaderAbsent", With([](auto& s) { s.readerAbsent = true; }), true,
                              TransferError::NoAnswer, 0},
                    FaultCase{"PortBusy", With([](auto& s) { s.openError = EBUSY; }), true,
                              TransferError::Refused, EBUSY},
                    FaultCase{"NoSuchPort", With([](auto& s) { s.openError = ENOENT; }), true,
                              TransferError::Refused, ENOENT},
                    FaultCase{"DeviceByteNotAcknowledged", With([](auto& s) { s.nackAtByte = 1; }),
                              false, TransferError::NotAcknowledged, 0},
                    // Byte 5 is the read device byte after the three of the select.
                    FaultCase{"ReadDeviceByteNotAcknowledged",
                              With([](auto& s) { s.nackAtByte = 4; }), false,
                              TransferError::NotAcknowledged, 0},
                    // Bytes 5..8 select the upper EEPROM after eight bytes of the lower.
                    FaultCase{"UpperEepromNotAcknowledged", With([](auto& s) { s.nackAtByte = 6; }),
                              false, TransferError::NotAcknowledged, 0},
                    FaultCase{"ClockHeldLow", With([](auto& s) { s.holdSclAtByte = 2; }), false,
                              TransferError::NoAnswer, 0},
                    // A port gone mid-read must not read as acknowledges and 0xFF data.
                    FaultCase{"PortGoneMidRead", With([](auto& s) { s.unplugAfterAccesses = 500; }),
                              false, TransferError::DeviceGone, ENODEV}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LptReader, AbsentReaderIsKnownAfterThePowerOnSettling) {
    Bench bench(With([](auto& s) { s.readerAbsent = true; }));
    EXPECT_FALSE(bench.reader.Open());
    EXPECT_EQ(bench.clock.waits, (std::vector<milliseconds>{milliseconds(100), milliseconds(200)}));
}

TEST(LptReader, HeldClockFailsWithinTheStretchLimitAndStretchingWithinItWorks) {
    Bench held(With([](auto& s) { s.holdSclAtByte = 1; }));
    ASSERT_TRUE(held.reader.Open());
    const milliseconds started = held.clock.now;
    std::uint8_t byte = 0;
    EXPECT_EQ(held.reader.Read(0x30000, &byte, 1, nullptr).Error(), TransferError::NoAnswer);
    EXPECT_GE(held.clock.now - started, LptI2cBus::kSclStretchLimit);
    EXPECT_LE(held.clock.now - started, LptI2cBus::kSclStretchLimit + milliseconds(1));

    Bench stretched(With([](auto& s) { s.stretchReads = 5; }));
    ASSERT_TRUE(stretched.reader.Open());
    std::uint8_t bytes[3];
    ASSERT_TRUE(stretched.reader.Read(0x30100, bytes, 3, nullptr));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 3),
              std::vector<std::uint8_t>(stretched.image.begin() + 0x100,
                                        stretched.image.begin() + 0x103));
}

// The twin's port with a hiccup: while `failing`, every access fails as
// with a device that went away.
struct FlakyPort final : LptPortAccess {
    explicit FlakyPort(LptPortAccess& port) : inner(port) {}
    TransferResult LptOpenAccess() override { return inner.LptOpenAccess(); }
    void LptCloseAccess() override { inner.LptCloseAccess(); }
    bool LptAccessReady() const override { return inner.LptAccessReady(); }
    TransferResult LptReadPort(LptPortRecord& record) override {
        return failing ? FailureFromErrno(ENODEV, true) : inner.LptReadPort(record);
    }
    TransferResult LptWritePort(const LptPortRecord& record) override {
        return failing ? FailureFromErrno(ENODEV, true) : inner.LptWritePort(record);
    }
    LptPortAccess& inner;
    bool failing = false;
};

// A read cut off by a port fault leaves the EEPROM in the middle of sending
// a byte of zeros (an image byte 0xFF is stored 0x00), holding SDA low; the
// next transfer must free the bus before its start condition.
TEST(LptReader, ATransferStartedOnABusLeftHeldFreesItFirst) {
    test::VirtualWaitClock clock;
    std::vector<std::uint8_t> image = PatternImage();
    std::fill_n(image.begin(), 16, std::uint8_t{0xFF});
    LptReaderTwin twin(image, clock, Logged());
    FlakyPort port(twin);
    LptReader reader(port, clock);
    ASSERT_TRUE(reader.Open());
    struct CutOff final : ProgressSink {
        FlakyPort* port = nullptr;
        void SetPosition(int percent) override {
            if (percent >= 25) port->failing = true;
        }
    } cutOff;
    cutOff.port = &port;
    std::uint8_t bytes[8] = {};
    EXPECT_EQ(reader.Read(0x30000, bytes, 8, &cutOff).Error(), TransferError::DeviceGone);

    port.failing = false;
    twin.ClearBusLog();
    ASSERT_TRUE(reader.Read(0x30000, bytes, 8, nullptr));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 8),
              std::vector<std::uint8_t>(image.begin(), image.begin() + 8));
    // The EEPROM clocks out the rest of its byte, takes no acknowledge and
    // lets go; a stop ends its transfer before the new one begins.
    EXPECT_EQ(twin.BusLog().substr(0, 12), "<00- P S P S");
}

// The stop after the last byte is the transfer's last word: a port lost at
// any access of it (the stop and its indication) fails the transfer.
TEST(LptReader, APortLostAtTheClosingStopFailsTheTransfer) {
    Bench whole;
    ASSERT_TRUE(whole.reader.Open());
    std::uint8_t bytes[16];
    ASSERT_TRUE(whole.reader.Read(0x30100, bytes, 16, nullptr));
    const std::uint64_t accesses = whole.twin.Accesses();
    for (std::uint64_t lost = 1; lost <= 9; ++lost) {
        LptReaderTwinSetup setup;
        setup.unplugAfterAccesses = accesses - lost;
        Bench bench(setup);
        ASSERT_TRUE(bench.reader.Open());
        EXPECT_EQ(bench.reader.Read(0x30100, bytes, 16, nullptr).Error(), TransferError::DeviceGone)
            << lost;
    }
}

TEST(LptReader, RequestsPastTheImageMoveNothing) {
    Bench bench;
    ASSERT_TRUE(bench.reader.Open());
    const std::uint64_t before = bench.twin.Accesses();
    std::uint8_t bytes[2] = {};
    EXPECT_EQ(bench.reader.Read(0x3FFFF, bytes, 2, nullptr).Error(), TransferError::OutOfRange);
    EXPECT_EQ(bench.reader.Write(0x3FFFF, bytes, 2, nullptr).Error(), TransferError::OutOfRange);
    EXPECT_TRUE(bench.reader.Read(0x3FFFF, bytes, 0, nullptr));
    EXPECT_EQ(bench.twin.Accesses(), before);
}

TEST(LptReader, ThroughTheDispatchTheNewDataMarkIsCleared) {
    test::VirtualWaitClock clock;
    std::vector<std::uint8_t> image = PatternImage();
    image[5] = 123;
    image[6] = image[7] = image[8] = 0;
    LptReaderTwin twin(image, clock);
    LptReader reader(twin, clock);
    DumpFileChoice choice;
    DumpFile dumpFile(choice);
    PassportSheet sheet;
    Dispatch dispatch(dumpFile, sheet);
    dispatch.AttachLptReader(&reader);
    ASSERT_TRUE(dispatch.OpenSource(SourceKind::LptReader));
    EXPECT_TRUE(dispatch.ClearReaderNewMark());
    EXPECT_EQ(twin.Image()[5], 0);
    EXPECT_EQ(twin.StoredByte(5), 0xFF);
    EXPECT_TRUE(dispatch.CloseSource());
    EXPECT_FALSE(twin.LptAccessReady());
}

}  // namespace
}  // namespace zorvek
