#include "sim/image_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "sim/command_line.h"
#include "sim/image_generator.h"

namespace zorvek::sim {
namespace {

namespace fs = std::filesystem;

class ImageCommand : public testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("zorvek-sim-test-" +
                 std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    int Run(std::vector<std::string> args) {
        m_out.str({});
        m_err.str({});
        const std::vector<std::string_view> views(args.begin(), args.end());
        return RunImageCommand(views, m_out, m_err);
    }
    std::vector<std::uint8_t> Read(const fs::path& file) const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ImageCommand, WritesTheGeneratedImageAndNoTemporaryFile) {
    const fs::path file = m_dir / "dannie.krd";
    ASSERT_EQ(Run({"--seed", "7", "--out", file.string()}), 0) << m_err.str();
    ImageOptions options;
    options.seed = 7;
    const Image image = GenerateImage(options);
    EXPECT_EQ(Read(file), std::vector<std::uint8_t>(image.begin(), image.end()));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    EXPECT_NE(m_out.str().find("hour records: 1900"), std::string::npos) << m_out.str();
}

TEST_F(ImageCommand, VariantAndNowReachTheImage) {
    const fs::path file = m_dir / "short.krd";
    ASSERT_EQ(Run({"--variant", "truncated", "--now", "2020-06-01T12:00:00", "--out", file.string(),
                   "--seed", "7"}),
              0)
        << m_err.str();
    ImageOptions options;
    options.seed = 7;
    options.now = {2020, 6, 1, 12, 0, 0};
    const Image image = GenerateImage(options);
    EXPECT_EQ(Read(file), std::vector<std::uint8_t>(image.begin(), image.end() - 1));
}

TEST_F(ImageCommand, BadArgumentsGiveUsageAndTheUsageStatus) {
    const std::string out = (m_dir / "x.krd").string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--out", out},
        {"--seed", "1"},
        {"--seed", "-1", "--out", out},
        {"--seed", "4294967296", "--out", out},
        {"--seed", "12x", "--out", out},
        {"--seed", "", "--out", out},
        {"--seed", "1", "--out", out, "--variant", "broken"},
        {"--seed", "1", "--out", out, "--now", "2026-02-30T00:00:00"},
        {"--seed", "1", "--out", out, "--now", "2009-12-31T23:59:59"},
        {"--seed", "1", "--out", out, "--seed", "2"},
        {"--seed", "1", "--out", out, "--colour", "red"},
        {"--seed", "1", "--out"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Run(args), kSimWrongUsage) << testing::PrintToString(args);
        EXPECT_NE(m_err.str().find("usage: zorvek-sim image"), std::string::npos)
            << testing::PrintToString(args);
    }
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ImageCommand, UnwritableFolderGivesItsOwnStatus) {
    const fs::path file = m_dir / "missing" / "dannie.krd";
    EXPECT_EQ(Run({"--seed", "1", "--out", file.string()}), kSimFailed);
    EXPECT_NE(m_err.str().find("cannot write"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "missing"));
}

}  // namespace
}  // namespace zorvek::sim
