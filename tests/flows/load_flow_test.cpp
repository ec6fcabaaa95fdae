#include "flows/load_flow.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "model/cp1251.h"
#include "model/memory_map.h"
#include "reports/common/utf8_path.h"
#include "sim/image_generator.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

namespace map = memory_map;
using Status = LoadOutcome::Status;

// A device holding an image: it answers reads of bank 3 and takes writes,
// and can refuse its open or stop answering after some bytes.
struct ImageDevice : MemorySource {
    std::vector<std::uint8_t> image;
    bool answers = true;
    std::uint32_t answersBytes = UINT32_MAX;  // then the line goes quiet
    int opens = 0;

    TransferResult Open() override {
        ++opens;
        return answers ? TransferResult::Ok() : TransferResult::Fail(TransferError::NoAnswer);
    }
    bool Close() override { return true; }
    TransferResult Read(std::uint32_t address, std::uint8_t* buffer, std::uint32_t count,
                        ProgressSink*) override {
        if (count > answersBytes) return TransferResult::Fail(TransferError::NoAnswer);
        answersBytes -= count;
        std::memcpy(buffer, image.data() + map::Offset(address), count);
        return TransferResult::Ok();
    }
    TransferResult Write(std::uint32_t address, const std::uint8_t* buffer, std::uint32_t count,
                         ProgressSink*) override {
        std::memcpy(image.data() + map::Offset(address), buffer, count);
        return TransferResult::Ok();
    }
};

class LoadFlowTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        const auto generated = sim::GenerateImage({.variant = sim::ImageVariant::ReaderCopy});
        m_device.image.assign(generated.begin(), generated.end());
        m_session.choice.defaultFile = m_dir / "dannie.krd";
        m_session.dispatch.AttachRecorder(&m_device);
        m_session.dispatch.AttachLptReader(&m_device);
    }
    // Windows will not remove a folder with the dump file still open in it.
    void TearDown() override {
        m_session.dispatch.CloseSource();
        TempDirTest::TearDown();
    }

    ImageDevice m_device;
    Session m_session;
};

TEST_F(LoadFlowTest, DeviceLoadStoresTheImageAndServesReportsFromTheFile) {
    for (const SourceKind kind : {SourceKind::Recorder, SourceKind::LptReader}) {
        m_session.dispatch.CloseSource();
        const auto before = m_device.image;
        const LoadOutcome outcome = kind == SourceKind::Recorder ? LoadFromRecorder(m_session)
                                                                 : LoadFromLptReader(m_session);
        ASSERT_TRUE(outcome.Loaded()) << int(kind);
        EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::DumpFile);
        EXPECT_EQ(m_session.dumpFile.FileName(), m_session.choice.defaultFile);
        EXPECT_EQ(m_session.saveState, Session::SaveState::Unsaved);
        EXPECT_FALSE(m_session.choice.freshRead);
        EXPECT_FALSE(m_session.sheet.Value(0).empty());
        // Only the LPT load clears the reader's new-data mark, on the reader
        // once the copy is stored; the copy keeps the mark as it was read.
        EXPECT_EQ(ReadFile(m_session.choice.defaultFile), before);
        EXPECT_EQ(m_device.image[5], kind == SourceKind::LptReader ? 0 : 123) << int(kind);
        m_device.image = before;
    }
}

// Whatever the load before left open (the default dump file of a device
// load, a file the user chose), the next device load opens its device.
TEST_F(LoadFlowTest, EachDeviceLoadOpensItsDeviceWhateverIsLoaded) {
    enum class Load { File, Recorder, Lpt };
    const auto chosen = WriteFile("chosen.krd", m_device.image);
    const std::vector<Load> sequences[] = {
        {Load::Recorder, Load::Recorder},
        {Load::Lpt, Load::Lpt},
        {Load::File, Load::Recorder},
        {Load::File, Load::Lpt},
    };
    for (const auto& sequence : sequences) {
        m_session.dispatch.CloseSource();
        for (const Load load : sequence) {
            const int opensBefore = m_device.opens;
            LoadOutcome outcome;
            if (load == Load::File) {
                m_session.choice.namedFile = chosen;
                outcome = LoadFromFile(m_session);
            } else {
                outcome = load == Load::Recorder ? LoadFromRecorder(m_session)
                                                 : LoadFromLptReader(m_session);
            }
            ASSERT_TRUE(outcome.Loaded()) << int(load) << " after " << int(sequence.front());
            EXPECT_EQ(m_device.opens, opensBefore + (load == Load::File ? 0 : 1)) << int(load);
            EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::DumpFile);
        }
    }
    // A device that does not answer then leaves nothing open, and says why.
    m_device.answers = false;
    const LoadOutcome silent = LoadFromRecorder(m_session);
    EXPECT_EQ(silent.status, Status::NoConnection);
    EXPECT_EQ(silent.transfer.Error(), TransferError::NoAnswer);
    EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::None);
}

TEST_F(LoadFlowTest, FailedDeviceLoadsSayWhyAndKeepStaleDataOut) {
    const auto older = WriteFile("dannie.krd", std::vector<std::uint8_t>(map::kImageSize, 0x11));
    struct Case {
        const char* what;
        SourceKind kind;
        std::function<void(ImageDevice&)> fault;
        Status status;
        SourceKind openAfterwards;
        const char* message;  // UTF-8
        TransferError why;
    };
    const Case cases[] = {
        {"recorder silent", SourceKind::Recorder, [](ImageDevice& d) { d.answers = false; },
         Status::NoConnection, SourceKind::None, "   Нет связи с прибором",
         TransferError::NoAnswer},
        {"reader silent", SourceKind::LptReader, [](ImageDevice& d) { d.answers = false; },
         Status::NoConnection, SourceKind::None, "Нет связи с прибором считывания",
         TransferError::NoAnswer},
        {"other format", SourceKind::Recorder, [](ImageDevice& d) { d.image[0] = 0x01; },
         Status::FormatMismatch, SourceKind::Recorder,
         "Не верный  формат  данных!\r\nВерия данных:      55AA0501\r\nВерия программы: 55AA0502",
         TransferError::None},
        {"copy incomplete", SourceKind::LptReader, [](ImageDevice& d) { d.image[0xEBA2] = 0; },
         Status::EndMarkMissing, SourceKind::LptReader,
         "Данные считаны не до конца либо не верный формат данных.", TransferError::None},
        // The format signature arrives, the end-of-copy mark after it does not.
        {"reader fails at the end mark", SourceKind::LptReader,
         [](ImageDevice& d) { d.answersBytes = 4; }, Status::ReadFailed, SourceKind::LptReader, "",
         TransferError::NoAnswer},
        // The passport (1,280 bytes) arrives, the whole image does not.
        {"line lost mid-image", SourceKind::Recorder, [](ImageDevice& d) { d.answersBytes = 4000; },
         Status::SaveReadFailed, SourceKind::None, "\rОшибка чтения данных",
         TransferError::NoAnswer},
        {"reader lost mid-image", SourceKind::LptReader,
         [](ImageDevice& d) { d.answersBytes = 4000; }, Status::SaveReadFailed, SourceKind::None,
         "\rОшибка чтения данных", TransferError::NoAnswer},
    };
    for (const Case& c : cases) {
        ImageDevice device = m_device;
        c.fault(device);
        Session session;
        session.choice.defaultFile = older;
        session.dispatch.AttachRecorder(&device);
        session.dispatch.AttachLptReader(&device);
        const LoadOutcome outcome =
            c.kind == SourceKind::Recorder ? LoadFromRecorder(session) : LoadFromLptReader(session);
        EXPECT_EQ(outcome.status, c.status) << c.what;
        EXPECT_EQ(Utf8FromCp1251(LoadMessage(outcome)), c.message) << c.what;
        EXPECT_EQ(outcome.transfer.Error(), c.why) << c.what;
        EXPECT_EQ(session.dispatch.Kind(), c.openAfterwards) << c.what;
        EXPECT_EQ(session.saveState, Session::SaveState::Nothing) << c.what;
        EXPECT_FALSE(session.choice.freshRead) << c.what;
        EXPECT_EQ(ReadFile(older), std::vector<std::uint8_t>(map::kImageSize, 0x11)) << c.what;
        // The reader still shows its data as new at the next read.
        EXPECT_EQ(device.image[5], 123) << c.what;
    }
}

// A failed load's headline, then its reason on a line of its own; nothing
// where the user cancelled or the file load says it itself.
TEST(LoadFailureMessage, AHeadlineThenTheReason) {
    using E = TransferError;
    struct Case {
        Status status;
        SourceKind source;
        TransferResult transfer;
        const char* message;  // UTF-8
    };
    const Case cases[] = {
        {Status::Loaded, SourceKind::Recorder, {}, ""},
        {Status::FileNotOpened, SourceKind::DumpFile, TransferResult::Fail(E::Refused, ENOENT), ""},
        {Status::NoConnection, SourceKind::Recorder, TransferResult::Fail(E::Refused, EBUSY),
         "   Нет связи с прибором\r\nПричина: устройство занято другой программой"},
        // A serial search speaks of all eight ports, not of the last one tried.
        {Status::NoConnection, SourceKind::Recorder, TransferResult::Fail(E::NoRecorder),
         "   Нет связи с прибором\r\nПричина: прибор не ответил ни на одном из портов COM1–COM8"},
        {Status::NoConnection, SourceKind::Recorder, TransferResult::Fail(E::NoRecorder, ENOENT),
         "   Нет связи с прибором\r\nПричина: в системе нет ни одного из портов COM1–COM8"},
        {Status::NoConnection, SourceKind::Recorder, TransferResult::Fail(E::NoRecorder, ENOTTY),
         "   Нет связи с прибором\r\nПричина: не открылся ни один из портов COM1–COM8: это не "
         "последовательный порт"},
        // The USB reader is not attached: nothing failed, nothing to explain.
        {Status::NoConnection, SourceKind::None, {}, "Нет связи с прибором считывания"},
        {Status::ReadFailed, SourceKind::LptReader, TransferResult::Fail(E::NotAcknowledged),
         "Ошибка чтения данных\r\nПричина: прибор не подтвердил приём"},
        {Status::ReadFailed, SourceKind::Recorder, TransferResult::Fail(E::Cancelled), ""},
        {Status::EndMarkMissing,
         SourceKind::LptReader,
         {},
         "Данные считаны не до конца либо не верный формат данных."},
        {Status::SaveReadFailed, SourceKind::Recorder, TransferResult::Fail(E::Cancelled), ""},
        {Status::SaveReadFailed, SourceKind::Recorder, TransferResult::Fail(E::NoAnswer),
         "Ошибка чтения данных\r\nПричина: прибор не отвечает"},
        {Status::SaveWriteFailed, SourceKind::Recorder, TransferResult::Fail(E::IoError, ENOSPC),
         "Не удалось записать файл данных\r\nПричина: нет места на диске"},
        {Status::ReaderCopyFailed, SourceKind::None, TransferResult::Fail(E::DeviceGone),
         "Ошибка чтения данных!\r\nПричина: прибор отключён"},
        {Status::ReaderFormatMismatch, SourceKind::None, {}, "Не верный формат данных!"},
    };
    for (const Case& c : cases) {
        LoadOutcome outcome;
        outcome.status = c.status;
        outcome.source = c.source;
        outcome.transfer = c.transfer;
        EXPECT_EQ(Utf8FromCp1251(LoadFailureMessage(outcome)), c.message) << int(c.status);
    }
}

TEST_F(LoadFlowTest, SaveAsKeepsTheTargetWholeWhenTheReadFails) {
    const auto target = WriteFile("chosen.krd", {1, 2, 3});
    m_device.answersBytes = map::kImageSize - 1;
    ASSERT_TRUE(m_session.dispatch.OpenSource(SourceKind::Recorder));
    const ImageSave saved = SaveAs(m_session, target, nullptr);
    EXPECT_EQ(saved.read.Error(), TransferError::NoAnswer);
    EXPECT_EQ(ReadFile(target), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(m_session.saveState, Session::SaveState::Nothing);

    m_device.answersBytes = UINT32_MAX;
    EXPECT_TRUE(SaveAs(m_session, target, nullptr));
    EXPECT_EQ(ReadFile(target), m_device.image);
    EXPECT_EQ(m_session.saveState, Session::SaveState::Saved);
}

TEST(CommandLine, CraneVariantsOrADumpFile) {
    struct Case {
        std::vector<std::string> arguments;
        int craneKind;
        bool loads;
        std::string file;
    };
    const Case cases[] = {
        {{}, 10, false, ""},
        {{"kran"}, 1, false, ""},
        {{"bashnya"}, 2, false, ""},
        {{"truba"}, 3, false, ""},
        {{"Kran"}, 0, true, "Kran"},                               // case-sensitive
        {{"/data/крана", "7.krd"}, 0, true, "/data/крана 7.krd"},  // one space rejoined
    };
    for (const Case& c : cases) {
        DumpFileChoice choice;
        EXPECT_EQ(ApplyCommandLine(choice, c.arguments), c.loads);
        EXPECT_EQ(choice.craneKind, c.craneKind);
        EXPECT_TRUE(choice.startupArgument == PathOfUtf8(c.file)) << c.file;
    }
}

}  // namespace
}  // namespace zorvek
