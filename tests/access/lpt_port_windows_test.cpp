#include <gtest/gtest.h>

#include <cerrno>

#include "access/lpt_port.h"

namespace zorvek {
namespace {

// Without a driver of ours there is no way at the port's registers: the
// open says why, and nothing else pretends to work.
TEST(WindowsLptPort, RefusesAsUnsupported) {
    auto port = MakeSystemLptPort();
    const TransferResult opened = port->LptOpenAccess();
    EXPECT_EQ(opened.Error(), TransferError::Refused);
    EXPECT_EQ(opened.SystemError(), ENOTSUP);
    EXPECT_FALSE(port->LptAccessReady());
    LptPortRecord record{0x21, 0x55};
    EXPECT_EQ(port->LptReadPort(record).Error(), TransferError::NotOpen);
    EXPECT_EQ(record.value, 0x55);
    EXPECT_EQ(port->LptWritePort({0x20, 0x01}).Error(), TransferError::NotOpen);
    EXPECT_EQ(LptReadStatus(*port, 0x20).value, 0x80);
}

}  // namespace
}  // namespace zorvek
