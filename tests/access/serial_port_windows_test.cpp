#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <fstream>

#include "access/serial_port.h"
#include "access/serial_port_names.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

TEST(WindowsSerialPortNames, NumbersNameComPortsUnlessOverridden) {
    EXPECT_EQ(ComPortPath(1).wstring(), L"\\\\.\\COM1");
    EXPECT_EQ(ComPortPath(8).wstring(), L"\\\\.\\COM8");
    EXPECT_TRUE(ComPortPath(0).empty());
    EXPECT_TRUE(ComPortPath(9).empty());
    ASSERT_EQ(_wputenv_s(L"ZORVEK_COM3", L"\\\\.\\COM17"), 0);
    EXPECT_EQ(ComPortPath(3).wstring(), L"\\\\.\\COM17");
    // Setting a variable empty removes it on Windows.
    ASSERT_EQ(_wputenv_s(L"ZORVEK_COM3", L""), 0);
    EXPECT_EQ(ComPortPath(3).wstring(), L"\\\\.\\COM3");
}

class WindowsSerialPort : public test::TempDirTest {};

// What can stand in for a port without one: a number nobody has, and a
// file that is no serial line. Neither stays open.
TEST_F(WindowsSerialPort, RefusesWhatIsNoSerialPort) {
    auto port = MakeSystemSerialPort(SystemWaits());
    const TransferResult missing = port->Open(L"\\\\.\\COM231", 19200);
    EXPECT_EQ(missing.Error(), TransferError::Refused);
    EXPECT_FALSE(port->IsOpen());

    const std::filesystem::path file = m_dir / "not-a-port";
    std::ofstream(file) << "x";
    EXPECT_EQ(port->Open(file, 19200).Error(), TransferError::IoError);
    EXPECT_FALSE(port->IsOpen());
    // The file was closed again: Windows would refuse to remove it otherwise.
    EXPECT_TRUE(std::filesystem::remove(file));

    std::uint8_t byte = 0;
    EXPECT_EQ(port->Write(&byte, 1).Error(), TransferError::NotOpen);
    EXPECT_EQ(port->Read(&byte, 1, {}).Error(), TransferError::NotOpen);
    EXPECT_EQ(port->SetModemLines(true, false).Error(), TransferError::NotOpen);
}

}  // namespace
}  // namespace zorvek
