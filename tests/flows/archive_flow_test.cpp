#include "flows/archive_flow.h"

#include <gtest/gtest.h>

#include "flows/load_flow.h"
#include "model/cp1251.h"
#include "sim/image_generator.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class ArchiveFlowTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        const auto generated = sim::GenerateImage({});
        m_image.assign(generated.begin(), generated.end());
        m_dump = WriteFile("dannie.krd", m_image);
        m_session.choice.craneKind = 0;
        m_session.choice.startupArgument = m_dump;
        ASSERT_TRUE(LoadFromFile(m_session).Loaded());
    }
    void TearDown() override {
        m_session.dispatch.CloseSource();
        TempDirTest::TearDown();
    }
    std::string Utf8(const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }

    std::vector<std::uint8_t> m_image;
    std::filesystem::path m_dump;
    Session m_session;
};

TEST_F(ArchiveFlowTest, StoresTheLoadedImageAndSaysWhere) {
    const std::string location = Utf8(m_dir / "archive.sqlite");
    const test::ScopedEnvironment archive("ZORVEK_ARCHIVE", location);
    const ArchiveStore stored = StoreReadout(m_session, archive::ReadoutSource::UsbReader);
    ASSERT_TRUE(stored) << stored.status.reason;
    EXPECT_EQ(Utf8FromCp1251(ArchiveStoreMessage(stored)),
              "Считывание сохранено в архив: " + location);

    auto opened = archive::OpenArchive(location);
    ASSERT_TRUE(opened);
    const auto readout = opened.value->Get(stored.added.id);
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout.value.image, m_image);
    EXPECT_EQ(readout.value.summary.source, archive::ReadoutSource::UsbReader);
    EXPECT_EQ(readout.value.summary.program, "55AA0502");

    const ArchiveStore again = StoreReadout(m_session, archive::ReadoutSource::UsbReader);
    EXPECT_TRUE(again.added.alreadyStored);
    EXPECT_EQ(again.added.id, stored.added.id);
}

// A failed store costs nothing: the dump file and the loaded session stay,
// and the status line says what failed, with SQLite's words after it.
TEST_F(ArchiveFlowTest, AFailedStoreKeepsTheDumpFileAndSaysWhy) {
    const std::string location = Utf8(m_dir);  // a folder is no database
    const test::ScopedEnvironment archive("ZORVEK_ARCHIVE", location);
    const ArchiveStore stored = StoreReadout(m_session, archive::ReadoutSource::Recorder);
    EXPECT_EQ(stored.status.error, archive::ArchiveError::CannotOpen);
    const std::string message = Utf8FromCp1251(ArchiveStoreMessage(stored));
    EXPECT_EQ(message.rfind("Считывание не сохранено в архив " + location +
                                ": файл архива не открывается (unable to open database file)",
                            0),
              0U)
        << message;
    EXPECT_EQ(ReadFile(m_dump), m_image);
    EXPECT_EQ(m_session.dispatch.Kind(), SourceKind::DumpFile);
}

}  // namespace
}  // namespace zorvek
