#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/read_command.h"
#include "tests/support/scoped_environment.h"

namespace zorvek::cli {
namespace {

namespace fs = std::filesystem;

// Without a parallel port the command says so with its own status and
// leaves an existing FILE alone.
TEST(ReadLpt, NoPortGivesNoDeviceAndLeavesTheFileAlone) {
    const fs::path file = fs::temp_directory_path() / "zorvek-read-lpt-test.krd";
    std::ofstream(file) << "older";
    for (const char* device : {"/nonexistent-zorvek/parport0", "/dev/null"}) {
        const test::ScopedEnvironment port("ZORVEK_LPT", device);
        std::ostringstream out;
        EXPECT_EQ(RunRead({"lpt", "--out", file.string()}, out), 5) << device;
        EXPECT_EQ(out.str(), "");
    }
    std::string content;
    std::ifstream(file) >> content;
    EXPECT_EQ(content, "older");
    fs::remove(file);
}

}  // namespace
}  // namespace zorvek::cli
