#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <sstream>

#include "cli/read_command.h"
#include "sim/image_generator.h"
#include "sim/usb_reader_twin.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class ReadUsbTest : public test::TempDirTest {};

// The command finds the reader through the environment and waits for it in
// real time, as a user's run does; only failures are run here, a whole dump
// takes 15 s (see the benchmark).
TEST_F(ReadUsbTest, ExitCodesOfFailuresKeepAnExistingFile) {
    struct Case {
        const char* name;
        bool plugged;
        std::uint32_t unplugAfter;
        const char* wait;
        int exitCode;
    };
    const Case cases[] = {
        {"no reader", false, 0, "0", 5},
        {"unplugged in the dump", true, 20, "3", 6},
    };
    const auto image = sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid);
    for (const Case& c : cases) {
        const auto root = m_dir / c.name;
        std::filesystem::create_directories(root / "dev");
        ::setenv("ZORVEK_SYSFS", root.c_str(), 1);
        ::setenv("ZORVEK_DEVDIR", (root / "dev").c_str(), 1);
        std::optional<sim::UsbReaderTwin> twin;
        if (c.plugged) {
            twin.emplace(image, sim::UsbReaderTwin::Options{root});
            twin->WithDevice([&](auto& device) { device.faults.unplugAfter = c.unplugAfter; });
        }
        const auto file = WriteFile("old.krd", {1, 2, 3});
        std::ostringstream out;
        EXPECT_EQ(cli::RunRead({"usb", "--out", file.string(), "--wait", c.wait}, out), c.exitCode)
            << c.name;
        EXPECT_EQ(ReadFile(file), (std::vector<std::uint8_t>{1, 2, 3})) << c.name;
    }
    ::unsetenv("ZORVEK_SYSFS");
    ::unsetenv("ZORVEK_DEVDIR");
}

}  // namespace
}  // namespace zorvek
