#include "access/dispatch.h"

#include <gtest/gtest.h>

#include "access/dump_file.h"
#include "model/cp1251.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

namespace map = memory_map;

// A device source that remembers what it was asked.
struct FakeDevice : MemorySource {
    bool opens = true;
    std::uint32_t lastAddress = 0;
    ProgressSink* lastProgress = nullptr;
    int closes = 0;
    TransferResult Open() override {
        return opens ? TransferResult::Ok() : TransferResult::Fail(TransferError::NoAnswer);
    }
    bool Close() override {
        ++closes;
        return true;
    }
    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink* progress) override {
        lastAddress = address;
        lastProgress = progress;
        std::fill(buffer, buffer + count, std::uint8_t{0x77});
        return TransferResult::Ok();
    }
    TransferResult Write(std::uint32_t address, const std::uint8_t*, std::uint32_t,
                         ProgressSink*) override {
        lastAddress = address;
        return TransferResult::Ok();
    }
};

struct NullProgress : ProgressSink {
    void SetPosition(int) override {}
};

class DispatchTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_image.assign(map::kImageSize, 0);
        for (std::size_t i = 0; i < m_image.size(); ++i) m_image[i] = static_cast<std::uint8_t>(i);
        m_choice.craneKind = 0;
    }
    // Windows removes no file that is still open.
    void TearDown() override {
        m_dispatch.CloseSource();
        TempDirTest::TearDown();
    }
    void UseImage() { m_choice.startupArgument = WriteFile("image.krd", m_image); }

    std::vector<std::uint8_t> m_image;
    DumpFileChoice m_choice;
    DumpFile m_dumpFile{m_choice};
    PassportSheet m_sheet;
    NullProgress m_mainProgress;
    Dispatch m_dispatch{m_dumpFile, m_sheet, &m_mainProgress};
};

TEST_F(DispatchTest, DumpFileAddressesMapToFileOffsets) {
    UseImage();
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
    std::uint8_t dword[4];
    ASSERT_TRUE(m_dispatch.ReadMemory(map::kEndOfCopyMarkAddress, dword, 4, nullptr));
    EXPECT_EQ(dword[0], m_image[0xEBA2]);
    EXPECT_EQ(m_dispatch.CurrentBank(), 3);

    std::vector<std::uint8_t> whole(map::kImageSize);
    EXPECT_TRUE(m_dispatch.ReadMemory(0x30000, whole.data(), map::kImageSize, nullptr));
    EXPECT_EQ(whole, m_image);
    EXPECT_FALSE(m_dispatch.ReadMemory(0x30001, whole.data(), map::kImageSize, nullptr));
}

TEST_F(DispatchTest, WorkingMemoryStandsInAsZeros) {
    UseImage();
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
    std::vector<std::uint8_t> live(161, 0xEE);
    ASSERT_TRUE(m_dispatch.ReadMemory(map::kLiveCountersAddress, live.data(), 161, nullptr));
    EXPECT_EQ(live, std::vector<std::uint8_t>(161, 0));
    EXPECT_EQ(m_dispatch.CurrentBank(), 0);

    std::uint8_t byte = 0;
    EXPECT_TRUE(m_dispatch.ReadMemory(1535, &byte, 1, nullptr));
    EXPECT_FALSE(m_dispatch.ReadMemory(1535, live.data(), 2, nullptr));
    EXPECT_FALSE(m_dispatch.ReadMemory(0xFFFF, live.data(), 2, nullptr));

    const std::uint8_t mark = 9;
    EXPECT_TRUE(m_dispatch.WriteMemory(0x10, &mark, 1, nullptr));
    EXPECT_EQ(m_dispatch.RamWindow()[0x10], 9);
    // Past the window: nothing.
    EXPECT_FALSE(m_dispatch.WriteMemory(1535, live.data(), 2, nullptr));
    EXPECT_EQ(m_dispatch.RamWindow()[1535], 0);

    // Every non-recorder open starts from zeros again.
    m_dispatch.CloseSource();
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
    EXPECT_EQ(m_dispatch.RamWindow()[0x10], 0);
}

TEST_F(DispatchTest, OneSourceAtATime) {
    std::uint8_t byte = 0;
    EXPECT_TRUE(m_dispatch.ReadMemory(0x30000, &byte, 0, nullptr));  // nothing asked, nothing open
    EXPECT_FALSE(m_dispatch.ReadMemory(0x30000, &byte, 1, nullptr));
    EXPECT_FALSE(m_dispatch.CloseSource());

    // A failed open keeps the kind until the caller closes it.
    m_choice.startupArgument = m_dir / "missing.krd";
    EXPECT_FALSE(m_dispatch.OpenSource(SourceKind::DumpFile));
    EXPECT_EQ(m_dispatch.Kind(), SourceKind::DumpFile);
    EXPECT_FALSE(m_dispatch.OpenSource(SourceKind::DumpFile));
    EXPECT_FALSE(m_dispatch.CloseSource());  // no file was open
    EXPECT_EQ(m_dispatch.Kind(), SourceKind::None);

    UseImage();
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
    EXPECT_FALSE(m_dispatch.OpenSource(SourceKind::Recorder));
    EXPECT_EQ(m_dispatch.Kind(), SourceKind::DumpFile);
    EXPECT_TRUE(m_dispatch.CloseSource());
}

TEST_F(DispatchTest, DevicesWithoutADriverDoNotOpen) {
    EXPECT_FALSE(m_dispatch.OpenSource(SourceKind::Recorder));
    EXPECT_TRUE(m_dispatch.CloseSource());
    EXPECT_FALSE(m_dispatch.OpenSource(SourceKind::LptReader));
    EXPECT_TRUE(m_dispatch.CloseSource());
}

TEST_F(DispatchTest, RecorderGetsFullAddressesAndTheMainProgress) {
    FakeDevice recorder;
    m_dispatch.AttachRecorder(&recorder);
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::Recorder));
    NullProgress other;
    std::uint8_t bytes[4];
    ASSERT_TRUE(m_dispatch.ReadMemory(0x200, bytes, 4, &other));
    EXPECT_EQ(recorder.lastAddress, 0x200u);  // the recorder has its own working memory
    EXPECT_EQ(recorder.lastProgress, &m_mainProgress);
    ASSERT_TRUE(m_dispatch.ReadMemory(0x3056C, bytes, 4, nullptr));
    EXPECT_EQ(recorder.lastAddress, 0x3056Cu);
    EXPECT_TRUE(m_dispatch.CloseSource());
    EXPECT_EQ(recorder.closes, 1);
}

TEST_F(DispatchTest, ReaderGetsRecorderAddressesAndBankZeroStaysLocal) {
    FakeDevice reader;
    m_dispatch.AttachLptReader(&reader);
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::LptReader));
    std::uint8_t bytes[4];
    ASSERT_TRUE(m_dispatch.ReadMemory(map::kEndOfCopyMarkAddress, bytes, 4, nullptr));
    EXPECT_EQ(reader.lastAddress, map::kEndOfCopyMarkAddress);  // the reader translates
    ASSERT_TRUE(m_dispatch.ReadMemory(0x200, bytes, 4, nullptr));
    EXPECT_EQ(reader.lastAddress, map::kEndOfCopyMarkAddress);
}

TEST_F(DispatchTest, NewDataMarkIsClearedOnlyWhenItIs123) {
    for (std::uint8_t mark : {std::uint8_t{123}, std::uint8_t{124}}) {
        std::fill_n(m_image.begin() + 5, 4, std::uint8_t{0});
        m_image[5] = mark;
        UseImage();
        ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
        EXPECT_TRUE(m_dispatch.ClearReaderNewMark());
        m_dispatch.CloseSource();
        EXPECT_EQ(ReadFile(m_choice.startupArgument)[5], mark == 123 ? 0 : 124);
    }
}

TEST_F(DispatchTest, PassportTextsReplaceTheSheet) {
    const std::string first = Cp1251FromUtf8("  ООО «Кран-Сервис»  ");
    std::copy(first.begin(), first.end(), m_image.begin() + 0x0A);
    m_image[0x0A + first.size()] = 0;
    std::fill_n(m_image.begin() + 0x0A + 64, 64, std::uint8_t{'7'});  // fills its field, no 0
    std::fill_n(m_image.begin() + 0x0A + 128, 64, std::uint8_t{0});
    UseImage();
    m_sheet.SetValue(2, "typed by the user");
    ASSERT_TRUE(m_dispatch.OpenSource(SourceKind::DumpFile));
    ASSERT_TRUE(m_dispatch.LoadPassportFromRecorder());
    EXPECT_EQ(Utf8FromCp1251(m_sheet.Value(0)), "ООО «Кран-Сервис»");
    EXPECT_EQ(m_sheet.Value(1), std::string(64, '7'));
    EXPECT_EQ(m_sheet.Value(2), "");
}

}  // namespace
}  // namespace zorvek
