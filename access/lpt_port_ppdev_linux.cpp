// Parallel-port access through the kernel's ppdev driver: the port is
// claimed for this process and every register access is one ioctl, so no
// port I/O privileges are needed, only access to the device node.
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "access/lpt_port.h"

namespace zorvek {
namespace {

constexpr const char* kDefaultDevice = "/dev/parport0";

class PpdevLptPort final : public LptPortAccess {
  public:
    ~PpdevLptPort() override { LptCloseAccess(); }

    TransferResult LptOpenAccess() override {
        LptCloseAccess();
        const char* named = std::getenv("ZORVEK_LPT");
        const std::string device = named != nullptr && *named != '\0' ? named : kDefaultDevice;
        const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return FailureFromErrno(errno, false);
        // PPCLAIM fails with EBUSY while another process holds the port.
        if (::ioctl(fd, PPCLAIM) != 0) {
            const int error = errno;
            ::close(fd);
            // Not a parallel port at all (ENOTTY, EINVAL): no such device.
            return FailureFromErrno(error == ENOTTY || error == EINVAL ? ENODEV : error, false);
        }
        m_fd = fd;
        return TransferResult::Ok();
    }

    void LptCloseAccess() override {
        if (m_fd < 0) return;
        ::ioctl(m_fd, PPRELEASE);
        ::close(m_fd);
        m_fd = -1;
    }

    bool LptAccessReady() const override { return m_fd >= 0; }

    TransferResult LptReadPort(LptPortRecord& record) override {
        if (m_fd < 0) return TransferResult::Fail(TransferError::NotOpen);
        if (!LptPortCodeValid(record.code)) return TransferResult::Fail(TransferError::OutOfRange);
        unsigned char value = 0;
        int done = -1;
        switch (static_cast<LptRegister>(LptRegisterOffset(record.code))) {
            case LptRegister::Data:
                done = ::ioctl(m_fd, PPRDATA, &value);
                break;
            case LptRegister::Status:
                done = ::ioctl(m_fd, PPRSTATUS, &value);
                break;
            case LptRegister::Control:
                done = ::ioctl(m_fd, PPRCONTROL, &value);
                break;
        }
        if (done != 0) return FailureFromErrno(errno, true);
        record.value = value;
        return TransferResult::Ok();
    }

    TransferResult LptWritePort(const LptPortRecord& record) override {
        if (m_fd < 0) return TransferResult::Fail(TransferError::NotOpen);
        if (!LptPortCodeValid(record.code)) return TransferResult::Fail(TransferError::OutOfRange);
        unsigned char value = record.value;
        int done = -1;
        switch (static_cast<LptRegister>(LptRegisterOffset(record.code))) {
            case LptRegister::Data:
                done = ::ioctl(m_fd, PPWDATA, &value);
                break;
            case LptRegister::Status:
                return TransferResult::Fail(TransferError::OutOfRange);
            case LptRegister::Control:
                done = ::ioctl(m_fd, PPWCONTROL, &value);
                break;
        }
        if (done != 0) return FailureFromErrno(errno, true);
        return TransferResult::Ok();
    }

  private:
    int m_fd = -1;
};

}  // namespace

std::unique_ptr<LptPortAccess> MakeSystemLptPort() { return std::make_unique<PpdevLptPort>(); }

}  // namespace zorvek
