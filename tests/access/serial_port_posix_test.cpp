// The serial port's hold on its line against other programs. The exclusive
// mark of the terminal does not stop root, so the tests run as root (as in
// CI) prove the advisory locks: the flock on the device and the lock file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "access/serial_port.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;

class SerialPortLocks : public ::testing::Test {
  protected:
    void SetUp() override {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(m_master, 0);
        ASSERT_EQ(::grantpt(m_master), 0);
        ASSERT_EQ(::unlockpt(m_master), 0);
        m_device = ::ptsname(m_master);
        for (const char* folder : {"/var/lock", "/run/lock"}) {
            if (::access(folder, W_OK | X_OK) == 0) {
                m_lock = fs::path(folder) / ("LCK.." + m_device.filename().string());
                break;
            }
        }
    }
    void TearDown() override {
        if (!m_lock.empty()) fs::remove(m_lock);
        ::close(m_master);
    }

    // Opens the line in a process of its own: 0 when it opened, otherwise
    // the errno of its refusal.
    int OpenInAnotherProcess() const {
        const pid_t child = ::fork();
        if (child == 0) {
            auto port = MakeSystemSerialPort(SystemWaits());
            const TransferResult opened = port->Open(m_device, 19200);
            port.reset();
            ::_exit(opened ? 0 : opened.SystemError());
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string LockText() const {
        std::ifstream in(m_lock);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int m_master = -1;
    fs::path m_device;
    fs::path m_lock;  // empty where the system has no lock folder we may use
};

TEST_F(SerialPortLocks, AnotherProcessFindsTheLineBusyUntilItIsClosed) {
    const auto port = MakeSystemSerialPort(SystemWaits());
    ASSERT_TRUE(port->Open(m_device, 19200));
    EXPECT_EQ(OpenInAnotherProcess(), EBUSY);
    if (!m_lock.empty()) {
        std::ostringstream pid;
        pid.width(10);
        pid << ::getpid();
        EXPECT_EQ(LockText(), pid.str() + "\n");
    }
    port->Close();
    EXPECT_FALSE(!m_lock.empty() && fs::exists(m_lock));
    EXPECT_EQ(OpenInAnotherProcess(), 0);
}

// A program that only flocks the device, without the terminal's mark.
TEST_F(SerialPortLocks, ADeviceFlockedByAnotherProgramIsBusy) {
    const int holder = ::open(m_device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const auto port = MakeSystemSerialPort(SystemWaits());
    const TransferResult opened = port->Open(m_device, 19200);
    EXPECT_EQ(opened.Error(), TransferError::Refused);
    EXPECT_EQ(opened.SystemError(), EBUSY);
    EXPECT_FALSE(port->IsOpen());
    ::close(holder);
    EXPECT_TRUE(port->Open(m_device, 19200));
}

TEST_F(SerialPortLocks, ALockFileHoldsTheLineOnlyWhileItsProcessLives) {
    if (m_lock.empty()) GTEST_SKIP() << "no lock folder to write into";
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    struct Case {
        const char* what;
        std::string text;
        bool busy;
    };
    const Case cases[] = {
        {"a living process (init)", "         1\n", true},
        {"a process that is gone", std::to_string(gone) + "\n", false},
        {"no process at all", "\n", false},
    };
    for (const Case& c : cases) {
        std::ofstream(m_lock) << c.text;
        const auto port = MakeSystemSerialPort(SystemWaits());
        const TransferResult opened = port->Open(m_device, 19200);
        EXPECT_EQ(opened.SystemError(), c.busy ? EBUSY : 0) << c.what;
        // Another program's lock stays; a stale one gives way to ours.
        EXPECT_EQ(LockText() == c.text, c.busy) << c.what;
        port->Close();
        EXPECT_EQ(fs::exists(m_lock), c.busy) << c.what;
    }
}

}  // namespace
}  // namespace zorvek
