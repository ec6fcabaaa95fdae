#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "access/lpt_port.h"

namespace zorvek {
namespace {

// The system backend, against what can stand in for /dev/parportN without
// root: a missing node and a node that is no parallel port.
TEST(PpdevLptPort, RefusesWhatIsNoParallelPortWithTheReason) {
    const struct {
        const char* device;
        int systemError;
    } cases[] = {{"/nonexistent-zorvek/parport9", ENOENT}, {"/dev/null", ENODEV}};
    for (const auto& c : cases) {
        ::setenv("ZORVEK_LPT", c.device, 1);
        auto port = MakeSystemLptPort();
        const TransferResult opened = port->LptOpenAccess();
        EXPECT_EQ(opened.Error(), TransferError::Refused) << c.device;
        EXPECT_EQ(opened.SystemError(), c.systemError) << c.device;
        EXPECT_FALSE(port->LptAccessReady());
        LptPortRecord record{0x21, 0x55};
        EXPECT_EQ(port->LptReadPort(record).Error(), TransferError::NotOpen);
        EXPECT_EQ(record.value, 0x55);
        EXPECT_EQ(LptReadStatus(*port, 0x20).value, 0x80);
    }
    ::unsetenv("ZORVEK_LPT");
}

}  // namespace
}  // namespace zorvek
