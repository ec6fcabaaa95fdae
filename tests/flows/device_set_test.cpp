#include "flows/device_set.h"

#include <gtest/gtest.h>

#include <optional>

#include "model/bits.h"
#include "model/cp1251.h"
#include "sim/lpt_reader_twin.h"
#include "tests/support/usb_twin.h"

namespace zorvek {
namespace {

using Status = LoadOutcome::Status;
using Which = DeviceSet::Device;
using Bytes = std::vector<std::uint8_t>;

// The device set with the recorder on no port at all, the LPT reader on
// its register twin (or the system's port) and the USB reader behind the
// test's sysfs tree.
class DeviceSetTest : public test::UsbTwinTest {
  protected:
    void SetUp() override {
        UsbTwinTest::SetUp();
        m_session.choice.defaultFile = m_dir / "dannie.krd";
    }
    DeviceSet& Devices(LptPortAccess* lptPort = nullptr) {
        m_devices.reset();
        auto recorder = std::make_unique<RecorderSource>(
            MakeSystemSerialPort(m_clock), m_clock, [](int) { return std::filesystem::path(); });
        auto lpt = lptPort ? std::make_unique<LptReader>(*lptPort, m_clock)
                           : std::make_unique<LptReader>(MakeSystemLptPort(), m_clock);
        m_devices.emplace(m_session, m_clock,
                          DeviceSet::Drivers{std::move(recorder), std::move(lpt), Finder()});
        return *m_devices;
    }
    // A USB reader holding the image with its new-data mark (offset 5) and
    // end-of-copy mark (offset 0xEBA2) set, attached and ready.
    DeviceSet& AttachUsb(std::uint32_t newMark, std::uint32_t endMark = 0x55AA0502) {
        m_twins.clear();
        StoreLe(m_image, 5, 4, newMark);
        StoreLe(m_image, 0xEBA2, 4, endMark);
        Plug();
        DeviceSet& devices = Devices();
        EXPECT_TRUE(devices.WaitForUsbReader(std::chrono::seconds(3)));
        return devices;
    }
    std::uint32_t NewMarkInReader() {
        return Device([](sim::UsbReaderDevice& d) { return LoadLe(d.Image(), 5, 4); });
    }

    test::ProgressLog m_progress;
    Session m_session{&m_progress};
    std::optional<DeviceSet> m_devices;
};

TEST_F(DeviceSetTest, UsbLoadClearsTheNewDataMarkOnlyForItsThreeValues) {
    struct Case {
        std::uint32_t mark;
        std::uint32_t after;
    };
    const Case cases[] = {{123, 0}, {0, 0}, {0xFFFFFFFF, 0}, {122, 122}, {124, 124}, {1, 1}};
    for (const Case& c : cases) {
        const LoadOutcome outcome = AttachUsb(c.mark).Load(Which::UsbReader);
        ASSERT_TRUE(outcome.Loaded()) << c.mark;
        EXPECT_EQ(NewMarkInReader(), c.after) << c.mark;
        // The dump file keeps the mark as it was read.
        EXPECT_EQ(LoadLe(ReadFile(m_session.choice.defaultFile), 5, 4), c.mark);
    }
}

TEST_F(DeviceSetTest, UsbLoadReplacesAnOpenFileAndLeavesItUnsaved) {
    DeviceSet& devices = AttachUsb(123);
    ASSERT_TRUE(devices.Load(Which::UsbReader).Loaded());
    EXPECT_EQ(m_session.saveState, Session::SaveState::Unsaved);
    EXPECT_EQ(m_progress.positions.front(), 1);
    // The file of the first load is still the open source; a second load
    // must not trip over it.
    m_session.saveState = Session::SaveState::Saved;
    const LoadOutcome again = devices.Load(Which::UsbReader);
    EXPECT_TRUE(again.Loaded());
    EXPECT_EQ(again.source, SourceKind::DumpFile);
    EXPECT_EQ(m_session.saveState, Session::SaveState::Unsaved);
}

// The copy is 512 chunks of three frames each; the end-of-copy mark's read
// follows as three more (link mode 1, the read, link mode 2).
TEST_F(DeviceSetTest, UsbFailuresSayWhatHappenedAndReplaceTheFileOnlyWithAWholeCopy) {
    struct Case {
        const char* name;
        std::uint32_t endMark;
        std::uint32_t unplugAfter;  // frames after the handshake; 0 never
        std::set<std::uint32_t> noAnswer;
        Status status;
        const char* message;
        bool fileReplaced;
    };
    const Case cases[] = {
        {"incomplete copy",
         0x55AA0501,
         0,
         {},
         Status::ReaderFormatMismatch,
         "Не верный формат данных!",
         true},
        {"reader gone",
         0x55AA0502,
         1,
         {},
         Status::ReaderCopyFailed,
         "Ошибка чтения данных!",
         false},
        {"gone after the last chunk",
         0x55AA0502,
         1536,
         {},
         Status::ReaderCopyFailed,
         "Ошибка чтения данных!",
         false},
        {"end mark twice unanswered",
         0x55AA0502,
         0,
         {1538, 1539},
         Status::ReaderCopyFailed,
         "Ошибка чтения данных!",
         false},
    };
    const Bytes older{1, 2, 3};
    for (const Case& c : cases) {
        m_session.dispatch.CloseSource();
        WriteFile("dannie.krd", older);
        DeviceSet& devices = AttachUsb(123, c.endMark);
        Device([&](sim::UsbReaderDevice& d) {
            const std::uint32_t base = d.FramesSeen();
            if (c.unplugAfter != 0) d.faults.unplugAfter = base + c.unplugAfter;
            for (const std::uint32_t frame : c.noAnswer) d.faults.noAnswer.insert(base + frame);
        });
        const LoadOutcome outcome = devices.Load(Which::UsbReader);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(LoadMessage(outcome), Cp1251FromUtf8(c.message)) << c.name;
        EXPECT_EQ(ReadFile(m_session.choice.defaultFile) != older, c.fileReplaced) << c.name;
        EXPECT_EQ(m_session.saveState, Session::SaveState::Nothing) << c.name;
        EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::None) << c.name;
        EXPECT_EQ(NewMarkInReader(), 123u) << c.name;
    }
}

TEST_F(DeviceSetTest, ALoadThatStopsEarlyClosesItsDeviceAndNamesIt) {
    // An LPT reader whose copy is not complete: the end mark is missing.
    const sim::Image image = sim::GenerateImage({.variant = sim::ImageVariant::NoEndMark});
    sim::LptReaderTwin lpt(image, m_clock);
    DeviceSet& devices = Devices(&lpt);
    struct Case {
        Which device;
        Status status;
        const char* message;
    };
    const Case cases[] = {
        {Which::Recorder, Status::NoConnection, "   Нет связи с прибором"},
        {Which::LptReader, Status::EndMarkMissing,
         "Данные считаны не до конца либо не верный формат данных."},
        {Which::UsbReader, Status::NoConnection, "Нет связи с прибором считывания"},
    };
    for (const Case& c : cases) {
        const LoadOutcome outcome = devices.Load(c.device);
        EXPECT_EQ(outcome.status, c.status) << int(c.device);
        EXPECT_EQ(LoadMessage(outcome), Cp1251FromUtf8(c.message)) << int(c.device);
        EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::None) << int(c.device);
    }
    EXPECT_FALSE(lpt.LptAccessReady());
}

}  // namespace
}  // namespace zorvek
