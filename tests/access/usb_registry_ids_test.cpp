#include "access/usb_registry_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvek {
namespace {

using namespace std::string_literals;

TEST(UsbRegistryIds, RevisionOfHardwareId) {
    const struct {
        std::string id;
        std::uint16_t revision;
    } cases[] = {
        {"USB\\VID_1234&PID_5678&REV_0001\0USB\\VID_1234&PID_5678\0"s, 0x0001},
        {"usb\\vid_1234&pid_5678&rev_0600", 0x0600},
        {"USB\\VID_1234&PID_5678&REV_00a1", 0x00A1},
        {"USB\\VID_1234&PID_5678&REV_FFFF", 0xFFFF},
        // Only the first mark counts, even across the value's strings.
        {"USB\\VID_1&REV_0000\0USB\\VID_1&REV_0001\0"s, 0x0000},
        {"USB\\VID_1234&PID_5678", 0},
        {"USB\\VID_1234&PID_5678&REV_001", 0},
        {"USB\\VID_1234&PID_5678&REV_00G1", 0},
        {"USB\\VID_1234&PID_5678&REV_ 001", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RevisionOfHardwareId(c.id), c.revision) << c.id;
    }
}

TEST(UsbRegistryIds, ComNumberOfFriendlyName) {
    const struct {
        std::string name;
        int port;
    } cases[] = {
        {"USB Serial Port (COM5)", 5},
        {"USB Serial Port (COM12)", 12},
        {"Reader (v2) (COM7)", 7},
        {"Reader (COM255)", 255},
        {"Reader (COM256)", 0},
        {"Reader (COM0)", 0},
        {"Reader (COM)", 0},
        {"Reader (COM-3)", 0},
        {"Reader (COM3", 0},
        {"Reader (COM3a)", 0},
        {"Reader COM3", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComNumberOfFriendlyName(c.name), c.port) << c.name;
    }
}

}  // namespace
}  // namespace zorvek
