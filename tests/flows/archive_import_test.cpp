#include "flows/archive_import.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "archive/image_facts.h"
#include "model/cp1251.h"
#include "model/memory_map.h"
#include "sim/image_bytes.h"
#include "sim/image_generator.h"
#include "tests/archive/archive_backend.h"

namespace zorvek {
namespace {

namespace map = memory_map;
using test::ArchiveBackend;

constexpr LocalDateTime kJanuary{2026, 1, 20, 9, 15, 0};
constexpr LocalDateTime kJune{2026, 6, 15, 14, 40, 0};

class ArchiveImportTest : public ::testing::TestWithParam<ArchiveBackend::Kind> {
  protected:
    void SetUp() override {
        std::string whyNot;
        if (!m_backend.Start(whyNot)) GTEST_SKIP() << whyNot;
        auto opened = archive::OpenArchive(m_backend.Location());
        ASSERT_TRUE(opened) << opened.status.reason;
        m_archive = std::move(opened.value);
        m_dir = test::TestFolder("zorvek-import-");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path Write(const std::string& name, std::span<const std::uint8_t> bytes) {
        const auto path = m_dir / std::filesystem::path(std::u8string(name.begin(), name.end()));
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    ArchiveBackend m_backend{GetParam()};
    std::unique_ptr<archive::ReadoutArchive> m_archive;
    std::filesystem::path m_dir;
};

// Years of old dump files in folders, copied to this machine today: each
// read-out is dated by its image, so the January dump found after the June
// one stands before it, and the June one's counters did not "go back".
TEST_P(ArchiveImportTest, AFolderTreeOfOldDumpsIsStoredInItsOwnTimeOrder) {
    const sim::Image june = sim::GenerateImage({4, sim::ImageVariant::Valid, kJune});
    const sim::Image january = sim::GenerateImage({4, sim::ImageVariant::Valid, kJanuary});
    ASSERT_GT(archive::FactsOfImage(june)->figures.totalCycles,
              archive::FactsOfImage(january)->figures.totalCycles);
    // No record and no statistics to tell its time: the file's time it is.
    sim::Image timeless = sim::GenerateImage({8, sim::ImageVariant::EmptyLists, kJanuary});
    for (const std::uint32_t block : {map::kStatisticsTotalAddress, map::kStatisticsSinceAddress})
        sim::ImageSpan(timeless, block, map::kStatisticsBlockSize)[0] ^= 1;
    const auto wrongFormat = sim::GenerateImage({5, sim::ImageVariant::WrongSignature});

    Write("a-июнь/дамп.krd", june);
    Write("a-июнь/копия/дамп (2).krd", june);
    Write("b-январь/dannie.krd", january);
    // A folder named as an image is walked, not read.
    Write("c/старый.krd/внутри.bin",
          sim::GenerateImage({6, sim::ImageVariant::Valid, {2025, 6, 1, 8, 0, 0}}));
    const auto timelessFile = Write("d/без времени.krd", timeless);
    const auto fileTime = std::chrono::file_clock::from_sys(std::chrono::sys_seconds(
        std::chrono::sys_days(std::chrono::year(2025) / 12 / 1) + std::chrono::hours(11)));
    std::filesystem::last_write_time(timelessFile, fileTime);
    Write("d/Info.ini", std::vector<std::uint8_t>{'[', 'x', ']', '\n'});
    Write("d/обрезан.krd", std::span(june).first(65535));
    Write("d/другой.krd", wrongFormat);

    std::vector<std::pair<int, int>> progress;
    const ImportSummary summary =
        ImportImages({m_dir}, *m_archive,
                     {[&](int done, int total) { progress.emplace_back(done, total); }, {}});
    ASSERT_TRUE(summary) << summary.status.reason;
    EXPECT_EQ(Utf8FromCp1251(ImportSummaryText(summary)), "добавлено 4, уже были 1, пропущено 3");
    std::map<std::string, std::string> skipped;
    for (const ImportSkip& skip : summary.skipped) {
        const std::u8string name = skip.file.filename().u8string();
        skipped[std::string(name.begin(), name.end())] = Utf8FromCp1251(skip.reason);
    }
    const std::map<std::string, std::string> expected = {
        {"Info.ini", "размер 4 байт, а образ накопителя — 65536 байт"},
        {"обрезан.krd", "размер 65535 байт, а образ накопителя — 65536 байт"},
        {"другой.krd", "не образ накопителя: другой формат данных"},
    };
    EXPECT_EQ(skipped, expected);
    EXPECT_EQ(progress.front(), std::pair(0, 8));
    EXPECT_EQ(progress.back(), std::pair(8, 8));

    const auto all = m_archive->List(std::nullopt);
    ASSERT_TRUE(all) << all.status.reason;
    ASSERT_EQ(all.value.size(), 4U);
    std::map<archive::ReadTimeSource, int> sources;
    for (const auto& readout : all.value) ++sources[readout.readAtSource];
    EXPECT_EQ(sources[archive::ReadTimeSource::ImageRecord], 3);
    ASSERT_EQ(sources[archive::ReadTimeSource::FileTime], 1);

    const auto history = m_archive->List(archive::FactsOfImage(june)->crane.registration);
    const auto at = [](const sim::Image& image) {
        return archive::ReadTimeOfImage(
            image, std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
    };
    const archive::ReadoutSummary& newest = history.value.front();
    EXPECT_EQ(newest.readAt, at(june)->at);
    EXPECT_LE(newest.readAt, *archive::MomentOfLocal(kJune));
    EXPECT_FALSE(newest.flags.countersBack);
    const archive::ReadoutSummary& earlier = history.value[1];
    EXPECT_EQ(earlier.readAt, at(january)->at);
    EXPECT_EQ(newest.basis.comparedWith, earlier.id);
    for (const auto& readout : all.value) {
        if (readout.readAtSource != archive::ReadTimeSource::FileTime) continue;
        EXPECT_EQ(readout.readAt, std::chrono::floor<std::chrono::seconds>(
                                      std::chrono::file_clock::to_sys(fileTime)));
    }

    // Run again: nothing new.
    const ImportSummary again = ImportImages({m_dir}, *m_archive);
    EXPECT_EQ(Utf8FromCp1251(ImportSummaryText(again)), "добавлено 0, уже были 5, пропущено 3");
}

INSTANTIATE_TEST_SUITE_P(Backends, ArchiveImportTest,
                         ::testing::Values(ArchiveBackend::Kind::Sqlite,
                                           ArchiveBackend::Kind::Postgres),
                         [](const auto& backend) {
                             return backend.param == ArchiveBackend::Kind::Sqlite ? "Sqlite"
                                                                                  : "Postgres";
                         });

}  // namespace
}  // namespace zorvek
