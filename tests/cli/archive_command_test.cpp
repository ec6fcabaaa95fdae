#include "cli/archive_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <sstream>

#include "archive/sql_connection.h"
#include "cli/report_command.h"
#include "flows/archive_flow.h"
#include "model/local_time.h"
#include "model/sha256.h"
#include "sim/image_generator.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

// The device reads of every suite here store their read-outs: into an
// archive of the run's own, never the user's.
class ArchiveOfTheRun : public ::testing::Environment {
  public:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("zorvek-cli-archive-" + std::to_string(std::random_device()()));
        const std::u8string file = (m_folder / "archive.sqlite").u8string();
        m_archive = std::make_unique<test::ScopedEnvironment>(
            "ZORVEK_ARCHIVE", std::string(file.begin(), file.end()));
    }
    void TearDown() override {
        m_archive.reset();
        std::filesystem::remove_all(m_folder);
    }

  private:
    std::filesystem::path m_folder;
    std::unique_ptr<test::ScopedEnvironment> m_archive;
};
const auto* const kArchiveOfTheRun = ::testing::AddGlobalTestEnvironment(new ArchiveOfTheRun);

class ArchiveCommand : public test::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_location = Utf8(m_dir / "archive.sqlite");
        m_environment = std::make_unique<test::ScopedEnvironment>("ZORVEK_ARCHIVE", m_location);
        for (std::uint32_t seed : {1U, 2U}) {
            const sim::Image image = sim::GenerateImage({seed});
            m_images.emplace_back(image.begin(), image.end());
            m_files.push_back(
                Utf8(WriteFile("image" + std::to_string(seed) + ".krd", m_images.back())));
        }
    }
    static std::string Utf8(const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }
    int Run(std::vector<std::string> args, std::string& output) {
        std::ostringstream out;
        const int code = cli::RunArchive(args, out);
        output = out.str();
        return code;
    }

    std::string m_location;
    std::unique_ptr<test::ScopedEnvironment> m_environment;
    std::vector<std::vector<std::uint8_t>> m_images;
    std::vector<std::string> m_files;
};

// Every command in the order a user would meet them, with what it prints
// and the exit code that tells a script what happened.
TEST_F(ArchiveCommand, EveryCommandAndItsExitCode) {
    const std::string exported = Utf8(m_dir / "export.krd");
    const std::string wrong = Utf8(WriteFile("wrong.krd", [] {
        const auto image = sim::GenerateImage({1, sim::ImageVariant::WrongSignature});
        return std::vector<std::uint8_t>(image.begin(), image.end());
    }()));
    const std::string dated = Utf8(WriteFile("dated.krd", [] {
        const auto image = sim::GenerateImage({3});
        return std::vector<std::uint8_t>(image.begin(), image.end());
    }()));
    const std::string backup = Utf8(m_dir / u8"копия" / "archive.sqlite");
    std::filesystem::create_directories(m_dir / u8"копия");
    const std::string folder = Utf8(m_dir / u8"старые");
    std::filesystem::create_directories(m_dir / u8"старые");
    for (const std::string& file : {m_files[0], dated, wrong}) {
        const std::filesystem::path from(std::u8string(file.begin(), file.end()));
        std::filesystem::copy_file(from, m_dir / u8"старые" / from.filename());
    }
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string printed;  // part of stdout
    };
    const Case cases[] = {
        {{"add", m_files[0], "--note", "после ремонта", "--format", "json"}, 0, "\"id\": 1,"},
        {{"add", m_files[0], "--format", "json"}, 0, "\"already_stored\": true"},
        {{"add", m_files[1], "--format", "csv"}, 0, "id,already_stored"},
        {{"add", wrong}, 3, ""},
        {{"add", Utf8(m_dir / "absent.krd")}, 2, ""},
        {{"list", "--crane", "41328-к", "--format", "csv"}, 0, "\r\n2,41328-к,"},
        {{"list", "--crane", "00000", "--format", "csv"},
         0,
         "id,crane,factory_number,"},  // the header alone
        {{"list", "--format", "xml"}, 1, ""},
        {{"show", "1"}, 0, "после ремонта"},
        {{"show", "99"}, 8, ""},
        {{"show"}, 1, ""},
        {{"export", "1", "--out", exported}, 0, exported},
        {{"export", "99", "--out", exported}, 8, ""},
        {{"export", "2", "--out", Utf8(m_dir)}, 2, ""},
        // Seed 2 was read out before seed 1, by their images.
        {{"compare", "2", "1", "--format", "json"}, 0, "\"earlier_id\": 2,"},
        {{"compare", "1"}, 1, ""},
        {{"fleet", "--format", "json"}, 0, "\"readouts\": 2,"},
        // The recorder changed between the two: the crane is due for it.
        {{"fleet", "--due", "--format", "csv"}, 0, ",0,0,0,0,0,отметки\r\n"},
        {{"fleet", "--report", Utf8(m_dir / "report")}, 0, "fleet-report.pdf"},
        {{"fleet", "--report", m_files[0]}, 2, ""},  // a file where the folder would be
        {{"remove", "1"}, 1, ""},
        {{"add", dated, "--read-at", "31.02.2026 10:00"}, 1, ""},
        {{"add", dated, "--read-at", "15.03.2026 08:30", "--format", "json"},
         0,
         "\"read_at_source\": \"given\""},
        {{"note", "1", "после замены троса"}, 0, "после замены троса"},
        {{"note", "99", "x"}, 8, ""},
        {{"show", "1"}, 0, "примечание изменено"},
        {{"remove", "3", "--yes", "--format", "csv"}, 0, "\r\n3,1,0\r\n"},
        {{"remove", "3", "--yes"}, 8, ""},
        {{"show", "3"}, 8, ""},
        {{"crane", "merge", "41328 К", "41328-k", "--format", "json"}, 0, "\"already_one\": true"},
        {{"crane", "merge", "41328-к", "00000"}, 8, ""},
        {{"crane", "join", "41328-к", "41328-к"}, 1, ""},
        {{"list", "--format", "csv-excel"}, 0, "\xEF\xBB\xBFid;crane;factory_number;"},
        {{"backup", backup}, 0, backup},
        {{"import", folder}, 0, "добавлено 1, уже были 1, пропущено 1"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(Run(c.args, out), c.exitCode)
            << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
        EXPECT_NE(out.find(c.printed), std::string::npos) << out;
    }
    EXPECT_EQ(ReadFile(std::filesystem::path(std::u8string(exported.begin(), exported.end()))),
              m_images[0]);
    for (const char* file : {"fleet-report.rtf", "fleet-report.xlsx", "fleet-report.pdf"})
        EXPECT_TRUE(std::filesystem::is_regular_file(m_dir / "report" / file)) << file;
}

TEST_F(ArchiveCommand, SaysWhenTheArchiveCannotBeWrittenOrReached) {
    std::string out;
    ASSERT_EQ(Run({"add", m_files[0]}, out), 0);
    auto raw = archive::OpenSqliteConnection(m_location);
    ASSERT_TRUE(raw);
    ASSERT_TRUE(raw.value->Run("UPDATE schema_version SET version = 99"));
    EXPECT_EQ(Run({"add", m_files[1]}, out), 10);
    EXPECT_EQ(Run({"list"}, out), 0);  // still read

    const test::ScopedEnvironment server(
        "ZORVEK_ARCHIVE", "postgresql://nobody@/none?host=" + Utf8(m_dir / "absent"));
    EXPECT_EQ(Run({"fleet"}, out), 9);
}

// Exit code 11 wherever a changed image would be used, and from the check.
TEST_F(ArchiveCommand, RefusesAnImageChangedSinceItWasStored) {
    std::string out;
    ASSERT_EQ(Run({"add", m_files[0]}, out), 0);
    ASSERT_EQ(Run({"add", m_files[1]}, out), 0);
    EXPECT_EQ(Run({"check", "--format", "json"}, out), 0);
    EXPECT_NE(out.find("\"changed_images\": 0"), std::string::npos) << out;

    auto raw = archive::OpenSqliteConnection(m_location);
    ASSERT_TRUE(raw);
    ASSERT_TRUE(raw.value->Run(
        "UPDATE images SET bytes = zeroblob(65536) WHERE sha256 = (SELECT image_sha256 FROM "
        "readouts WHERE id = 2)"));
    const std::string exported = Utf8(m_dir / "export.krd");
    EXPECT_EQ(Run({"export", "2", "--out", exported}, out), 11);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "export.krd"));
    std::ostringstream listed;
    EXPECT_EQ(cli::RunReport({"--from-archive", "2", "--out", Utf8(m_dir / "documents")}, listed),
              11);
    EXPECT_EQ(Run({"export", "1", "--out", exported}, out), 0);
    EXPECT_EQ(Run({"check", "--format", "json"}, out), 11);
    EXPECT_NE(out.find("\"changed_images\": 1"), std::string::npos) << out;
}

// The documents of a stored read-out name it as it was read: its image's
// fingerprint and the time it was read, not when it was taken out again.
TEST_F(ArchiveCommand, MakesTheDocumentsOfAStoredReadout) {
    using namespace std::chrono;
    const sys_seconds readAt = *ParseReadAt("03.11.2025 07:41");
    std::string out;
    ASSERT_EQ(Run({"add", m_files[0], "--read-at", "03.11.2025 07:41"}, out), 0);
    std::ostringstream listed;
    const std::string folder = Utf8(m_dir / "documents");
    EXPECT_EQ(cli::RunReport({"--from-archive", "1", "--out", folder, "--only", "form1"}, listed),
              0);
    const auto rtf = ReadFile(m_dir / "documents" / "form1.rtf");
    const std::string text(rtf.begin(), rtf.end());
    const std::tm local = LocalTime(static_cast<std::time_t>(readAt.time_since_epoch().count()));
    char when[64];
    std::snprintf(when, sizeof when, "%02d.%02d.%04d %02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min);
    EXPECT_NE(text.find(HexOf(Sha256(m_images[0])).substr(0, 16)), std::string::npos);
    EXPECT_NE(text.find(when), std::string::npos) << when;
    const std::string exported = Utf8(m_dir / "export.krd");
    ASSERT_EQ(Run({"export", "1", "--out", exported}, out), 0);
    EXPECT_EQ(time_point_cast<seconds>(
                  file_clock::to_sys(std::filesystem::last_write_time(m_dir / "export.krd"))),
              readAt);
    EXPECT_EQ(cli::RunReport({"--from-archive", "5", "--out", folder}, listed), 8);
    EXPECT_EQ(cli::RunReport({m_files[0], "--from-archive", "1", "--out", folder}, listed), 1);
}

}  // namespace
}  // namespace zorvek
