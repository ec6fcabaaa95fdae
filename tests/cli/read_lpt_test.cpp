#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/read_command.h"

namespace zorvek::cli {
namespace {

namespace fs = std::filesystem;

// Without a parallel port the command says so with its own status and
// leaves an existing FILE alone.
TEST(ReadLpt, NoPortGivesNoDeviceAndLeavesTheFileAlone) {
    const fs::path file = fs::temp_directory_path() / "zorvek-read-lpt-test.krd";
    std::ofstream(file) << "older";
    for (const char* device : {"/nonexistent-zorvek/parport0", "/dev/null"}) {
        ::setenv("ZORVEK_LPT", device, 1);
        std::ostringstream out;
        EXPECT_EQ(RunRead({"lpt", "--out", file.string()}, out), 5) << device;
        EXPECT_EQ(out.str(), "");
    }
    ::unsetenv("ZORVEK_LPT");
    std::ifstream in(file);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "older");
    fs::remove(file);
}

}  // namespace
}  // namespace zorvek::cli
