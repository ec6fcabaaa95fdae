#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace zorvek::test {

// A folder of this process's own for the running test: runs of the suites
// from several checkouts at once must not meet in it.
inline std::filesystem::path TestFolder(const std::string& prefix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    return std::filesystem::temp_directory_path() /
           (prefix + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
            std::to_string(random()));
}

// A fresh folder per test, removed afterwards.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = TestFolder("zorvek-");
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path WriteFile(const std::string& name,
                                    const std::vector<std::uint8_t>& bytes) {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path m_dir;
};

}  // namespace zorvek::test
