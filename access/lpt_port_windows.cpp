// Windows lets no program at the parallel port's registers without a kernel
// driver of its own, and the program ships none: the port cannot be opened
// here, and the load says so instead of failing on every register.
#include <cerrno>

#include "access/lpt_port.h"

namespace zorvek {
namespace {

class UnsupportedLptPort final : public LptPortAccess {
  public:
    TransferResult LptOpenAccess() override {
        return TransferResult::Fail(TransferError::Refused, ENOTSUP);
    }
    void LptCloseAccess() override {}
    bool LptAccessReady() const override { return false; }
    TransferResult LptReadPort(LptPortRecord&) override {
        return TransferResult::Fail(TransferError::NotOpen);
    }
    TransferResult LptWritePort(const LptPortRecord&) override {
        return TransferResult::Fail(TransferError::NotOpen);
    }
};

}  // namespace

std::unique_ptr<LptPortAccess> MakeSystemLptPort() {
    return std::make_unique<UnsupportedLptPort>();
}

}  // namespace zorvek
