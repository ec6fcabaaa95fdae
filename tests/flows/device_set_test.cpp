#include <gtest/gtest.h>

#include "flows/load_flow.h"
#include "flows/usb_reader_control.h"
#include "model/bits.h"
#include "model/cp1251.h"
#include "tests/support/usb_twin.h"

namespace zorvek {
namespace {

using Status = LoadOutcome::Status;

class UsbLoadTest : public test::UsbTwinTest {
  protected:
    void SetUp() override {
        UsbTwinTest::SetUp();
        m_session.choice.defaultFile = m_dir / "dannie.krd";
    }
    // A reader holding the image with its new-data mark (offset 5) and
    // end-of-copy mark (offset 0xEBA2) set, attached and ready.
    UsbReaderControl& Attach(std::uint32_t newMark, std::uint32_t endMark = 0x55AA0502) {
        StoreLe(m_image, 5, 4, newMark);
        StoreLe(m_image, 0xEBA2, 4, endMark);
        Plug();
        m_control.emplace(m_clock, Finder());
        EXPECT_TRUE(m_control->WaitUntilReady(std::chrono::seconds(3)));
        return *m_control;
    }
    std::uint32_t NewMarkInReader() {
        return Device([](sim::UsbReaderDevice& d) { return LoadLe(d.Image(), 5, 4); });
    }

    test::ProgressLog m_progress;
    Session m_session{&m_progress};
    std::optional<UsbReaderControl> m_control;
};

TEST_F(UsbLoadTest, ClearsTheNewDataMarkOnlyForItsThreeValues) {
    struct Case {
        std::uint32_t mark;
        std::uint32_t after;
    };
    const Case cases[] = {{123, 0}, {0, 0}, {0xFFFFFFFF, 0}, {122, 122}, {124, 124}, {1, 1}};
    for (const Case& c : cases) {
        m_control.reset();
        m_twins.clear();
        m_session.dispatch.CloseSource();
        UsbReaderControl& control = Attach(c.mark);
        const LoadOutcome outcome = control.Load(m_session);
        ASSERT_TRUE(outcome.Loaded()) << c.mark;
        EXPECT_EQ(NewMarkInReader(), c.after) << c.mark;
        // The dump file keeps the mark as it was read.
        EXPECT_EQ(LoadLe(ReadFile(m_session.choice.defaultFile), 5, 4), c.mark);
    }
}

TEST_F(UsbLoadTest, LoadsTheCopyOverAnOpenFileAndLeavesItUnsaved) {
    UsbReaderControl& control = Attach(123);
    ASSERT_TRUE(control.Load(m_session).Loaded());
    EXPECT_EQ(m_session.saveState, Session::SaveState::Unsaved);
    EXPECT_EQ(m_progress.positions.front(), 1);
    // The file of the first load is still the open source; a second load
    // must not trip over it.
    m_session.saveState = Session::SaveState::Saved;
    const LoadOutcome again = control.Load(m_session);
    EXPECT_TRUE(again.Loaded());
    EXPECT_EQ(again.source, SourceKind::DumpFile);
    EXPECT_EQ(m_session.saveState, Session::SaveState::Unsaved);
}

TEST_F(UsbLoadTest, FailuresSayWhatHappenedAndLeaveTheStateAlone) {
    struct Case {
        const char* name;
        std::uint32_t endMark;
        bool unplugged;
        Status status;
        const char* message;
        bool fileWritten;
    };
    const Case cases[] = {
        {"incomplete copy", 0x55AA0501, false, Status::ReaderFormatMismatch,
         "Не верный формат данных!", true},
        {"reader gone", 0x55AA0502, true, Status::ReaderCopyFailed, "Ошибка чтения данных!", false},
    };
    for (const Case& c : cases) {
        m_control.reset();
        m_twins.clear();
        std::filesystem::remove(m_session.choice.defaultFile);
        UsbReaderControl& control = Attach(123, c.endMark);
        if (c.unplugged) m_twins.front()->Unplug();
        const LoadOutcome outcome = control.Load(m_session);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(LoadMessage(outcome), Cp1251FromUtf8(c.message)) << c.name;
        EXPECT_EQ(std::filesystem::exists(m_session.choice.defaultFile), c.fileWritten) << c.name;
        EXPECT_EQ(m_session.saveState, Session::SaveState::Nothing) << c.name;
        EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::None) << c.name;
        EXPECT_EQ(NewMarkInReader(), 123u) << c.name;
    }
}

}  // namespace
}  // namespace zorvek
