#pragma once

#include <string>

#include "model/transfer_result.h"

namespace zorvek {

// Why a transfer or a file write failed, in a few Russian words for the
// user ("нет места на диске", "прибор не отвечает"); cp1251.
std::string FailureText(const TransferResult& result);

}  // namespace zorvek
