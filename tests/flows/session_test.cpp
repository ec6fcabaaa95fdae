#include "flows/session.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

// Where "dannie.krd" goes: beside a copy that carries its supplied files,
// never beside an installed program, even one whose folder may be written
// (run as root).
TEST(DefaultDumpFile, StaysOutOfAnInstalledProgramsFolder) {
    const std::filesystem::path root = test::TestFolder("zorvek-default-dump-");
    const auto bin = root / "usr" / "bin";
    const auto share = root / "usr" / "share" / "zorvek";
    const auto user = root / "home" / ".local" / "share" / "zorvek";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(share);
    struct Case {
        const char* what;
        std::filesystem::path data;
        std::filesystem::path userData;
        std::filesystem::path expected;
    };
    const Case cases[] = {
        {"portable copy", bin, user, bin / "dannie.krd"},
        {"installed", share, user, user / "dannie.krd"},
        {"installed, no home",
         share,
         {},
         std::filesystem::temp_directory_path() / "zorvek" / "dannie.krd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultDumpFileIn(bin, c.data, c.userData), c.expected) << c.what;
    }
    // Installed on Windows: supplied files and the uninstaller beside the
    // programs, in a folder an administrator may write.
    std::ofstream(bin / "Uninstall.exe") << "MZ";
    EXPECT_EQ(DefaultDumpFileIn(bin, bin, user), user / "dannie.krd");
    EXPECT_TRUE(std::filesystem::is_directory(user));  // made for the file
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace zorvek
