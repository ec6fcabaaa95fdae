#include "flows/archive_flow.h"

#include <gtest/gtest.h>

#include "archive/image_facts.h"
#include "flows/load_flow.h"
#include "model/cp1251.h"
#include "model/memory_map.h"
#include "sim/image_bytes.h"
#include "sim/image_generator.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

std::vector<std::uint8_t> Generated(std::uint32_t seed) {
    const sim::Image image = sim::GenerateImage({seed});
    return {image.begin(), image.end()};
}

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

// A file load is dated by its image, a device read by its moment, and an
// image that holds no time by its file, which the status line says.
TEST_F(ArchiveFlowTest, AReadoutIsDatedByItsImageAndSaysWhenByItsFile) {
    const std::string location = Utf8(m_dir / "archive.sqlite");
    auto opened = archive::OpenArchive(location);
    ASSERT_TRUE(opened) << opened.status.reason;
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::days(400);
    std::filesystem::last_write_time(m_dump, old);
    const ArchiveStore file = StoreReadout(m_session, archive::ReadoutSource::File, *opened.value);
    ASSERT_TRUE(file) << file.status.reason;
    EXPECT_EQ(file.readAt.source, archive::ReadTimeSource::ImageRecord);
    EXPECT_EQ(Utf8FromCp1251(ArchiveStoreMessage(file)),
              "Считывание сохранено в архив: " + location);

    // The same kind of image with no record and no sound statistics.
    m_session.dispatch.CloseSource();
    sim::Image timeless = sim::GenerateImage({2, sim::ImageVariant::EmptyLists});
    for (const std::uint32_t block :
         {memory_map::kStatisticsTotalAddress, memory_map::kStatisticsSinceAddress}) {
        sim::ImageSpan(timeless, block, memory_map::kStatisticsBlockSize)[0] ^= 1;
    }
    m_dump = WriteFile("timeless.krd", {timeless.begin(), timeless.end()});
    std::filesystem::last_write_time(m_dump, old);
    m_session.choice.startupArgument = m_dump;
    ASSERT_TRUE(LoadFromFile(m_session).Loaded());
    const ArchiveStore dated = StoreReadout(m_session, archive::ReadoutSource::File, *opened.value);
    ASSERT_TRUE(dated) << dated.status.reason;
    EXPECT_EQ(dated.readAt.source, archive::ReadTimeSource::FileTime);
    EXPECT_EQ(dated.readAt.at,
              std::chrono::floor<std::chrono::seconds>(std::chrono::file_clock::to_sys(old)));
    EXPECT_EQ(Utf8FromCp1251(ArchiveStoreMessage(dated)),
              "Считывание сохранено в архив: " + location +
                  "; в образе нет времени считывания: взято время изменения файла");
    // A device read is dated by the moment the dump file was written.
    m_session.dispatch.CloseSource();
    m_dump = WriteFile("device.krd", Generated(5));
    m_session.choice.startupArgument = m_dump;
    ASSERT_TRUE(LoadFromFile(m_session).Loaded());
    const ArchiveStore device =
        StoreReadout(m_session, archive::ReadoutSource::Recorder, *opened.value);
    EXPECT_EQ(device.readAt.source, archive::ReadTimeSource::DeviceRead);
    EXPECT_EQ(device.readAt.at,
              std::chrono::floor<std::chrono::seconds>(
                  std::chrono::file_clock::to_sys(std::filesystem::last_write_time(m_dump))));
}

TEST(ReadAt, TakesADayAndATimeAsTypedAndNothingElse) {
    const std::pair<const char*, std::optional<LocalDateTime>> cases[] = {
        {"15.04.2026 10:21", LocalDateTime{2026, 4, 15, 10, 21, 0}},
        {"01.01.2010 00:00:59", LocalDateTime{2010, 1, 1, 0, 0, 59}},
        {"29.02.2028 23:59", LocalDateTime{2028, 2, 29, 23, 59, 0}},
        {"29.02.2026 12:00", std::nullopt},
        {"15.04.2026 24:00", std::nullopt},
        {"15.4.2026 10:21", std::nullopt},
        {"15.04.26 10:21", std::nullopt},
        {"2026-04-15 10:21", std::nullopt},
        {"15.04.2026 10:21 ", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const auto moment = ParseReadAt(text);
        ASSERT_EQ(moment.has_value(), expected.has_value());
        if (expected) {
            EXPECT_EQ(moment, archive::MomentOfLocal(*expected));
        }
    }
}

}  // namespace
}  // namespace zorvek
