#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "access/program_location.h"
#include "access/serial_port.h"
#include "archive/readout_archive.h"
#include "cli/read_command.h"
#include "sim/image_generator.h"
#include "sim/recorder_line.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

// zorvek-cli read recorder against the twin on port 1 (the other ports have
// no device), with a FILE that already holds an older image.
class ReadRecorder : public test::TempDirTest {
  protected:
    void TearDown() override {
        for (int port = 1; port <= 8; ++port) ::unsetenv(Variable(port).c_str());
        TempDirTest::TearDown();
    }
    static std::string Variable(int port) { return "ZORVEK_COM" + std::to_string(port); }

    static std::unique_ptr<sim::RecorderLine> StartTwin(const sim::Image& image,
                                                        std::string_view faults) {
        std::string error;
        auto twin = std::make_unique<sim::RecorderLine>(
            sim::RecorderTwin(image, {}, *sim::ParseTwinFaults(faults, error)), 0);
        twin->Start();
        return twin;
    }

    // Into FILE unless `out` names another file.
    int Run(const sim::Image* image, std::string_view faults, std::filesystem::path out = {}) {
        std::unique_ptr<sim::RecorderLine> twin;
        if (image != nullptr) twin = StartTwin(*image, faults);
        for (int port = 1; port <= 8; ++port) {
            const std::string path = port == 1 && twin ? twin->DevicePath().string() : "";
            ::setenv(Variable(port).c_str(), path.c_str(), 1);
        }
        m_file = WriteFile("read.krd", m_older);
        std::ostringstream printed;
        return cli::RunRead({"recorder", "--out", (out.empty() ? m_file : out).string()}, printed);
    }

    std::filesystem::path m_file;
    const std::vector<std::uint8_t> m_older = std::vector<std::uint8_t>(65536, 0x11);
};

// The read-out goes to the archive after the file is written; an archive
// that cannot be written costs the read nothing.
TEST_F(ReadRecorder, WritesTheWholeImageThenStoresIt) {
    const sim::Image image = sim::GenerateImage({});
    const std::vector<std::uint8_t> bytes(image.begin(), image.end());
    const std::u8string location = (m_dir / "archive.sqlite").u8string();
    {
        const test::ScopedEnvironment archive("ZORVEK_ARCHIVE",
                                              std::string(location.begin(), location.end()));
        EXPECT_EQ(Run(&image, ""), 0);
    }
    EXPECT_EQ(ReadFile(m_file), bytes);
    auto opened = archive::OpenArchive(std::string(location.begin(), location.end()));
    ASSERT_TRUE(opened);
    const auto stored = opened.value->List(std::nullopt);
    ASSERT_EQ(stored.value.size(), 1U);
    EXPECT_EQ(stored.value[0].source, archive::ReadoutSource::Recorder);
    EXPECT_EQ(opened.value->Get(stored.value[0].id).value.image, bytes);

    const test::ScopedEnvironment folder("ZORVEK_ARCHIVE", m_dir.string());
    EXPECT_EQ(Run(&image, ""), 0);
    EXPECT_EQ(ReadFile(m_file), bytes);
}

// Requests: 1 the probe, 2 the format, 3..22 the passport texts, then the
// image's 1,024 frames.
TEST_F(ReadRecorder, FailuresLeaveTheOlderFileAlone) {
    const sim::Image image = sim::GenerateImage({});
    sim::ImageOptions wrong;
    wrong.variant = sim::ImageVariant::WrongSignature;
    const sim::Image otherFormat = sim::GenerateImage(wrong);
    struct Case {
        const sim::Image* image;
        std::string_view faults;
        int exitCode;
    };
    for (const Case& c : {Case{nullptr, "", 5}, Case{&image, "silent-from:1", 5},
                          Case{&otherFormat, "", 3}, Case{&image, "silent-from:100", 6}}) {
        EXPECT_EQ(Run(c.image, c.faults), c.exitCode) << c.faults;
        EXPECT_EQ(ReadFile(m_file), m_older);
    }
}

// Another program holds the recorder's port (this test, in its own process
// beside zorvek-cli, as root in CI where the terminal's exclusive mark would
// not stop it); a silent port after it does not hide why the read failed.
TEST_F(ReadRecorder, APortHeldByAnotherProgramIsNamedBusy) {
    const sim::Image image = sim::GenerateImage({});
    const auto twin = StartTwin(image, "");
    const auto silent = StartTwin(image, "silent-from:1");
    for (int port = 1; port <= 8; ++port) {
        const std::string path = port == 1   ? twin->DevicePath().string()
                                 : port == 2 ? silent->DevicePath().string()
                                             : "";
        ::setenv(Variable(port).c_str(), path.c_str(), 1);
    }
    m_file = WriteFile("read.krd", m_older);
    const std::string read = "'" + (ExecutableDirectory() / "zorvek-cli").string() +
                             "' read recorder --no-archive --out '" + m_file.string() + "' 2>'" +
                             (m_dir / "stderr").string() + "'";
    const auto holder = MakeSystemSerialPort(SystemWaits());
    ASSERT_TRUE(holder->Open(twin->DevicePath(), 19200));
    const int refused = std::system(read.c_str());
    EXPECT_EQ(WEXITSTATUS(refused), 5);
    std::ifstream said(m_dir / "stderr");
    const std::string text((std::istreambuf_iterator<char>(said)), {});
    EXPECT_NE(text.find("Нет связи с прибором\nПричина: устройство занято другой программой\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(ReadFile(m_file), m_older);

    holder->Close();
    EXPECT_EQ(WEXITSTATUS(std::system(read.c_str())), 0);
    EXPECT_EQ(ReadFile(m_file), std::vector<std::uint8_t>(image.begin(), image.end()));
}

TEST_F(ReadRecorder, AFailedWriteSaysWhyOnce) {
    const sim::Image image = sim::GenerateImage({});
    testing::internal::CaptureStderr();
    const int code = Run(&image, "", m_dir / "absent" / "read.krd");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    const std::string reason = "нет такого файла или папки";
    const std::size_t first = err.find(reason);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(reason, first + 1), std::string::npos) << err;
}

}  // namespace
}  // namespace zorvek
