#include "model/transfer_result.h"

#include <cerrno>

namespace zorvek {

TransferResult FailureFromErrno(int error, bool wasOpen) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case EACCES:
        case EPERM:
        case EBUSY:
        case EISDIR:
            // A device node that vanished after opening is a device gone.
            if (wasOpen && (error == ENODEV || error == ENXIO)) {
                return TransferResult::Fail(TransferError::DeviceGone, error);
            }
            return TransferResult::Fail(TransferError::Refused, error);
        case EIO:
        case EPIPE:
            if (wasOpen) return TransferResult::Fail(TransferError::DeviceGone, error);
            return TransferResult::Fail(TransferError::IoError, error);
        case ETIMEDOUT:
            return TransferResult::Fail(TransferError::NoAnswer, error);
        default:
            return TransferResult::Fail(TransferError::IoError, error);
    }
}

}  // namespace zorvek
